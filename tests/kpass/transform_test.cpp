// The key transform: its AES-NI kernel and the nettle path give the same
// chains, and both are AES-256 as published.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

#include "kpass/crypto.h"

namespace {

using block32 = std::array<uint8_t, 32>;

block32 random_block(std::mt19937& random) {
    block32 out;
    for (uint8_t& byte : out) byte = static_cast<uint8_t>(random());
    return out;
}

block32 nettle_result(const block32& seed, uint32_t rounds, block32 key) {
    kpass_transform_key_nettle(seed.data(), rounds, key.data());
    return key;
}

block32 aesni_result(const block32& seed, uint32_t rounds, block32 key) {
    kpass_transform_key_aesni(seed.data(), rounds, key.data());
    return key;
}

// FIPS-197, appendix C.3: AES-256 of 00112233...eeff under the key 000102...1f.
const block32 fips_key = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a,
                          0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15,
                          0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f};
const std::array<uint8_t, 16> fips_plain = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                            0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
const std::array<uint8_t, 16> fips_cipher = {0x8e, 0xa2, 0xb7, 0xca, 0x51, 0x67, 0x45, 0xbf,
                                             0xea, 0xfc, 0x49, 0x90, 0x4b, 0x49, 0x60, 0x89};

}  // namespace

// One round is AES-256 of each half on its own; zero rounds leave the key.
TEST(transform, one_round_is_aes256_of_each_half_and_zero_rounds_change_nothing) {
    block32 key;
    std::copy(fips_plain.begin(), fips_plain.end(), key.begin());
    std::copy(fips_plain.begin(), fips_plain.end(), key.begin() + 16);
    block32 expected;
    std::copy(fips_cipher.begin(), fips_cipher.end(), expected.begin());
    std::copy(fips_cipher.begin(), fips_cipher.end(), expected.begin() + 16);

    EXPECT_EQ(nettle_result(fips_key, 1, key), expected);
    EXPECT_EQ(nettle_result(fips_key, 0, key), key);
    block32 through_library = key;
    kpass_transform_key(fips_key.data(), 1, through_library.data());
    EXPECT_EQ(through_library, expected);
    if (!kpass_transform_aesni_available()) GTEST_SKIP() << "no AES-NI kernel on this build or processor";
    EXPECT_EQ(aesni_result(fips_key, 1, key), expected);
    EXPECT_EQ(aesni_result(fips_key, 0, key), key);
}

// The halves are independent chains: changing one leaves the other's result.
TEST(transform, halves_are_independent_chains) {
    std::mt19937 random(7);
    block32 seed = random_block(random), key = random_block(random);
    block32 changed = key;
    changed[20] ^= 0x40;
    block32 a = nettle_result(seed, 5, key), b = nettle_result(seed, 5, changed);
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + 16, b.begin()));
    EXPECT_FALSE(std::equal(a.begin() + 16, a.end(), b.begin() + 16));
    if (!kpass_transform_aesni_available()) GTEST_SKIP() << "no AES-NI kernel on this build or processor";
    EXPECT_EQ(aesni_result(seed, 5, key), a);
    EXPECT_EQ(aesni_result(seed, 5, changed), b);
}

// Random seeds and keys, round counts from none to many, odd and even.
TEST(transform, aesni_kernel_matches_nettle) {
    if (!kpass_transform_aesni_available()) GTEST_SKIP() << "no AES-NI kernel on this build or processor";
    std::mt19937 random(20240605);
    const uint32_t round_counts[] = {0, 1, 2, 3, 16, 17, 999, 6000, 100001};
    for (uint32_t rounds : round_counts) {
        for (int trial = 0; trial < 4; ++trial) {
            block32 seed = random_block(random), key = random_block(random);
            EXPECT_EQ(aesni_result(seed, rounds, key), nettle_result(seed, rounds, key))
                << "rounds " << rounds << ", trial " << trial;
        }
    }
    for (int trial = 0; trial < 20; ++trial) {
        uint32_t rounds = static_cast<uint32_t>(random() % 50000);
        block32 seed = random_block(random), key = random_block(random);
        EXPECT_EQ(aesni_result(seed, rounds, key), nettle_result(seed, rounds, key)) << "rounds " << rounds;
    }
}

// The library's own entry point gives the same chain, whichever path it takes.
TEST(transform, library_transform_matches_nettle) {
    std::mt19937 random(11);
    for (uint32_t rounds : {0u, 1u, 2u, 6001u}) {
        block32 seed = random_block(random), key = random_block(random);
        block32 through_library = key;
        kpass_transform_key(seed.data(), rounds, through_library.data());
        EXPECT_EQ(through_library, nettle_result(seed, rounds, key)) << "rounds " << rounds;
    }
}
