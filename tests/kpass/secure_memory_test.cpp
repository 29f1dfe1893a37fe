// Secrets are wiped before their memory goes back: the allocator itself,
// and every block a record held, seen through the release hook.
#include <algorithm>

#include "kpass/secure_memory.h"
#include "kpass_test_helpers.h"

namespace {

struct release_log {
    size_t blocks = 0;
    size_t bytes = 0;
    size_t largest = 0;
    size_t dirty_blocks = 0;
};
release_log seen;

void inspect(const void* block, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    ++seen.blocks;
    seen.bytes += size;
    seen.largest = std::max(seen.largest, size);
    if (std::any_of(bytes, bytes + size, [](uint8_t b) { return b != 0; })) ++seen.dirty_blocks;
}

struct hooked {
    hooked() {
        seen = {};
        kpass_release_hook = inspect;
    }
    ~hooked() { kpass_release_hook = nullptr; }
};

TEST(SecureMemory, AllocatorWipesBeforeRelease) {
    hooked hook;
    size_t blocks = kpass_secure_blocks_in_use();
    {
        secure_vector<char> secret(5000, 'S');
        EXPECT_EQ(reinterpret_cast<uintptr_t>(secret.data()) % 4096, 0u);  // whole pages of its own
        EXPECT_EQ(kpass_secure_blocks_in_use(), blocks + 1);
    }
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
    EXPECT_EQ(seen.blocks, 1u);
    EXPECT_EQ(seen.bytes, 5000u);
    EXPECT_EQ(seen.dirty_blocks, 0u);
}

TEST(SecureMemory, EveryBlockOfAnUnlockedRecordIsWipedOnFree) {
    std::vector<kdb_entry_spec> entries = sample_entries();
    entries[1].notes = std::string(20000, 'n');
    std::vector<uint8_t> file = kdb_write({}, sample_groups(), entries, "pw");
    size_t blocks = kpass_secure_blocks_in_use();
    hooked hook;
    {
        test_db t;
        ASSERT_EQ(open_kdb(t, file, "pw"), kpass_success);
        t.release();
        EXPECT_GT(seen.largest, 20000u);  // the decrypted contents, which the records point into
    }
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
    // Contents, copied texts, records, pointer arrays, the encrypted copy, the store.
    EXPECT_GE(seen.blocks, 8u);
    EXPECT_EQ(seen.dirty_blocks, 0u);
}

TEST(SecureMemory, BlocksAreWipedOnEveryRefusal) {
    kdb_seal_options broken;
    broken.break_hash = true;
    std::vector<uint8_t> contents = small_group(1, "secret name");
    hooked hook;
    {
        test_db t;
        ASSERT_EQ(open_kdb(t, kdb_write({}, sample_groups(), sample_entries(), "pw"), "wrong"), kpass_wrong_key);
        ASSERT_EQ(t.unlock("pw"), kpass_success);
    }
    {
        test_db t;
        EXPECT_EQ(open_kdb(t, sealed(1, 0, contents, broken), "pw"), kpass_wrong_key);
    }
    {
        test_db t;
        EXPECT_EQ(open_kdb(t, sealed(2, 0, contents), "pw"), kpass_bad_contents);
    }
    EXPECT_GT(seen.blocks, 0u);
    EXPECT_EQ(seen.dirty_blocks, 0u);
}

}  // namespace
