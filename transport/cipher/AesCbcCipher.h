#pragma once
// AES-128 (FIPS 197) in CBC mode (SP 800-38A) without padding, in place, through OpenSSL's
// libcrypto. One module serves the phone messages and the clip files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

using AesKey = std::array<std::uint8_t, 16>;
using AesIv = std::array<std::uint8_t, 16>;
constexpr std::size_t kAesBlockSize = 16;

// The fixed keys, assembled at run time from four 32-bit words each.
AesKey messageKey();
AesKey clipKey();

// Fills iv from a cryptographic random source. Returns false when none is available.
bool randomIv(AesIv& iv);

// Holds the expanded key for both directions. Not thread-safe: each thread keeps its own.
class AesCbcCipher {
  public:
    explicit AesCbcCipher(const AesKey& key);
    ~AesCbcCipher();
    AesCbcCipher(const AesCbcCipher&) = delete;
    AesCbcCipher& operator=(const AesCbcCipher&) = delete;

    // byteCount must be a whole number of 16-byte blocks; otherwise nothing is changed and
    // false is returned.
    bool encrypt(const AesIv& iv, std::uint8_t* data, std::size_t byteCount);
    bool decrypt(const AesIv& iv, std::uint8_t* data, std::size_t byteCount);

  private:
    struct Contexts;
    std::unique_ptr<Contexts> contexts_;
};
