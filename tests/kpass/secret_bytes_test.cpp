// Each routine over a secret, then the registers as a signal frame saves
// them: no run of the secret's bytes may be left in any of them. The C
// library's own memcpy leaves one: 24 bytes in xmm1 (xmm17 with AVX-512),
// 45 bytes in ymm17 with AVX-512, which nothing clears (without it,
// vzeroupper clears the upper halves of ymm0 and ymm1).
#include <gtest/gtest.h>

#include <cstring>

#include "kpass/crypto.h"
#include "kpass/secret_bytes.h"
#include "support/secret_search.h"

namespace {

enum class use { copy, length, equal, sha256, memcpy_then_clear };

// Only the registers are searched: the secret's own bytes may lie anywhere.
TEST(secret_bytes, leave_no_copy_in_the_registers) {
    const std::pair<use, std::size_t> cases[] = {
        {use::copy, 24},   {use::copy, 45},   {use::length, 45},           {use::equal, 45},
        {use::sha256, 24}, {use::memcpy_then_clear, 24}, {use::memcpy_then_clear, 45},
    };
    static constexpr char text[] = "Sb7-secret-bytes-that-no-register-keeps-after-their-use-4f2";
    static char secret[64], copy[64];
    static uint8_t out[32];
    register_frames frames;
    for (auto [what, size] : cases) {
        kpass_copy_secret(secret, text, size);
        kpass_copy_secret(copy, text, size);
        secret[size] = copy[size] = '\0';
        if (what == use::copy) kpass_copy_secret(copy, secret, size);
        if (what == use::length) out[0] = static_cast<uint8_t>(kpass_secret_length(secret));
        if (what == use::equal) out[0] = kpass_secrets_equal(copy, secret, size);
        if (what == use::sha256) kpass_sha256({reinterpret_cast<const uint8_t*>(secret), size}, out);
        if (what == use::memcpy_then_clear) std::memcpy(copy, secret, size);
        if (what == use::memcpy_then_clear) kpass_clear_vector_registers();
        frames.save();
        EXPECT_EQ(frames.copies_in_registers({{"secret", secret, size, true}}), std::vector<std::string>{})
            << static_cast<int>(what) << ", " << size << " bytes";
    }
}

}  // namespace
