// Helpers for the kpass tests: records that release themselves, a sample
// database with every kind of field, and field-by-field comparisons.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"

// A kpass_db in malloc'd storage filled with junk, as the program hands it
// over; kpass_free_db runs on destruction when the last init succeeded.
struct test_db {
    kpass_db* db;
    bool initialised = false;

    test_db() : db(static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)))) { std::memset(db, 0xA5, sizeof *db); }
    ~test_db() {
        if (initialised) kpass_free_db(db);
        std::free(db);
    }
    test_db(const test_db&) = delete;
    test_db& operator=(const test_db&) = delete;

    int init(const std::vector<uint8_t>& file) {
        int result = kpass_init_db(db, file.data(), static_cast<int>(file.size()));
        initialised = result == 0;
        return result;
    }
    int unlock(const std::string& password) {
        uint8_t key[kpass_key_size];
        kpass_hash_pw(password.c_str(), key);
        return kpass_decrypt_db(db, key);
    }
    // With a key file's key (file_key_of).
    int unlock(const std::string& password, const std::string& file_key) {
        uint8_t key[kpass_key_size];
        kpass_hash_key(password.c_str(), reinterpret_cast<const uint8_t*>(file_key.data()), key);
        return kpass_decrypt_db(db, key);
    }
    void release() {
        kpass_free_db(db);
        initialised = false;
    }
};

// The key of a key file that holds bytes, handed to the library 7 bytes at
// a time (key_file_test.cpp).
std::string file_key_of(std::string_view bytes);

// init + unlock: the first nonzero result, or 0.
inline int open_kdb(test_db& t, const std::vector<uint8_t>& file, const std::string& password) {
    int result = t.init(file);
    return result != 0 ? result : t.unlock(password);
}

inline std::array<uint8_t, 16> uuid_of(int n) {
    std::array<uint8_t, 16> uuid{};
    for (int i = 0; i < 16; ++i) uuid[i] = static_cast<uint8_t>(n * 17 + i);
    return uuid;
}

// Three groups (one nested two levels) and four entries, interleaved across
// groups, with unicode, empty texts, an attachment holding NUL bytes and a
// "never" expiry.
inline std::vector<kdb_group_spec> sample_groups() {
    std::vector<kdb_group_spec> groups(3);
    groups[0] = {101, "Internet", 0, 1, 0, kdb_pack_time(2020, 1, 2, 3, 4, 5), kdb_pack_time(2021, 2, 3, 4, 5, 6),
                 kdb_pack_time(2022, 3, 4, 5, 6, 7), kdb_pack_time(2999, 12, 28, 23, 59, 59)};
    groups[1] = {0xFFFFFFFE, "Sub \xc3\xa9t\xc3\xa9", 1, 48, 0x80000001, kdb_pack_time(2001, 12, 31, 23, 59, 58),
                 kdb_pack_time(2002, 1, 1, 0, 0, 0), kdb_pack_time(2003, 6, 15, 12, 30, 30),
                 kdb_pack_time(2030, 7, 8, 9, 10, 11)};
    groups[2] = {7, "", 2, 0, 2, {}, {}, {}, {}};
    return groups;
}

inline std::vector<kdb_entry_spec> sample_entries() {
    std::vector<kdb_entry_spec> entries(4);
    entries[0].uuid = uuid_of(1);
    entries[0].group_id = 101;
    entries[0].image_id = 5;
    entries[0].title = "Mail";
    entries[0].url = "https://mail.example.com/login?user=alice&next=%2Finbox";
    entries[0].username = "alice";
    entries[0].password = "p@ss w\xc3\xb6rd";
    entries[0].notes = "line one\nline two\n";
    entries[0].description = "key.bin";
    entries[0].binary = std::string("\0\1\2\xff\0tail", 9);
    entries[0].ctime = kdb_pack_time(2019, 5, 6, 7, 8, 9);
    entries[0].mtime = kdb_pack_time(2019, 5, 6, 7, 8, 10);
    entries[0].atime = kdb_pack_time(2024, 1, 1, 1, 1, 1);
    entries[0].etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    entries[1].uuid = uuid_of(2);
    entries[1].group_id = 0xFFFFFFFE;
    entries[1].image_id = -1;
    entries[1].title = "Bank \xe2\x82\xac";
    entries[1].password = "1234";
    entries[1].etime = kdb_pack_time(2025, 2, 28, 0, 0, 0);
    entries[2].uuid = uuid_of(3);
    entries[2].group_id = 101;
    entries[2].title = "A title that is longer than twenty-four bytes";
    entries[2].username = "bob";
    entries[3].uuid = uuid_of(4);
    entries[3].group_id = 7;
    return entries;
}

