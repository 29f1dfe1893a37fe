// Databases written by the writer read back field for field, and the
// record's life cycle: retries, a second unlock, reuse of the storage.
#include "kpass/secure_memory.h"
#include "kpass_test_helpers.h"

namespace {

std::vector<uint8_t> sample_file(kdb_cipher cipher, uint32_t rounds, const std::string& password = "secret") {
    kdb_write_options options;
    options.cipher = cipher;
    options.rounds = rounds;
    return kdb_write(options, sample_groups(), sample_entries(), password);
}

TEST(RoundTrip, EveryFieldForBothCiphersAndSeveralRoundCounts) {
    for (kdb_cipher cipher : {kdb_cipher::aes, kdb_cipher::twofish}) {
        for (uint32_t rounds : {0u, 1u, 7u, 1001u}) {
            SCOPED_TRACE((cipher == kdb_cipher::aes ? "aes, rounds " : "twofish, rounds ") + std::to_string(rounds));
            kdb_write_options options;
            options.cipher = cipher;
            options.rounds = rounds;
            std::vector<uint8_t> file = kdb_write(options, sample_groups(), sample_entries(), "secret");
            test_db t;
            ASSERT_EQ(open_kdb(t, file, "secret"), kpass_success);
            EXPECT_EQ(t.db->rounds, rounds);
            EXPECT_EQ(t.db->version, 0x00030004u);
            uint32_t cipher_flag = cipher == kdb_cipher::aes ? kpass_flag_aes : kpass_flag_twofish;
            EXPECT_EQ(t.db->flags, kpass_flag_sha2 | cipher_flag);
            expect_records(t.db, sample_groups(), sample_entries());
        }
    }
}

TEST(RoundTrip, HeaderFieldsAreKept) {
    kdb_write_options options;
    options.master_seed = std::array<uint8_t, 16>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    options.iv = std::array<uint8_t, 16>{};
    options.transform_seed = std::array<uint8_t, 32>{};
    options.transform_seed->fill(0x77);
    std::vector<uint8_t> file = kdb_write(options, sample_groups(), sample_entries(), "x");
    test_db t;
    ASSERT_EQ(t.init(file), kpass_success);
    EXPECT_EQ(t.db->group_count, 3u);  // the header's counts while locked
    EXPECT_EQ(t.db->entry_count, 4u);
    EXPECT_EQ(t.db->groups, nullptr);
    EXPECT_EQ(t.db->entries, nullptr);
    EXPECT_EQ(std::memcmp(t.db->master_seed, options.master_seed->data(), 16), 0);
    EXPECT_EQ(std::memcmp(t.db->transform_seed, options.transform_seed->data(), 32), 0);
    EXPECT_EQ(std::memcmp(t.db->contents_hash, &file[kdb_offset_hash], 32), 0);
    EXPECT_EQ(t.db->rounds, options.rounds);
}

TEST(RoundTrip, InitCopiesTheFileSoItsBytesMayGo) {
    std::vector<uint8_t> file = sample_file(kdb_cipher::aes, 5);
    test_db t;
    ASSERT_EQ(t.init(file), kpass_success);
    std::fill(file.begin(), file.end(), 0);
    ASSERT_EQ(t.unlock("secret"), kpass_success);
    expect_records(t.db, sample_groups(), sample_entries());
}

TEST(RoundTrip, EmptyDatabaseAndEmptyPassword) {
    std::vector<uint8_t> file = kdb_write({}, {}, {}, "");
    test_db t;
    ASSERT_EQ(open_kdb(t, file, ""), kpass_success);
    EXPECT_EQ(t.db->group_count, 0u);
    EXPECT_EQ(t.db->entry_count, 0u);
    EXPECT_NE(t.db->groups, nullptr);
    EXPECT_NE(t.db->entries, nullptr);
}

TEST(RoundTrip, GroupArraysEndWithANullPointer) {
    test_db t;
    ASSERT_EQ(open_kdb(t, sample_file(kdb_cipher::aes, 1), "secret"), kpass_success);
    EXPECT_EQ(t.db->groups[3], nullptr);
    EXPECT_EQ(t.db->entries[4], nullptr);
}

TEST(Retry, WrongKeyThenRightKeyOnTheSameRecord) {
    for (kdb_cipher cipher : {kdb_cipher::aes, kdb_cipher::twofish}) {
        test_db t;
        ASSERT_EQ(t.init(sample_file(cipher, 10)), kpass_success);
        size_t blocks = kpass_secure_blocks_in_use();
        for (const char* wrong : {"", "Secret", "secret ", "secre"}) {
            EXPECT_EQ(t.unlock(wrong), kpass_wrong_key) << wrong;
            EXPECT_EQ(t.db->groups, nullptr);
            EXPECT_EQ(t.db->entries, nullptr);
            EXPECT_EQ(t.db->group_count, 3u);
            EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
        }
        ASSERT_EQ(t.unlock("secret"), kpass_success);
        expect_records(t.db, sample_groups(), sample_entries());
    }
}

TEST(Retry, UnlockingAnUnlockedRecordDropsTheOldRecordsFirst) {
    test_db t;
    ASSERT_EQ(t.init(sample_file(kdb_cipher::aes, 10)), kpass_success);
    size_t locked_blocks = kpass_secure_blocks_in_use();
    ASSERT_EQ(t.unlock("secret"), kpass_success);
    size_t unlocked_blocks = kpass_secure_blocks_in_use();
    ASSERT_EQ(t.unlock("secret"), kpass_success);
    EXPECT_EQ(kpass_secure_blocks_in_use(), unlocked_blocks);
    expect_records(t.db, sample_groups(), sample_entries());

    EXPECT_EQ(t.unlock("wrong"), kpass_wrong_key);
    EXPECT_EQ(t.db->groups, nullptr);
    EXPECT_EQ(t.db->entries, nullptr);
    EXPECT_EQ(kpass_secure_blocks_in_use(), locked_blocks);
    ASSERT_EQ(t.unlock("secret"), kpass_success);
    expect_records(t.db, sample_groups(), sample_entries());
}

TEST(Reuse, FreeThenInitAgainOnTheSameStorage) {
    size_t blocks = kpass_secure_blocks_in_use();
    test_db t;
    ASSERT_EQ(open_kdb(t, sample_file(kdb_cipher::twofish, 2), "secret"), kpass_success);
    t.release();
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
    EXPECT_EQ(t.db->store, nullptr);
    EXPECT_EQ(t.db->groups, nullptr);

    std::vector<kdb_group_spec> groups = {small_group_spec()};
    ASSERT_EQ(open_kdb(t, kdb_write({}, groups, {}, "other"), "other"), kpass_success);
    expect_records(t.db, groups, {});
    t.release();
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
}

TEST(Reuse, RefusedInitThenInitAgainWithoutFree) {
    size_t blocks = kpass_secure_blocks_in_use();
    test_db t;
    std::vector<uint8_t> file = sample_file(kdb_cipher::aes, 2);
    std::vector<uint8_t> broken(file.begin(), file.end() - 1);
    EXPECT_EQ(t.init(broken), kpass_bad_length);
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
    ASSERT_EQ(open_kdb(t, file, "secret"), kpass_success);
    expect_records(t.db, sample_groups(), sample_entries());
    t.release();
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
}

TEST(Reuse, FreeOfALockedRecordReleasesEverything) {
    size_t blocks = kpass_secure_blocks_in_use();
    {
        test_db t;
        ASSERT_EQ(t.init(sample_file(kdb_cipher::aes, 2)), kpass_success);
        EXPECT_GT(kpass_secure_blocks_in_use(), blocks);
        EXPECT_EQ(t.unlock("nope"), kpass_wrong_key);
    }
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
}

}  // namespace
