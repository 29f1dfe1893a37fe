// The decrypted contents, reached for real: bytes sealed into files with a
// valid header, padding and hash, so that only the record parser decides.
#include <algorithm>

#include "kpass/secure_memory.h"
#include "kpass_test_helpers.h"

namespace {

// Opens sealed contents; returns the unlock result.
int open_contents(test_db& t, uint32_t groups, uint32_t entries, const std::vector<uint8_t>& contents) {
    return open_kdb(t, sealed(groups, entries, contents), "pw");
}

// The contents are refused as damaged, and the refusal leaves the record
// locked with nothing beyond what init allocated.
void expect_bad_contents(uint32_t groups, uint32_t entries, const std::vector<uint8_t>& contents) {
    test_db t;
    ASSERT_EQ(t.init(sealed(groups, entries, contents)), kpass_success);
    size_t blocks = kpass_secure_blocks_in_use();
    EXPECT_EQ(t.unlock("pw"), kpass_bad_contents);
    EXPECT_EQ(t.db->groups, nullptr);
    EXPECT_EQ(t.db->entries, nullptr);
    EXPECT_EQ(t.db->group_count, groups);
    EXPECT_EQ(t.db->entry_count, entries);
    EXPECT_EQ(kpass_secure_blocks_in_use(), blocks);
}

std::vector<uint8_t> one_group() { return small_group(1, "G"); }

std::vector<uint8_t> entry_with(uint16_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    kdb_add_u32(out, kdb_entry_group_id, 1);
    kdb_add_field(out, type, data);
    kdb_end_record(out);
    return out;
}

std::vector<uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

TEST(ContentsRefusal, FieldsRunningPastTheEnd) {
    std::vector<uint8_t> whole = one_group();
    append(whole, entry_with(kdb_entry_title, bytes_of("Title")));
    // Cut inside a field header, inside field data, and just before the end field.
    for (size_t cut : {size_t{3}, size_t{8}, whole.size() - 8, whole.size() - 6, whole.size() - 1}) {
        SCOPED_TRACE(cut);
        expect_bad_contents(1, 1, std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
    }

    for (uint32_t declared : {6u, 100u, 0x7FFFFFFFu, 0xFFFFFFF9u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(declared);
        std::vector<uint8_t> contents = one_group();
        kdb_add_field_sized(contents, kdb_entry_notes, declared, bytes_of("abc"));
        kdb_end_record(contents);
        expect_bad_contents(1, 1, contents);
    }
}

TEST(ContentsRefusal, FixedSizeFieldsOfTheWrongSize) {
    struct bad_field {
        bool in_group;
        uint16_t type;
        size_t size;
    };
    for (bad_field bad : {bad_field{true, kdb_group_id, 3}, bad_field{true, kdb_group_id, 8},
                          bad_field{true, kdb_group_ctime, 4}, bad_field{true, kdb_group_etime, 6},
                          bad_field{true, kdb_group_image, 0}, bad_field{true, kdb_group_level, 4},
                          bad_field{true, kdb_group_flags, 2}, bad_field{false, kdb_entry_uuid, 15},
                          bad_field{false, kdb_entry_uuid, 17}, bad_field{false, kdb_entry_group_id, 8},
                          bad_field{false, kdb_entry_image, 2}, bad_field{false, kdb_entry_atime, 0},
                          bad_field{false, kdb_entry_etime, 10}}) {
        SCOPED_TRACE((bad.in_group ? "group field " : "entry field ") + std::to_string(bad.type) + " of " +
                     std::to_string(bad.size));
        std::vector<uint8_t> data(bad.size, 0x11);
        std::vector<uint8_t> contents;
        if (bad.in_group) {
            kdb_add_field(contents, bad.type, data);
            kdb_end_record(contents);
            append(contents, entry_with(kdb_entry_title, bytes_of("T")));
        } else {
            append(contents, one_group());
            append(contents, entry_with(bad.type, data));
        }
        expect_bad_contents(1, 1, contents);
    }
}

TEST(ContentsRefusal, FewerRecordsThanCounted) {
    std::vector<uint8_t> contents = one_group();
    append(contents, small_group(2, "H"));
    append(contents, entry_with(kdb_entry_title, bytes_of("T")));
    expect_bad_contents(2, 2, contents);
    expect_bad_contents(4, 0, contents);
    expect_bad_contents(0, 4, contents);
    std::vector<uint8_t> no_end = one_group();
    kdb_add_u32(no_end, kdb_entry_group_id, 1);  // an entry without its end field
    expect_bad_contents(1, 1, no_end);
}

// Counts near 2^32 with a file of a few hundred bytes: refused, and no block
// larger than the file is ever allocated from them.
size_t largest_released = 0;
void note_size(const void*, size_t size) { largest_released = std::max(largest_released, size); }

TEST(ContentsRefusal, HugeCountsAllocateNothingFromTheHeader) {
    std::vector<uint8_t> contents = one_group();
    append(contents, entry_with(kdb_entry_title, bytes_of("T")));
    kpass_release_hook = note_size;
    largest_released = 0;
    expect_bad_contents(0xFFFFFFFF, 1, contents);
    expect_bad_contents(1, 0xFFFFFFFF, contents);
    expect_bad_contents(0xFFFFFFFF, 0xFFFFFFFF, contents);
    expect_bad_contents(0x80000000, 0x80000000, contents);
    kpass_release_hook = nullptr;
    EXPECT_LE(largest_released, 4096u);
}

TEST(ContentsTolerance, UnknownFieldTypesAreSkipped) {
    std::vector<uint8_t> contents;
    kdb_add_field(contents, 0x0042, bytes_of("whatever group data"));
    kdb_add_u32(contents, kdb_group_id, 9);
    kdb_add_field(contents, kdb_group_ignored, std::vector<uint8_t>(40, 0xEE));  // 1.24's header hash and noise
    kdb_add_text(contents, kdb_group_name, "Known");
    kdb_add_field(contents, 0x7FFF, {});
    kdb_end_record(contents);
    kdb_add_field(contents, 0x000F, std::vector<uint8_t>(300, 0x01));
    kdb_add_u32(contents, kdb_entry_group_id, 9);
    kdb_add_field(contents, kdb_entry_ignored, bytes_of("x"));
    kdb_add_text(contents, kdb_entry_title, "Entry");
    kdb_add_field(contents, 0xFFFE, bytes_of("\x01\x02"));
    kdb_end_record(contents);
    test_db t;
    ASSERT_EQ(open_contents(t, 1, 1, contents), kpass_success);
    EXPECT_EQ(t.db->groups[0]->id, 9u);
    EXPECT_STREQ(t.db->groups[0]->name, "Known");
    EXPECT_EQ(t.db->entries[0]->group_id, 9u);
    EXPECT_STREQ(t.db->entries[0]->title, "Entry");
    EXPECT_EQ(t.db->entries[0]->binary_size, 0u);
}

TEST(ContentsTolerance, FieldsInAnyOrder) {
    std::vector<kdb_group_spec> groups = sample_groups();
    std::vector<kdb_entry_spec> entries = sample_entries();
    // Each record's fields reversed (the end field stays last).
    auto reversed = [](std::vector<uint8_t> record) {
        std::vector<std::vector<uint8_t>> fields;
        size_t at = 0;
        while (at + 6 < record.size()) {
            size_t size = record[at + 2] | record[at + 3] << 8 | record[at + 4] << 16 | record[at + 5] << 24;
            fields.emplace_back(record.begin() + at, record.begin() + at + 6 + size);
            at += 6 + size;
        }
        std::vector<uint8_t> out;
        for (auto field = fields.rbegin(); field != fields.rend(); ++field) append(out, *field);
        kdb_end_record(out);
        return out;
    };
    std::vector<uint8_t> contents;
    for (const kdb_group_spec& group : groups) append(contents, reversed(kdb_group_record(group)));
    for (const kdb_entry_spec& entry : entries) append(contents, reversed(kdb_entry_record(entry)));
    test_db t;
    ASSERT_EQ(open_contents(t, 3, 4, contents), kpass_success);
    expect_records(t.db, groups, entries);
}

TEST(ContentsTolerance, MissingFieldsGiveEmptyTextsAndZeros) {
    std::vector<uint8_t> contents;
    kdb_end_record(contents);  // a group with no field at all
    kdb_end_record(contents);  // and an entry
    test_db t;
    ASSERT_EQ(open_contents(t, 1, 1, contents), kpass_success);
    kdb_group_spec empty_group;
    kdb_entry_spec empty_entry;
    expect_records(t.db, {empty_group}, {empty_entry});
}

TEST(ContentsTolerance, TextsWithoutNulOrWithEmbeddedNul) {
    std::vector<uint8_t> contents;
    kdb_add_field(contents, kdb_group_name, bytes_of("No NUL"));
    kdb_end_record(contents);
    kdb_add_field(contents, kdb_entry_title, bytes_of(std::string("Cut\0hidden", 10)));
    kdb_add_field(contents, kdb_entry_username, {});  // size 0: empty
    kdb_add_field(contents, kdb_entry_password, bytes_of(std::string("\0\0", 2)));
    kdb_add_field(contents, kdb_entry_notes, bytes_of("notes without end"));
    kdb_end_record(contents);
    // The last text of the contents, without NUL, right before the end field.
    kdb_add_field(contents, kdb_entry_url, bytes_of("http://x"));
    kdb_end_record(contents);
    test_db t;
    ASSERT_EQ(open_contents(t, 1, 2, contents), kpass_success);
    EXPECT_STREQ(t.db->groups[0]->name, "No NUL");
    EXPECT_STREQ(t.db->entries[0]->title, "Cut");
    EXPECT_STREQ(t.db->entries[0]->username, "");
    EXPECT_STREQ(t.db->entries[0]->password, "");
    EXPECT_STREQ(t.db->entries[0]->notes, "notes without end");
    EXPECT_STREQ(t.db->entries[1]->url, "http://x");
    EXPECT_STREQ(t.db->entries[1]->title, "");
}

TEST(ContentsTolerance, LaterFieldWinsAndTrailingBytesAreIgnored) {
    std::vector<uint8_t> contents;
    kdb_add_text(contents, kdb_group_name, "first");
    kdb_add_text(contents, kdb_group_name, "second");
    kdb_add_u16(contents, kdb_group_level, 5);  // a level that jumps is kept as it is
    kdb_end_record(contents);
    append(contents, std::vector<uint8_t>(11, 0xAB));
    test_db t;
    ASSERT_EQ(open_contents(t, 1, 0, contents), kpass_success);
    EXPECT_STREQ(t.db->groups[0]->name, "second");
    EXPECT_EQ(t.db->groups[0]->level, 5);
}

TEST(ContentsTolerance, EntriesOfAGroupInterleavedWithOthersKeepFileOrder) {
    std::vector<kdb_group_spec> groups = sample_groups();
    std::vector<kdb_entry_spec> entries;
    for (int i = 0; i < 9; ++i) {
        kdb_entry_spec entry;
        entry.uuid = uuid_of(i);
        entry.group_id = groups[i % 3].id;
        entry.title = "entry " + std::to_string(i);
        entries.push_back(entry);
    }
    test_db t;
    ASSERT_EQ(open_kdb(t, kdb_write({}, groups, entries, "pw"), "pw"), kpass_success);
    expect_records(t.db, groups, entries);
}

TEST(ContentsTolerance, LargeAttachmentAndManyRecords) {
    std::vector<kdb_group_spec> groups(200);
    std::vector<kdb_entry_spec> entries(1000);
    for (size_t i = 0; i < groups.size(); ++i) {
        groups[i].id = static_cast<uint32_t>(i + 1);
        groups[i].name = "group " + std::to_string(i);
        groups[i].level = static_cast<uint16_t>(i % 4);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].group_id = static_cast<uint32_t>(i % 200 + 1);
        entries[i].title = std::string(i % 50, 't');
        entries[i].notes = "n" + std::to_string(i);
    }
    entries[500].binary = std::string(100000, '\0') + "end";
    test_db t;
    ASSERT_EQ(open_kdb(t, kdb_write({}, groups, entries, "pw"), "pw"), kpass_success);
    expect_records(t.db, groups, entries);
}

}  // namespace