inline std::string text_of(const uint8_t (&bytes)[5]) { return std::string(bytes, bytes + 5); }
inline std::string text_of(const std::array<uint8_t, 5>& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline void expect_group(const kpass_group* got, const kdb_group_spec& want) {
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->id, want.id);
    ASSERT_NE(got->name, nullptr);
    EXPECT_STREQ(got->name, want.name.c_str());
    EXPECT_EQ(got->level, want.level);
    EXPECT_EQ(got->image_id, want.image_id);
    EXPECT_EQ(got->flags, want.flags);
    EXPECT_EQ(text_of(got->ctime), text_of(want.ctime));
    EXPECT_EQ(text_of(got->mtime), text_of(want.mtime));
    EXPECT_EQ(text_of(got->atime), text_of(want.atime));
    EXPECT_EQ(text_of(got->etime), text_of(want.etime));
}

inline void expect_text(const char* got, const std::string& want) {
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(std::string(got), want);
}

inline void expect_entry(const kpass_entry* got, const kdb_entry_spec& want) {
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(std::string(got->uuid, got->uuid + 16), std::string(want.uuid.begin(), want.uuid.end()));
    EXPECT_EQ(got->group_id, want.group_id);
    EXPECT_EQ(got->image_id, want.image_id);
    expect_text(got->title, want.title);
    expect_text(got->url, want.url);
    expect_text(got->username, want.username);
    expect_text(got->password, want.password);
    expect_text(got->notes, want.notes);
    expect_text(got->description, want.description);
    ASSERT_EQ(got->binary_size, want.binary.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(got->binary), got->binary_size), want.binary);
    EXPECT_EQ(text_of(got->ctime), text_of(want.ctime));
    EXPECT_EQ(text_of(got->mtime), text_of(want.mtime));
    EXPECT_EQ(text_of(got->atime), text_of(want.atime));
    EXPECT_EQ(text_of(got->etime), text_of(want.etime));
}

inline void expect_records(const kpass_db* db, const std::vector<kdb_group_spec>& groups,
                           const std::vector<kdb_entry_spec>& entries) {
    ASSERT_EQ(db->group_count, groups.size());
    ASSERT_EQ(db->entry_count, entries.size());
    ASSERT_NE(db->groups, nullptr);
    ASSERT_NE(db->entries, nullptr);
    for (size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE("group " + std::to_string(i));
        expect_group(db->groups[i], groups[i]);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        expect_entry(db->entries[i], entries[i]);
    }
}

// A group record with only an id and a name, for contents built by hand.
inline std::vector<uint8_t> small_group(uint32_t id, const std::string& name) {
    std::vector<uint8_t> out;
    kdb_add_u32(out, kdb_group_id, id);
    kdb_add_text(out, kdb_group_name, name);
    kdb_end_record(out);
    return out;
}

inline void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// Contents sealed into a valid file (password "pw", few rounds).
inline std::vector<uint8_t> sealed(uint32_t groups, uint32_t entries, const std::vector<uint8_t>& contents,
                                   const kdb_seal_options& seal = {}) {
    kdb_write_options options;
    options.rounds = 3;
    return kdb_seal(options, groups, entries, contents, "pw", seal);
}

inline kdb_group_spec small_group_spec() {
    kdb_group_spec group;
    group.id = 42;
    group.name = "Only";
    return group;
}
