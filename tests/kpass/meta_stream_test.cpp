// Meta-stream entries: left out of the entry array and its count only when
// all seven conditions hold; an entry that misses any one of them is the
// user's and stays, in file order.
#include "kpass_test_helpers.h"

namespace {

kdb_entry_spec meta_stream(size_t n) {
    kdb_entry_spec entry;
    entry.uuid = uuid_of(static_cast<int>(n));
    entry.group_id = small_group_spec().id;
    entry.title = "Meta-Info";
    entry.username = "SYSTEM";
    entry.url = "$";
    entry.notes = "Simple UI State";
    entry.description = "bin-stream";
    entry.binary = std::string("\0\1", 2);
    return entry;
}

struct near_miss {
    const char* fails;
    void (*change)(kdb_entry_spec&);
};

const near_miss near_misses[] = {
    {"no attachment data", [](kdb_entry_spec& e) { e.binary.clear(); }},
    {"empty notes", [](kdb_entry_spec& e) { e.notes.clear(); }},
    {"another description", [](kdb_entry_spec& e) { e.description = "bin-stream.txt"; }},
    {"another title", [](kdb_entry_spec& e) { e.title = "Meta-info"; }},
    {"another user name", [](kdb_entry_spec& e) { e.username = "SYSTEM "; }},
    {"another URL", [](kdb_entry_spec& e) { e.url = "$$"; }},
    {"an image id", [](kdb_entry_spec& e) { e.image_id = 1; }},
};

std::vector<uint8_t> file_of(const std::vector<kdb_entry_spec>& entries) {
    kdb_write_options options;
    options.rounds = 3;
    return kdb_write(options, {small_group_spec()}, entries, "pw");
}

TEST(MetaStreams, OnlyAnEntryMeetingAllSevenConditionsIsLeftOut) {
    // A meta-stream first, last and between any two near misses.
    std::vector<kdb_entry_spec> written{meta_stream(0)}, kept;
    for (const near_miss& miss : near_misses) {
        kdb_entry_spec entry = meta_stream(written.size());
        miss.change(entry);
        written.push_back(entry);
        kept.push_back(entry);
        written.push_back(meta_stream(written.size()));
    }
    test_db t;
    ASSERT_EQ(open_kdb(t, file_of(written), "pw"), kpass_success);
    ASSERT_EQ(t.db->entry_count, kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        SCOPED_TRACE(near_misses[i].fails);
        expect_entry(t.db->entries[i], kept[i]);
    }
    EXPECT_EQ(t.db->entries[kept.size()], nullptr);

    // Locked by a wrong key, the record has the header's count again; a
    // second unlock lists the same entries.
    EXPECT_EQ(t.unlock("wrong"), kpass_wrong_key);
    EXPECT_EQ(t.db->entry_count, written.size());
    ASSERT_EQ(t.unlock("pw"), kpass_success);
    EXPECT_EQ(t.db->entry_count, kept.size());
}

TEST(MetaStreams, ADatabaseOfMetaStreamsOnlyListsNoEntry) {
    test_db t;
    ASSERT_EQ(open_kdb(t, file_of({meta_stream(1), meta_stream(2)}), "pw"), kpass_success);
    EXPECT_EQ(t.db->entry_count, 0u);
    ASSERT_NE(t.db->entries, nullptr);
    EXPECT_EQ(t.db->entries[0], nullptr);
}

}  // namespace
