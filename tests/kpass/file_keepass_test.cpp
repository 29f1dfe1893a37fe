// tests/data/file-keepass.kdb, written by File::KeePass through
// scripts/make-file-keepass-kdb.pl: every field as that script wrote it.
#include <fstream>
#include <iterator>

#include "kpass_test_helpers.h"

namespace {

std::array<uint8_t, 5> at(const char* text) {
    int y, mo, d, h, mi, s;
    EXPECT_EQ(std::sscanf(text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s), 6);
    return kdb_pack_time(y, mo, d, h, mi, s);
}

std::array<uint8_t, 16> uuid_text(const char* text) {
    std::array<uint8_t, 16> uuid{};
    std::memcpy(uuid.data(), text, 16);
    return uuid;
}

kdb_group_spec group(uint32_t id, const char* name, uint16_t level, uint32_t image, const char* expires) {
    kdb_group_spec g;
    g.id = id;
    g.name = name;
    g.level = level;
    g.image_id = image;
    g.ctime = at("2011-02-03 04:05:06");
    g.mtime = at("2012-03-04 05:06:07");
    g.atime = at("2013-04-05 06:07:08");
    g.etime = at(expires);
    return g;
}

TEST(FileKeePass, EveryFieldAsTheScriptWroteIt) {
    std::ifstream in(KDBROWSE_SOURCE_DIR "/tests/data/file-keepass.kdb", std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(file.empty());
    test_db t;
    ASSERT_EQ(open_kdb(t, file, "correct horse"), kpass_success);
    EXPECT_EQ(t.db->rounds, 1500u);
    EXPECT_EQ(t.db->version, 0x00030002u);
    EXPECT_EQ(t.db->flags, kpass_flag_aes);  // File::KeePass leaves the SHA-2 bit out

    const char* never = "2999-12-28 23:59:59";
    std::vector<kdb_group_spec> groups = {
        group(1001, "Internet", 0, 1, never),
        group(1002, "E-Mail \xc3\xa0 la maison", 1, 19, "2030-01-31 12:00:00"),
        group(1003, "Deep", 2, 0, never),
        group(4000000000u, "Banking", 0, 37, never),
    };

    std::vector<kdb_entry_spec> entries(4);
    entries[0].uuid = uuid_text("ABCDEFGHIJKLMNOP");
    entries[0].group_id = 1001;
    entries[0].image_id = 1;
    entries[0].title = "Example site";
    entries[0].url = "https://www.example.com/login?next=%2Fhome&lang=en";
    entries[0].username = "alice@example.com";
    entries[0].password = "S3cr3t!\"#$%&'()";
    entries[0].notes = "First line\nSecond line \xe2\x80\x94 with a dash";
    entries[0].ctime = at("2014-05-06 07:08:09");
    entries[0].mtime = at("2015-06-07 08:09:10");
    entries[0].atime = at("2016-07-08 09:10:11");
    entries[0].etime = at(never);
    entries[0].description = "photo.bin";
    entries[0].binary = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18);

    entries[1].uuid = uuid_text("0123456789abcdef");
    entries[1].group_id = 1002;
    entries[1].image_id = 19;
    entries[1].title = "Courriel \xc3\xa9t\xc3\xa9";
    entries[1].url = "imap://mail.example.org";
    entries[1].username = "b\xc3\xb8" "b";
    entries[1].password = "p\xc3\xa4ss w\xc3\xb6rd \xe2\x82\xac";
    entries[1].ctime = at("2017-01-01 00:00:00");
    entries[1].mtime = at("2017-01-01 00:00:01");
    entries[1].atime = at("2017-01-01 00:00:02");
    entries[1].etime = at("2020-02-29 23:59:58");

    entries[2].uuid = uuid_text("deep-entry-uuid!");
    entries[2].group_id = 1003;
    entries[2].title = "A title that is well over twenty-four bytes long";
    entries[2].ctime = entries[2].mtime = entries[2].atime = at("2018-08-08 08:08:08");
    entries[2].etime = at(never);

    entries[3].uuid = uuid_text("bank-account-001");
    entries[3].group_id = 4000000000u;
    entries[3].image_id = 37;
    entries[3].title = "Bank";
    entries[3].url = "https://bank.example.net/";
    entries[3].username = "12345678";
    entries[3].password = "0000";
    entries[3].notes = "PIN for the card";
    entries[3].ctime = at("2019-09-09 09:09:09");
    entries[3].mtime = at("2019-10-10 10:10:10");
    entries[3].atime = at("2019-11-11 11:11:11");
    entries[3].etime = at("2025-12-31 00:00:00");

    expect_records(t.db, groups, entries);
}

TEST(FileKeePass, WrongPasswordIsNoMatch) {
    std::ifstream in(KDBROWSE_SOURCE_DIR "/tests/data/file-keepass.kdb", std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    test_db t;
    EXPECT_EQ(open_kdb(t, file, "correct horse "), kpass_wrong_key);
    EXPECT_EQ(t.unlock("correct horse"), kpass_success);
}

}  // namespace
