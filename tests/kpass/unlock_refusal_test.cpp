// kpass_decrypt_db refusals after the cipher: padding and contents hash.
// Each leaves the record locked, holding what it held before, and ready for
// the right key.
#include "kpass/secure_memory.h"
#include "kpass_test_helpers.h"

namespace {

std::vector<uint8_t> sample_contents() {
    std::vector<uint8_t> contents;
    for (const kdb_group_spec& group : sample_groups()) append(contents, kdb_group_record(group));
    for (const kdb_entry_spec& entry : sample_entries()) append(contents, kdb_entry_record(entry));
    return contents;
}

void expect_no_match(const std::vector<uint8_t>& file, int result) {
    test_db t;
    ASSERT_EQ(t.init(file), kpass_success);
    size_t blocks = kpass_secure_blocks_in_use();
    EXPECT_EQ(t.unlock("pw"), result);
    EXPECT_EQ(t.db->groups, nullptr);
    EXPECT_EQ(t.db->entries, nullptr);
    EXPECT_EQ(t.db->group_count, 3u);
    EXPECT_EQ(t.db->entry_count, 4u);
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
}

TEST(UnlockRefusal, BadPaddingIsNoMatch) {
    std::vector<uint8_t> contents = sample_contents();
    for (kdb_padding padding : {kdb_padding::zero, kdb_padding::too_large, kdb_padding::uneven}) {
        SCOPED_TRACE(static_cast<int>(padding));
        kdb_seal_options seal;
        seal.padding = padding;
        expect_no_match(sealed(3, 4, contents, seal), kpass_wrong_key);
        // The same with contents a block long, where the padding fills a block.
        std::vector<uint8_t> block(contents.begin(), contents.begin() + 16);
        expect_no_match(sealed(3, 4, block, seal), kpass_wrong_key);
    }
}

TEST(UnlockRefusal, HashMismatchIsNoMatch) {
    kdb_seal_options seal;
    seal.break_hash = true;
    expect_no_match(sealed(3, 4, sample_contents(), seal), kpass_wrong_key);
}

TEST(UnlockRefusal, DamagedCiphertextIsNoMatch) {
    std::vector<uint8_t> file = sealed(3, 4, sample_contents());
    file[kdb_header_size + 20] ^= 0x80;  // garbles one block, flips a bit of the next
    expect_no_match(file, kpass_wrong_key);
    file = sealed(3, 4, sample_contents());
    file.back() ^= 0x01;  // garbles the padding block
    expect_no_match(file, kpass_wrong_key);
}

TEST(UnlockRefusal, WrongHeaderSeedsAreNoMatch) {
    for (size_t offset : {kdb_offset_master_seed, kdb_offset_transform_seed, kdb_offset_iv, kdb_offset_rounds}) {
        std::vector<uint8_t> file = sealed(3, 4, sample_contents());
        file[offset] ^= 0x01;
        SCOPED_TRACE(offset);
        expect_no_match(file, kpass_wrong_key);
    }
}

TEST(UnlockRefusal, ANullKeyOrARefusedRecordIsRefused) {
    test_db t;
    ASSERT_EQ(t.init(sealed(3, 4, sample_contents())), kpass_success);
    EXPECT_NE(kpass_decrypt_db(t.db, nullptr), kpass_success);
    EXPECT_EQ(t.unlock("pw"), kpass_success);

    test_db refused;
    EXPECT_EQ(refused.init({}), kpass_short_file);
    EXPECT_NE(refused.unlock("pw"), kpass_success);
}

}  // namespace
