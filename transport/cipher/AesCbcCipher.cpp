#include "transport/cipher/AesCbcCipher.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>
#include <stdexcept>

namespace {

AesKey keyFromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
    const std::uint32_t words[4] = {w0, w1, w2, w3};
    AesKey key{};
    for (int i = 0; i < 4; ++i) {
        key[4 * i + 0] = static_cast<std::uint8_t>(words[i] >> 24);
        key[4 * i + 1] = static_cast<std::uint8_t>(words[i] >> 16);
        key[4 * i + 2] = static_cast<std::uint8_t>(words[i] >> 8);
        key[4 * i + 3] = static_cast<std::uint8_t>(words[i]);
    }
    return key;
}

struct ContextDeleter {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using ContextPtr = std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter>;

ContextPtr makeContext(const AesKey& key, int encrypt) {
    ContextPtr ctx(EVP_CIPHER_CTX_new());
    if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, key.data(), nullptr,
                                  encrypt) != 1) {
        throw std::runtime_error("AES-128-CBC is not available");
    }
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    return ctx;
}

bool cryptInPlace(EVP_CIPHER_CTX* ctx, const AesIv& iv, std::uint8_t* data, std::size_t byteCount) {
    if (byteCount % kAesBlockSize != 0 || byteCount > static_cast<std::size_t>(INT_MAX))
        return false;
    if (byteCount == 0) return true;
    // Only the IV changes between calls: the key schedule set up at construction is kept.
    if (EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, iv.data(), -1) != 1) return false;
    int written = 0;
    if (EVP_CipherUpdate(ctx, data, &written, data, static_cast<int>(byteCount)) != 1) return false;
    int tail = 0;
    if (EVP_CipherFinal_ex(ctx, data + written, &tail) != 1) return false;
    return static_cast<std::size_t>(written + tail) == byteCount;
}

}  // namespace

AesKey messageKey() {
    return keyFromWords(0x3A91C5E7u, 0x5D2B7F04u, 0xC8E61A93u, 0x7B40D25Fu);
}

AesKey clipKey() {
    return keyFromWords(0x91D3487Au, 0x2EC05B16u, 0xF47A9C38u, 0x0B65E2D1u);
}

bool randomIv(AesIv& iv) {
    return RAND_bytes(iv.data(), static_cast<int>(iv.size())) == 1;
}

struct AesCbcCipher::Contexts {
    ContextPtr encrypt;
    ContextPtr decrypt;
};

AesCbcCipher::AesCbcCipher(const AesKey& key)
    : contexts_(new Contexts{makeContext(key, 1), makeContext(key, 0)}) {}

AesCbcCipher::~AesCbcCipher() = default;

bool AesCbcCipher::encrypt(const AesIv& iv, std::uint8_t* data, std::size_t byteCount) {
    return cryptInPlace(contexts_->encrypt.get(), iv, data, byteCount);
}

bool AesCbcCipher::decrypt(const AesIv& iv, std::uint8_t* data, std::size_t byteCount) {
    return cryptInPlace(contexts_->decrypt.get(), iv, data, byteCount);
}
