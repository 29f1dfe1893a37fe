// Each routine over a secret, then the registers as a signal frame saves
// them: no run of the secret's bytes may be left in any of them. The C
// library's own memcpy leaves one: for 16 to 31 bytes in xmm0 and xmm1 (or
// xmm16 and xmm17), for 32 to 63 in ymm0 and ymm1 (or ymm16 and ymm17 with
// AVX-512, which nothing clears).
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <string>

#include "kpass/crypto.h"
#include "kpass/secret_bytes.h"
#include "support/secret_search.h"

namespace {

// The secret and everything made from it, in a page of their own.
struct secret_page {
    char secret[128];
    char copy[128];
    uint8_t digest[32];
    std::size_t length;
    bool equal;
};

enum class use { copy, move_up, length, equal, sha256, memcpy_then_clear };

void run(use what, secret_page& p, std::size_t size) {
    switch (what) {
    case use::copy: kpass_copy_secret(p.copy, p.secret, size); break;
    case use::move_up: kpass_copy_secret(p.copy + 3, p.copy, size); break;
    case use::length: p.length = kpass_secret_length(p.secret); break;
    case use::equal: p.equal = kpass_secrets_equal(p.copy, p.secret, size); break;
    case use::sha256: kpass_sha256({reinterpret_cast<const uint8_t*>(p.secret), size}, p.digest); break;
    case use::memcpy_then_clear:
        std::memcpy(p.copy, p.secret, size);
        kpass_clear_vector_registers();
        break;
    }
}

TEST(secret_bytes, leave_no_copy_in_the_registers) {
    const struct {
        use what;
        std::size_t size;
    } cases[] = {
        {use::copy, 24},   {use::copy, 45},   {use::move_up, 45},          {use::length, 45},
        {use::equal, 45},  {use::sha256, 24}, {use::memcpy_then_clear, 24}, {use::memcpy_then_clear, 45},
    };
    auto* p = static_cast<secret_page*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(p, MAP_FAILED);
    static_assert(sizeof(secret_page) <= 4096);
    static constexpr char text[] = "Sb7-secret-bytes-that-no-register-keeps-after-their-use-4f2";
    register_frames frames;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.what)) + ", " + std::to_string(c.size) + " bytes");
        kpass_copy_secret(p->secret, text, c.size);
        p->secret[c.size] = '\0';
        kpass_copy_secret(p->copy, p->secret, c.size);
        run(c.what, *p, c.size);
        frames.save();
        EXPECT_EQ(frames.copies_in_registers({{"secret", p->secret, c.size, true}}), std::vector<std::string>{});
        // And each did its job.
        const char* moved = c.what == use::move_up ? p->copy + 3 : p->copy;
        EXPECT_TRUE(kpass_secrets_equal(moved, p->secret, c.size));
        EXPECT_EQ(p->length, c.what == use::length ? c.size : 0);
        EXPECT_EQ(p->equal, c.what == use::equal);
        p->length = 0;
        p->equal = false;
        EXPECT_FALSE(kpass_secrets_equal(p->copy, p->secret + 1, c.size));
    }
    munmap(p, 4096);
}

}  // namespace
