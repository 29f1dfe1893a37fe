// The key transform: every kernel gives nettle's chains for any number of
// keys, and nettle's is AES-256 as published.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "kpass/crypto.h"

// The AVX-512 kernel's own source, built against an emulation of its
// instructions (vaes512_emulation.cpp), so that its logic runs on any
// processor with VAES and AVX2.
void emulated_transform_keys_vaes512(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count);
bool vaes512_emulation_built();

namespace {

using block32 = std::array<uint8_t, 32>;

block32 random_block(std::mt19937& random) {
    block32 out;
    for (uint8_t& byte : out) byte = static_cast<uint8_t>(random());
    return out;
}

block32 nettle_result(const block32& seed, uint32_t rounds, block32 key) {
    kpass_transform_keys_nettle(seed.data(), rounds, key);
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
}

// Each kernel, for every number of keys that fills its registers and
// passes differently, against nettle one key at a time; and the library's
// entry points, whichever kernel they choose.
enum class under_test { aesni, vaes256, vaes512, vaes512_emulated, library };

class transform_kernel : public ::testing::TestWithParam<under_test> {};

TEST_P(transform_kernel, gives_each_key_what_nettle_gives_it_alone) {
    const under_test which = GetParam();
    const kpass_aes_kernel kernel = which == under_test::aesni     ? kpass_aes_kernel::aesni
                                    : which == under_test::vaes256 ? kpass_aes_kernel::vaes256
                                                                   : kpass_aes_kernel::vaes512;
    if (which == under_test::vaes512_emulated && !vaes512_emulation_built())
        GTEST_SKIP() << "vaes512 emulation: not built (the compiler lacks VAES)";
    if (which == under_test::vaes512_emulated && !kpass_aes_kernel_usable(kpass_aes_kernel::vaes256))
        GTEST_SKIP() << "vaes512 emulation: the processor lacks VAES with AVX2";
    if (which != under_test::library && which != under_test::vaes512_emulated && !kpass_aes_kernel_usable(kernel))
        GTEST_SKIP() << kpass_aes_kernel_name(kernel) << ": not built, or the processor lacks it";
    std::mt19937 random(20240605 + static_cast<int>(which));
    struct run {
        std::size_t count;
        uint32_t rounds;
    };
    std::vector<run> runs;
    for (std::size_t count : {1, 2, 3, 7, 8, 14, 28})
        for (uint32_t rounds : {0u, 1u, 2u, 3u, 1000u}) runs.push_back({count, rounds});
    for (uint32_t rounds : {16u, 17u, 6001u, 100001u}) runs.push_back({1, rounds});  // long chains of one key
    for (const run& r : runs) {
        block32 seed = random_block(random);
        std::vector<block32> keys(r.count), expected(r.count);
        for (std::size_t i = 0; i < r.count; ++i) {
            keys[i] = random_block(random);
            expected[i] = nettle_result(seed, r.rounds, keys[i]);
        }
        std::span<uint8_t> bytes(keys.front().data(), 32 * r.count);
        if (which == under_test::vaes512_emulated)
            emulated_transform_keys_vaes512(seed.data(), r.rounds, bytes.data(), r.count);
        else if (which == under_test::library && r.count == 1)
            kpass_transform_key(seed.data(), r.rounds, bytes.data());
        else if (which == under_test::library)
            kpass_transform_keys(seed.data(), r.rounds, bytes);
        else
            kpass_transform_keys_on(kernel, seed.data(), r.rounds, bytes);
        EXPECT_EQ(keys, expected) << r.count << " keys, " << r.rounds << " rounds";
    }
}

std::string name_of(const ::testing::TestParamInfo<under_test>& info) {
    const char* names[] = {"aesni", "vaes256", "vaes512", "vaes512_emulated", "library"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(all, transform_kernel,
                         ::testing::Values(under_test::aesni, under_test::vaes256, under_test::vaes512,
                                           under_test::vaes512_emulated, under_test::library),
                         name_of);

// KDBROWSE_AES forces a slower kernel, never a faster or unknown one.
TEST(transform, forced_kernel_is_never_faster_than_the_processor_allows) {
    unsetenv("KDBROWSE_AES");
    const kpass_aes_kernel fastest = kpass_aes_kernel_chosen();
    for (const char* name : {"nettle", "aesni", "vaes256", "vaes512", "fastest", ""}) {
        setenv("KDBROWSE_AES", name, 1);
        const kpass_aes_kernel chosen = kpass_aes_kernel_chosen();
        EXPECT_LE(chosen, fastest) << name;
        EXPECT_TRUE(std::string(kpass_aes_kernel_name(chosen)) == name || chosen == fastest) << name;
    }
    unsetenv("KDBROWSE_AES");
}
