// Files written by other KeePass 1.x programs, read against the contents
// their README states. Skipped where the folder is absent.
#include "kpass_test_helpers.h"
#include "support/peer_files.h"

namespace {

#define OPEN_PEER(t, name, password)                                                             \
    std::vector<uint8_t> file = read_peer(name);                                                 \
    if (file.empty()) GTEST_SKIP() << "no " << peer_dir << "/" << name << ": cross-check skipped"; \
    ASSERT_EQ(open_kdb(t, file, password), kpass_success)

std::string hex(const uint8_t* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string time_text(const uint8_t packed[5]) {
    struct tm tm;
    kpass_unpack_time(packed, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

struct expected_group {
    const char* name;
    uint16_t level;
    uint32_t id;  // 0: not checked
};

// An entry's texts, and its group as an index into the group array.
struct expected_entry {
    size_t group;
    const char* title;
    const char* username;
    const char* password;
    const char* url;
};

void expect_groups(const kpass_db* db, const std::vector<expected_group>& want) {
    ASSERT_EQ(db->group_count, want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("group " + std::to_string(i));
        EXPECT_STREQ(db->groups[i]->name, want[i].name);
        EXPECT_EQ(db->groups[i]->level, want[i].level);
        if (want[i].id != 0) {
            EXPECT_EQ(db->groups[i]->id, want[i].id);
        }
    }
}

// The listed entries, all of them, in the order of the entry array.
void expect_entries(const kpass_db* db, const std::vector<expected_entry>& want) {
    ASSERT_EQ(db->entry_count, want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i + 1));
        const kpass_entry* entry = db->entries[i];
        ASSERT_LT(want[i].group, db->group_count);
        EXPECT_EQ(entry->group_id, db->groups[want[i].group]->id);
        EXPECT_STREQ(entry->title, want[i].title);
        EXPECT_STREQ(entry->username, want[i].username);
        EXPECT_STREQ(entry->password, want[i].password);
        EXPECT_STREQ(entry->url, want[i].url);
    }
    EXPECT_EQ(db->entries[want.size()], nullptr);
}

TEST(PeerFiles, KeepassxcBasic) {
    test_db t;
    OPEN_PEER(t, "keepassxc-basic.kdb", "masterpw");
    EXPECT_EQ(t.db->version, 0x00030002u);
    EXPECT_EQ(t.db->rounds, 713u);
    EXPECT_NE(t.db->flags & kpass_flag_aes, 0u);
    expect_groups(t.db, {{"Internet", 0, 1439014674},
                         {"Subgroup 1", 1, 1311758239},
                         {"Unexpanded", 2, 3883377427},
                         {"abc", 3, 724520938},
                         {"Subgroup 2", 1, 4037834716},
                         {"eMail", 0, 1225092133}});
    ASSERT_EQ(t.db->entry_count, 5u);
    kpass_entry* const* e = t.db->entries;
    // Entries 6 and 7 of the file (KPX_CUSTOM_ICONS_4, KPX_GROUP_TREE_STATE)
    // are meta-streams: the Internet group lists 2 entries, not 4.
    expect_entries(t.db, {{0, "Test entry", "I", "secretpassword", "http://example.com/"},
                          {5, "Custom Icon", "", "", ""},
                          {0, "", "", "", ""},
                          {1, "Auto-Type Test 1", e[3]->username, e[3]->password, e[3]->url},
                          {1, "Auto-Type Test 2", e[4]->username, e[4]->password, e[4]->url}});
    {
        SCOPED_TRACE("entry 1");
        EXPECT_EQ(hex(e[0]->uuid, 16), "d7f3a84f9e3714c3c4afe4840b392127");
        EXPECT_EQ(time_text(e[0]->etime), "2012-05-09 10:32:00");
        EXPECT_STREQ(e[0]->notes, "Lorem ipsum\ndolor sit amet");
        EXPECT_STREQ(e[0]->description, "attachment.txt");
        EXPECT_GT(e[0]->binary_size, 0u);
    }
    for (int i : {1, 2}) {
        SCOPED_TRACE("entry " + std::to_string(i + 1));
        EXPECT_STREQ(e[i]->notes, "");
        EXPECT_STREQ(e[i]->description, "");
    }
    EXPECT_EQ(hex(e[2]->uuid, 16), "cbcfaa4fdae86c4389bd6c1d8c1e1f2e");
    EXPECT_EQ(time_text(e[2]->etime), "2999-12-28 23:59:59");
}

TEST(PeerFiles, KeepassxcTwofish) {
    test_db t;
    OPEN_PEER(t, "keepassxc-twofish.kdb", "masterpw");
    EXPECT_EQ(t.db->flags, 0x9u);
    EXPECT_EQ(t.db->rounds, 10000u);
    expect_groups(t.db, {{"Twofish", 0, 0}});
    // Both of the file's entries are KeePassX's meta-streams.
    expect_entries(t.db, {});
}

TEST(PeerFiles, KeepassRsPassword) {
    test_db t;
    OPEN_PEER(t, "keepass-rs-password.kdb", "foobar");
    EXPECT_EQ(t.db->version, 0x00030002u);
    EXPECT_EQ(t.db->rounds, 6000u);
    expect_groups(t.db, {{"General", 0, 0},
                         {"Windows", 1, 0},
                         {"Network", 1, 0},
                         {"Internet", 1, 0},
                         {"eMail", 1, 0},
                         {"Homebanking", 1, 0},
                         {"Backup", 0, 0},
                         {"depth0", 0, 0},
                         {"depth1.1", 1, 0},
                         {"depth2", 2, 0},
                         {"depth1.2", 1, 0}});
    // General's two meta-streams are left out.
    expect_entries(t.db, {{0, "foo", "bar", "zEZ9endy9zHu0jZMNNvl", ""},
                          {6, "foo", "", "zEZ9endy9zHu0jZMNNvl", ""},
                          {9, "title", "user", "password", "url"}});
}

TEST(PeerFiles, KeePass1Native) {
    test_db t;
    OPEN_PEER(t, "kp1-1.24-native.kdb", "test");
    EXPECT_EQ(t.db->version, 0x00030004u);
    EXPECT_EQ(t.db->rounds, 6000u);
    EXPECT_NE(t.db->flags & kpass_flag_aes, 0u);
    expect_groups(t.db, {{"General DatabaseColorLightGreen", 0, 0},
                         {"Windows", 1, 0},
                         {"Network", 1, 0},
                         {"Internet", 1, 0},
                         {"eMail", 1, 0},
                         {"Homebanking", 1, 0},
                         {"Another Group", 0, 0},
                         {"Backup", 0, 0}});
    // 10 entries in the file; the other 8 are meta-streams.
    expect_entries(t.db, {{0, "test", "", "eUHbLP2PWQ9AvKhOKko7", ""}, {7, "test", "", "eUHbLP2PWQ9AvKhOKko7", ""}});
}

TEST(PeerFiles, KeePass1AccentsAndNonLatinTexts) {
    test_db t;
    OPEN_PEER(t, "kp1-accents-nonlatin.kdb", "123");
    EXPECT_EQ(t.db->rounds, 6000u);
    expect_groups(t.db, {{"entries containing \"test\"", 0, 0}, {"passwords", 0, 0}});
    // 13 entries in the file, 3 of them meta-streams.
    const char* accents = "password with accents \xc3\xa0\xc3\xa9\xc3\xa7";
    expect_entries(t.db, {{0, "hello world", "user", "pass", "http://google.com"},
                          {0, "this is a test", "abc", "123", "http://google.com"},
                          {0, "username hs required word", "test@example.com", "123", "http://hello.world"},
                          {0, "notes contains required", "something", "123", "http://example.com"},
                          {0, "url has required word", "jjj", "123", "http://something.com/test"},
                          {0, "p'word has the required word", "something", "test", "http://dont.look.here/"},
                          {1, "password1", "", "password1", ""},
                          {1, "password with spaces", "", "password with spaces", ""},
                          {1, accents, "", accents, ""},
                          {1, "password non-Latin ??????", "", "password non-Latin ??????", ""}});
}

TEST(PeerFiles, KeePassXLatin1Password) {
    test_db t;
    std::vector<uint8_t> file = read_peer("kpx-latin1-password.kdb");
    if (file.empty()) GTEST_SKIP() << "no " << peer_dir << "/kpx-latin1-password.kdb: cross-check skipped";
    ASSERT_EQ(t.init(file), kpass_success);
    // "öäüß": its UTF-8 bytes do not unlock the file, its Latin-1 bytes do.
    EXPECT_EQ(t.unlock("\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f"), kpass_wrong_key);
    ASSERT_EQ(t.unlock("\xf6\xe4\xfc\xdf"), kpass_success);
    EXPECT_EQ(t.db->version, 0x00030002u);
    EXPECT_EQ(t.db->rounds, 50000u);
    expect_groups(t.db, {{"Internet", 0, 0}, {"eMail", 0, 0}});
    // The two meta-streams (KPX_CUSTOM_ICONS_4, KPX_GROUP_TREE_STATE) are left out.
    expect_entries(t.db, {{0, "mytitle", "myusername", "mypassword", "myurl"}});
}

// KeePassX's files locked by a key file, alone or with a password; each
// holds one group.
TEST(PeerFiles, KeePassXKeyFiles) {
    const struct { const char *file, *key_file, *password, *group; } cases[] = {
        {"kpx-filekey-binary.kdb", "kpx-filekey-binary.key", "", "FileKeyBinary"},
        {"kpx-filekey-hex.kdb", "kpx-filekey-hex.key", "", "FileKeyHex"},
        {"kpx-filekey-hashed.kdb", "kpx-filekey-hashed.key", "", "FileKeyHashed"},
        {"kpx-composite-key.kdb", "kpx-filekey-hex.key", "mypassword", "CompositeKey"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<uint8_t> file = read_peer(c.file), key_file = read_peer(c.key_file);
        if (file.empty()) GTEST_SKIP() << "no " << peer_dir << "/" << c.file << ": cross-check skipped";
        test_db t;
        ASSERT_EQ(t.init(file), kpass_success);
        ASSERT_EQ(t.unlock(c.password, file_key_of({reinterpret_cast<char*>(key_file.data()), key_file.size()})), 0);
        expect_groups(t.db, {{c.group, 0, 0}});
    }
}

}  // namespace
