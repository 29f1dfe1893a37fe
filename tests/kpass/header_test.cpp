// kpass_init_db: every header refusal leaves nothing allocated and the
// storage ready for another try; odd but real headers are accepted.
#include "kpass/secure_memory.h"
#include "kpass_test_helpers.h"

namespace {

std::vector<uint8_t> good_file() { return kdb_write({}, sample_groups(), sample_entries(), "pw"); }

// Init must give result and leave a record that holds nothing.
void expect_refused(const std::vector<uint8_t>& file, int result) {
    size_t blocks = kpass_secure_blocks_in_use();
    test_db t;
    EXPECT_EQ(t.init(file), result);
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
    EXPECT_EQ(t.db->store, nullptr);
    EXPECT_EQ(t.db->groups, nullptr);
    EXPECT_EQ(t.db->entries, nullptr);
}

TEST(Header, ShortFilesAndMissingBytesAreRefused) {
    std::vector<uint8_t> file = good_file();
    expect_refused({}, kpass_short_file);
    expect_refused(std::vector<uint8_t>(file.begin(), file.begin() + 123), kpass_short_file);
    expect_refused(std::vector<uint8_t>(file.begin(), file.begin() + 4), kpass_short_file);

    test_db t;
    EXPECT_EQ(kpass_init_db(t.db, nullptr, 1000), kpass_short_file);
    EXPECT_EQ(t.db->store, nullptr);
    EXPECT_EQ(kpass_init_db(t.db, file.data(), -1), kpass_short_file);
    EXPECT_EQ(kpass_init_db(t.db, file.data(), INT32_MIN), kpass_short_file);
}

TEST(Header, WrongSignaturesAreRefused) {
    std::vector<uint8_t> file = good_file();
    std::vector<uint8_t> bad = file;
    kdb_set_u32(bad, kdb_offset_signature_1, 0x9AA2D904);
    expect_refused(bad, kpass_bad_signature);
    bad = file;
    kdb_set_u32(bad, kdb_offset_signature_2, 0xB54BFB66);
    expect_refused(bad, kpass_bad_signature);
    bad = file;
    kdb_set_u32(bad, kdb_offset_signature_2, 0xB54BFB67);  // a KeePass 2.x file
    expect_refused(bad, kpass_bad_signature);
    bad = file;
    std::fill(bad.begin(), bad.end(), 0);
    expect_refused(bad, kpass_bad_signature);
}

TEST(Header, VersionsOutsideMajorThreeAreRefused) {
    for (uint32_t version : {0x00020000u, 0x00040004u, 0x00000000u, 0x01030004u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> file = good_file();
        kdb_set_u32(file, kdb_offset_version, version);
        SCOPED_TRACE(version);
        expect_refused(file, kpass_bad_version);
    }
}

TEST(Header, FlagsWithoutAesOrTwofishAreRefused) {
    for (uint32_t flags : {0x0u, kpass_flag_sha2, kpass_flag_arc4, kpass_flag_sha2 | kpass_flag_arc4, 0xF0u}) {
        std::vector<uint8_t> file = good_file();
        kdb_set_u32(file, kdb_offset_flags, flags);
        SCOPED_TRACE(flags);
        expect_refused(file, kpass_unsupported_cipher);
    }
}

TEST(Header, ContentsMustBeAPositiveMultipleOfSixteen) {
    std::vector<uint8_t> file = good_file();
    expect_refused(std::vector<uint8_t>(file.begin(), file.begin() + 124), kpass_bad_length);
    expect_refused(std::vector<uint8_t>(file.begin(), file.end() - 1), kpass_bad_length);
    expect_refused(std::vector<uint8_t>(file.begin(), file.end() - 15), kpass_bad_length);
    std::vector<uint8_t> longer = file;
    longer.push_back(0);
    expect_refused(longer, kpass_bad_length);
}

TEST(Header, MinorVersionsMetInRealFilesAreRead) {
    for (uint32_t version : {0x00030002u, 0x00030003u, 0x00030004u, 0x000300FFu}) {
        kdb_write_options options;
        options.version = version;
        test_db t;
        ASSERT_EQ(open_kdb(t, kdb_write(options, sample_groups(), sample_entries(), "pw"), "pw"), kpass_success)
            << version;
        EXPECT_EQ(t.db->version, version);
        expect_records(t.db, sample_groups(), sample_entries());
    }
}

TEST(Header, OddFlagCombinationsPickTheCipherAsKeePassDoes) {
    struct odd_flags {
        uint32_t flags;
        kdb_cipher cipher;
    };
    for (odd_flags odd : {odd_flags{kpass_flag_aes, kdb_cipher::aes},  // SHA-2 bit missing
                          odd_flags{kpass_flag_twofish, kdb_cipher::twofish},
                          odd_flags{kpass_flag_aes | kpass_flag_arc4, kdb_cipher::aes},
                          odd_flags{kpass_flag_twofish | kpass_flag_arc4 | 0xF0, kdb_cipher::twofish},
                          odd_flags{kpass_flag_aes | kpass_flag_twofish, kdb_cipher::aes}}) {
        kdb_write_options options;
        options.flags = odd.flags;
        options.cipher = odd.cipher;
        test_db t;
        ASSERT_EQ(open_kdb(t, kdb_write(options, sample_groups(), sample_entries(), "pw"), "pw"), kpass_success)
            << odd.flags;
        EXPECT_EQ(t.db->flags, odd.flags);
        expect_records(t.db, sample_groups(), sample_entries());
    }
}

TEST(Header, TwofishBitBesideAesStillMeansAes) {
    kdb_write_options options;
    options.flags = kpass_flag_sha2 | kpass_flag_aes | kpass_flag_twofish;
    options.cipher = kdb_cipher::twofish;  // written the other way: must not match
    test_db t;
    EXPECT_EQ(open_kdb(t, kdb_write(options, sample_groups(), sample_entries(), "pw"), "pw"), kpass_wrong_key);
}

}  // namespace
