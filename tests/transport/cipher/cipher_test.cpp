#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "transport/cipher/AesCbcCipher.h"

namespace {

std::vector<std::uint8_t> fromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

template <typename Array>
Array arrayFromHex(const std::string& hex) {
    Array a{};
    const auto bytes = fromHex(hex);
    std::copy(bytes.begin(), bytes.end(), a.begin());
    return a;
}

// NIST SP 800-38A, F.2.1 and F.2.2: CBC-AES128.
const char* kKey = "2b7e151628aed2a6abf7158809cf4f3c";
const char* kIv = "000102030405060708090a0b0c0d0e0f";
const char* kPlain =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
const char* kCipher =
    "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
    "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7";

TEST(AesCbcCipher, MatchesSp80038aVectorsInBothDirections) {
    AesCbcCipher cipher(arrayFromHex<AesKey>(kKey));
    const auto iv = arrayFromHex<AesIv>(kIv);

    auto data = fromHex(kPlain);
    ASSERT_TRUE(cipher.encrypt(iv, data.data(), data.size()));
    EXPECT_EQ(data, fromHex(kCipher));

    ASSERT_TRUE(cipher.decrypt(iv, data.data(), data.size()));
    EXPECT_EQ(data, fromHex(kPlain));
}

TEST(AesCbcCipher, MatchesFips197SingleBlock) {
    // FIPS 197, appendix C.1 (AES-128); one CBC block with a zero IV is the bare block cipher.
    AesCbcCipher cipher(arrayFromHex<AesKey>("000102030405060708090a0b0c0d0e0f"));
    auto data = fromHex("00112233445566778899aabbccddeeff");
    ASSERT_TRUE(cipher.encrypt(AesIv{}, data.data(), data.size()));
    EXPECT_EQ(data, fromHex("69c4e0d86a7b0430d8cdb78070b4c55a"));
}

TEST(AesCbcCipher, RefusesPartialBlocksAndLeavesThemAlone) {
    AesCbcCipher cipher(messageKey());
    std::vector<std::uint8_t> data(17, 0x41);
    EXPECT_FALSE(cipher.encrypt(AesIv{}, data.data(), data.size()));
    EXPECT_EQ(data, std::vector<std::uint8_t>(17, 0x41));
    EXPECT_TRUE(cipher.decrypt(AesIv{}, data.data(), 0));
}

TEST(AesCbcCipher, KeysAreDistinctAndStable) {
    EXPECT_EQ(messageKey(), messageKey());
    EXPECT_NE(messageKey(), clipKey());
    AesIv a{}, b{};
    ASSERT_TRUE(randomIv(a));
    ASSERT_TRUE(randomIv(b));
    EXPECT_NE(a, b);
}

}  // namespace
