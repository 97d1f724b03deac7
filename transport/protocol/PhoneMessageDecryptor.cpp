#include "transport/protocol/PhoneMessageDecryptor.h"

#include <algorithm>
#include <cstring>

PhoneMessageDecryptor::PhoneMessageDecryptor(std::size_t capacity)
    : cipher_(messageKey()), capacity_(capacity), plaintext_(new std::uint8_t[capacity]) {}

bool PhoneMessageDecryptor::decrypt(const std::uint8_t* message, std::size_t byteCount,
                                    std::string& text) {
    if (byteCount < kAesBlockSize) return false;
    const std::size_t cipherBytes = byteCount - kAesBlockSize;
    if (cipherBytes % kAesBlockSize != 0 || cipherBytes > capacity_) return false;

    AesIv iv;
    std::memcpy(iv.data(), message, iv.size());
    std::memcpy(plaintext_.get(), message + kAesBlockSize, cipherBytes);
    if (!cipher_.decrypt(iv, plaintext_.get(), cipherBytes)) return false;

    const std::uint8_t* begin = plaintext_.get();
    const std::uint8_t* end = begin + cipherBytes;
    const std::uint8_t* star = std::find(begin, end, static_cast<std::uint8_t>('*'));
    const std::uint8_t* stop = star != end ? star : std::find(begin, end, std::uint8_t{0});
    text.assign(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(stop - begin));
    return true;
}
