#pragma once
// Turns one message as the phone sends it (16-byte IV, then AES-128-CBC ciphertext under
// messageKey) into its text: the plaintext up to the first "*", else up to the first zero byte.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "transport/cipher/AesCbcCipher.h"

class PhoneMessageDecryptor {
  public:
    // capacity: the longest ciphertext accepted, in bytes.
    explicit PhoneMessageDecryptor(std::size_t capacity);

    // False (text untouched) for a message shorter than its IV, a ciphertext that is not whole
    // blocks, or one longer than the capacity.
    bool decrypt(const std::uint8_t* message, std::size_t byteCount, std::string& text);

  private:
    AesCbcCipher cipher_;
    std::size_t capacity_;
    std::unique_ptr<std::uint8_t[]> plaintext_;
};
