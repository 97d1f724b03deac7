#pragma once
// The block layer of clip files: the text in 8192-byte blocks, each stored as a record of a fresh
// random IV and the block encrypted with AES-128-CBC under clipKey().

#include "transport/cipher/AesCbcCipher.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

// The clip text ends inside a token: no "^" follows its last one. An std::out_of_range, as the
// substring past the end that it stands for.
class ClipTextCut : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// A clip that cannot be written: a name the format cannot carry, no random source, or a stream
// that failed.
class ClipWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Draws a fresh IV from the cryptographic random source and encrypts the first ceil(n / 16) AES
// blocks of block (8192 bytes) in place. Throws ClipWriteError when either step fails, so that no
// record goes out with a predictable IV or unencrypted text.
void encryptClipBlock(AesCbcCipher& cipher, std::uint8_t* block, std::size_t n, AesIv& iv);

// Writes at most one record: nothing while final is false and fewer than 8192 bytes are pending,
// otherwise the first min(pending, 8192) bytes, zero-filled to a full block. Returns whether a
// record was written. The written bytes leave pending.
bool flushClipBlock(std::string& pending, std::ostream& out, bool final, AesCbcCipher& cipher);

// Reads and decrypts one record and appends its text: the text up to the end marker "@" (not
// included) or the first NUL, whichever comes first. Only whole AES blocks of a short last record
// are used, as a cut block decrypts to noise. Returns false at the end of the stream or when fewer
// than 16 bytes are left. endMarkerSeen, when given, tells whether this record's text ended with
// the "@"; foreignBytes whether its text holds bytes that no clip text has (control characters),
// the sign of damage or of another key.
bool readClipBlock(std::istream& in, std::string& text, AesCbcCipher& cipher,
                   bool* endMarkerSeen = nullptr, bool* foreignBytes = nullptr);

// Clip text read but not yet cut into tokens. Tokens are cut from the front without moving the
// rest; the consumed part is dropped when the next block is appended.
class ClipPendingText {
  public:
    std::size_t size() const { return text_.size() - consumed_; }
    bool empty() const { return size() == 0; }

    // Appends the next record's text. Returns false when there is none.
    bool appendBlock(std::istream& in, AesCbcCipher& cipher);

    // Cuts the token before the next "^" and that "^". The token stays valid until the next call.
    // Throws ClipTextCut when no "^" follows: the text ends in the middle of a token.
    std::string_view cutToken();

    // Whether a record read so far held the end marker "@", and whether one held bytes that no
    // clip text has.
    bool endMarkerSeen() const { return endMarkerSeen_; }
    bool foreignBytesSeen() const { return foreignBytesSeen_; }

  private:
    std::string text_;
    std::size_t consumed_ = 0;
    bool endMarkerSeen_ = false;
    bool foreignBytesSeen_ = false;
};

// Tops the pending text up with one record when it holds fewer than 8192 bytes, then cuts the next
// token. Returns false at the end of the clip text; throws ClipTextCut as cutToken.
bool nextClipToken(std::istream& in, ClipPendingText& pending, std::string_view& token,
                   AesCbcCipher& cipher);
