#pragma once
// Helpers for clip tests: clip texts stored as records, and the
// decrypted text of a stored file.

#include "clip/format/ClipBlocks.h"
#include "clip/format/ClipFormat.h"
#include "transport/cipher/AesCbcCipher.h"

#include "support/TemporaryFolder.h"

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Stores any text as clip records, as the writer's block layer does.
inline void storeClipText(const std::string& path, std::string text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    AesCbcCipher cipher(clipKey());
    while (flushClipBlock(text, out, false, cipher)) {
    }
    while (!text.empty()) flushClipBlock(text, out, true, cipher);
}

inline std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

inline void storeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The first byteCount bytes of record k's block, decrypted.
inline std::vector<std::uint8_t> decryptedPrefix(const std::vector<std::uint8_t>& file,
                                                 std::size_t k, std::size_t byteCount) {
    const auto record = file.begin() + static_cast<std::ptrdiff_t>(k * kClipRecordSize);
    AesIv iv;
    std::copy(record, record + kClipIvSize, iv.begin());
    std::vector<std::uint8_t> block(record + kClipIvSize,
                                    record + static_cast<std::ptrdiff_t>(kClipIvSize + byteCount));
    AesCbcCipher(clipKey()).decrypt(iv, block.data(), block.size());
    return block;
}

// The clip text of a stored file, up to and including "@".
inline std::string clipText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    AesCbcCipher cipher(clipKey());
    std::string text;
    bool ended = false;
    while (!ended && readClipBlock(in, text, cipher, &ended)) {
    }
    return ended ? text + "@" : text;
}
