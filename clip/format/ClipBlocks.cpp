#include "clip/format/ClipBlocks.h"

#include "clip/format/ClipFormat.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

std::size_t wholeAesBlocks(std::size_t byteCount) {
    return byteCount / kAesBlockSize * kAesBlockSize;
}
std::size_t roundUpToAesBlocks(std::size_t byteCount) {
    return wholeAesBlocks(byteCount + kAesBlockSize - 1);
}

// The encrypted part of a block: a writer leaves the rest of its last block unencrypted, as
// zeros, and an AES block of ciphertext that is all zeros is as good as never produced by
// encryption. Read as ciphertext, that fill would decrypt to noise where the text ends.
std::size_t encryptedPart(const std::uint8_t* block, std::size_t byteCount) {
    std::size_t end = byteCount;
    while (end >= kAesBlockSize && std::all_of(block + end - kAesBlockSize, block + end,
                                               [](std::uint8_t byte) { return byte == 0; }))
        end -= kAesBlockSize;
    return end;
}

}  // namespace

void encryptClipBlock(AesCbcCipher& cipher, std::uint8_t* block, std::size_t n, AesIv& iv) {
    if (!randomIv(iv)) throw ClipWriteError("No random source for the clip file's IVs.");
    if (!cipher.encrypt(iv, block, roundUpToAesBlocks(std::min(n, kClipTextBlockSize))))
        throw ClipWriteError("Encrypting the clip file failed.");
}

bool flushClipBlock(std::string& pending, std::ostream& out, bool final, AesCbcCipher& cipher) {
    if (!final && pending.size() < kClipTextBlockSize) return false;
    const std::size_t n = std::min(pending.size(), kClipTextBlockSize);

    // Zero-filled, so nothing but the clip text and zeros reaches the file.
    std::array<std::uint8_t, kClipTextBlockSize> block{};
    std::memcpy(block.data(), pending.data(), n);
    AesIv iv{};
    encryptClipBlock(cipher, block.data(), n, iv);

    out.write(reinterpret_cast<const char*>(iv.data()), static_cast<std::streamsize>(iv.size()));
    out.write(reinterpret_cast<const char*>(block.data()),
              static_cast<std::streamsize>(block.size()));
    pending.erase(0, n);
    return true;
}

bool readClipBlock(std::istream& in, std::string& text, AesCbcCipher& cipher, bool* endMarkerSeen,
                   bool* foreignBytes) {
    if (endMarkerSeen) *endMarkerSeen = false;
    if (foreignBytes) *foreignBytes = false;
    if (!in.good()) return false;

    std::array<std::uint8_t, kClipRecordSize> record{};
    in.read(reinterpret_cast<char*>(record.data()), static_cast<std::streamsize>(record.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got < kClipIvSize) return false;

    AesIv iv{};
    std::memcpy(iv.data(), record.data(), kClipIvSize);
    std::uint8_t* block = record.data() + kClipIvSize;
    const std::size_t usable = encryptedPart(block, wholeAesBlocks(got - kClipIvSize));
    if (!cipher.decrypt(iv, block, usable)) return false;

    // The text ends at the end marker, at the zero fill after it, or where the encrypted part
    // ends, whichever comes first.
    const char* chars = reinterpret_cast<const char*>(block);
    const char* end = chars + usable;
    const char* textEnd =
        std::find_if(chars, end, [](char c) { return c == kClipTextEnd || c == '\0'; });
    if (textEnd != end && *textEnd == kClipTextEnd && endMarkerSeen) *endMarkerSeen = true;
    // Names and numbers are printable: a record that holds control characters is damaged or
    // was written with another key.
    if (foreignBytes)
        *foreignBytes = std::any_of(chars, textEnd,
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    text.append(chars, static_cast<std::size_t>(textEnd - chars));
    return true;
}

bool ClipPendingText::appendBlock(std::istream& in, AesCbcCipher& cipher) {
    text_.erase(0, consumed_);
    consumed_ = 0;
    bool marker = false;
    bool foreign = false;
    const bool read = readClipBlock(in, text_, cipher, &marker, &foreign);
    endMarkerSeen_ = endMarkerSeen_ || marker;
    foreignBytesSeen_ = foreignBytesSeen_ || foreign;
    return read;
}

std::string_view ClipPendingText::cutToken() {
    const char* begin = text_.data() + consumed_;
    const std::size_t left = size();
    const void* separator = std::memchr(begin, kClipSeparator, left);
    if (!separator) throw ClipTextCut("clip text ends inside a token (no \"^\" after it)");
    const auto length = static_cast<std::size_t>(static_cast<const char*>(separator) - begin);
    consumed_ += length + 1;
    return std::string_view(begin, length);
}

bool nextClipToken(std::istream& in, ClipPendingText& pending, std::string_view& token,
                   AesCbcCipher& cipher) {
    if (pending.size() < kClipTextBlockSize) pending.appendBlock(in, cipher);
    if (pending.empty()) return false;
    token = pending.cutToken();
    return true;
}
