// kpass_decrypt_db refusals after the cipher: padding and contents hash.
// Each leaves the record locked, holding what it held before, and ready for
// the right key.
#include <array>
#include <optional>

#include "kpass/crypto.h"
#include "kpass/format.h"
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

// The last block alone decides which keys are worth decrypting the whole
// contents for, and a wrong key passes it about once in 256: the hash
// still refuses such a key, alone or before the right one, for contents of
// one block and of many.
TEST(UnlockRefusal, AWrongKeyWhoseLastBlockLooksPaddedIsNoMatch) {
    for (bool empty : {true, false}) {  // no groups and no entries: one block, all padding
        const std::vector<uint8_t> file = empty ? sealed(0, 0, {}) : sealed(3, 4, sample_contents());
        const uint8_t* header = file.data();
        std::span<const uint8_t> encrypted(file.data() + kdb_header_size, file.size() - kdb_header_size);
        const uint8_t* chain = encrypted.size() == 16 ? header + kdb_offset_iv : &*(encrypted.end() - 32);
        std::optional<std::array<uint8_t, kpass_key_size>> wrong;
        for (int n = 0; !wrong && n < 100000; ++n) {
            std::array<uint8_t, kpass_key_size> key, final_key;
            std::array<uint8_t, 16> last;
            kpass_hash_pw(("wrong " + std::to_string(n)).c_str(), key.data());
            kpass_final_key(key.data(), header + kdb_offset_transform_seed, kdb_read_u32(header + kdb_offset_rounds),
                            header + kdb_offset_master_seed, final_key.data());
            kpass_cbc_decrypt(kpass_cipher::aes, final_key.data(), chain, encrypted.last(16), last.data());
            const uint8_t pad = last[15];
            if (pad >= 1 && pad <= 16 && std::all_of(last.end() - pad, last.end(), [&](uint8_t b) { return b == pad; }))
                wrong = key;
        }
        ASSERT_TRUE(wrong.has_value());
        SCOPED_TRACE(encrypted.size());
        test_db t;
        ASSERT_EQ(t.init(file), kpass_success);
        EXPECT_EQ(kpass_decrypt_db(t.db, wrong->data()), kpass_wrong_key);
        EXPECT_EQ(t.db->groups, nullptr);
        std::array<uint8_t, 2 * kpass_key_size> both;
        std::copy(wrong->begin(), wrong->end(), both.begin());
        kpass_hash_pw("pw", both.data() + kpass_key_size);
        int matched = -1;
        EXPECT_EQ(kpass_decrypt_db_any(t.db, both.data(), 2, &matched), kpass_success);
        EXPECT_EQ(matched, 1);
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
