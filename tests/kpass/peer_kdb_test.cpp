// Files written by other KeePass 1.x programs, read against the contents
// their README states. Skipped where the folder is absent.
#include <fstream>
#include <iterator>

#include "kpass_test_helpers.h"

namespace {

const std::string peer_dir = KDBROWSE_SOURCE_DIR "/../shared/peer-kdb";

std::vector<uint8_t> read_peer(const std::string& name) {
    std::ifstream in(peer_dir + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
    uint32_t id;
};

struct expected_entry {
    uint32_t group_id;
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

void expect_entry_texts(const kpass_entry* entry, const expected_entry& want) {
    EXPECT_EQ(entry->group_id, want.group_id);
    EXPECT_STREQ(entry->title, want.title);
    EXPECT_STREQ(entry->username, want.username);
    EXPECT_STREQ(entry->password, want.password);
    EXPECT_STREQ(entry->url, want.url);
}

void expect_entry_texts_of(const expected_entry& got, const expected_entry& want) {
    EXPECT_EQ(got.group_id, want.group_id);
    EXPECT_STREQ(got.title, want.title);
    EXPECT_STREQ(got.username, want.username);
    EXPECT_STREQ(got.password, want.password);
    EXPECT_STREQ(got.url, want.url);
}

TEST(PeerFiles, KeepassxcBasic) {
    test_db t;
    OPEN_PEER(t, "keepassxc-basic.kdb", "masterpw");
    EXPECT_EQ(t.db->version, 0x00030002u);
    EXPECT_EQ(t.db->rounds, 713u);
    EXPECT_NE(t.db->flags & kpass_flag_aes, 0u);
    const uint32_t internet = 1439014674, subgroup_1 = 1311758239, email = 1225092133;
    expect_groups(t.db, {{"Internet", 0, internet},
                         {"Subgroup 1", 1, subgroup_1},
                         {"Unexpanded", 2, 3883377427},
                         {"abc", 3, 724520938},
                         {"Subgroup 2", 1, 4037834716},
                         {"eMail", 0, email}});
    ASSERT_EQ(t.db->entry_count, 7u);
    kpass_entry* const* e = t.db->entries;
    {
        SCOPED_TRACE("entry 1");
        expect_entry_texts(e[0], {internet, "Test entry", "I", "secretpassword", "http://example.com/"});
        EXPECT_EQ(hex(e[0]->uuid, 16), "d7f3a84f9e3714c3c4afe4840b392127");
        EXPECT_EQ(time_text(e[0]->etime), "2012-05-09 10:32:00");
        EXPECT_STREQ(e[0]->notes, "Lorem ipsum\ndolor sit amet");
        EXPECT_STREQ(e[0]->description, "attachment.txt");
        EXPECT_GT(e[0]->binary_size, 0u);
    }
    {
        SCOPED_TRACE("entry 2");
        expect_entry_texts(e[1], {email, "Custom Icon", "", "", ""});
        EXPECT_STREQ(e[1]->notes, "");
        EXPECT_STREQ(e[1]->description, "");
    }
    {
        SCOPED_TRACE("entry 3");
        expect_entry_texts(e[2], {internet, "", "", "", ""});
        EXPECT_STREQ(e[2]->notes, "");
        EXPECT_STREQ(e[2]->description, "");
        EXPECT_EQ(hex(e[2]->uuid, 16), "cbcfaa4fdae86c4389bd6c1d8c1e1f2e");
        EXPECT_EQ(time_text(e[2]->etime), "2999-12-28 23:59:59");
    }
    {
        SCOPED_TRACE("entries 4 and 5");
        expect_entry_texts(e[3], {subgroup_1, "Auto-Type Test 1", e[3]->username, e[3]->password, e[3]->url});
        expect_entry_texts(e[4], {subgroup_1, "Auto-Type Test 2", e[4]->username, e[4]->password, e[4]->url});
    }
    const char* streams[] = {"KPX_CUSTOM_ICONS_4", "KPX_GROUP_TREE_STATE"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("meta-stream entry " + std::to_string(6 + i));
        expect_entry_texts(e[5 + i], {internet, "Meta-Info", "SYSTEM", "", "$"});
        EXPECT_STREQ(e[5 + i]->notes, streams[i]);
        EXPECT_STREQ(e[5 + i]->description, "bin-stream");
    }
}

TEST(PeerFiles, KeepassxcTwofish) {
    test_db t;
    OPEN_PEER(t, "keepassxc-twofish.kdb", "masterpw");
    EXPECT_EQ(t.db->flags, 0x9u);
    EXPECT_EQ(t.db->rounds, 10000u);
    ASSERT_EQ(t.db->group_count, 1u);
    EXPECT_STREQ(t.db->groups[0]->name, "Twofish");
    EXPECT_EQ(t.db->groups[0]->level, 0);
    ASSERT_EQ(t.db->entry_count, 2u);
    for (uint32_t i = 0; i < 2; ++i) EXPECT_EQ(t.db->entries[i]->group_id, t.db->groups[0]->id);
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
    ASSERT_EQ(t.db->entry_count, 5u);
    const uint32_t general = t.db->groups[0]->id, backup = t.db->groups[6]->id, depth2 = t.db->groups[9]->id;
    // Entries per group, in the order of the entry array.
    std::vector<expected_entry> general_entries, backup_entries, depth2_entries;
    for (uint32_t i = 0; i < 5; ++i) {
        const kpass_entry* e = t.db->entries[i];
        expected_entry got{e->group_id, e->title, e->username, e->password, e->url};
        if (e->group_id == general) general_entries.push_back(got);
        else if (e->group_id == backup) backup_entries.push_back(got);
        else if (e->group_id == depth2) depth2_entries.push_back(got);
        else ADD_FAILURE() << "entry " << i << " in an unexpected group";
    }
    ASSERT_EQ(general_entries.size(), 3u);
    int meta = 0;
    for (const expected_entry& e : general_entries) {
        if (std::string(e.title) == "foo") {
            expect_entry_texts_of(e, {general, "foo", "bar", "zEZ9endy9zHu0jZMNNvl", ""});
        } else {
            expect_entry_texts_of(e, {general, "Meta-Info", "SYSTEM", "", "$"});
            ++meta;
        }
    }
    EXPECT_EQ(meta, 2);
    ASSERT_EQ(backup_entries.size(), 1u);
    expect_entry_texts_of(backup_entries[0], {backup, "foo", "", "zEZ9endy9zHu0jZMNNvl", ""});
    ASSERT_EQ(depth2_entries.size(), 1u);
    expect_entry_texts_of(depth2_entries[0], {depth2, "title", "user", "password", "url"});
}

}  // namespace
