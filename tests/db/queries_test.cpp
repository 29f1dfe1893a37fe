#include <gtest/gtest.h>

#include "db/queries.h"
#include "support/memory_db.h"

namespace {

TEST(Queries, EntriesOfAGroupFollowTheArrayOrderAcrossOtherGroups) {
    memory_db m;
    m.add_group(10, "a");
    m.add_group(20, "b");
    kpass_entry* a0 = m.add_entry(10, "a0");
    m.add_entry(20, "b0");
    kpass_entry* a1 = m.add_entry(10, "a1");
    m.add_entry(20, "b1");
    m.add_entry(20, "b2");
    kpass_entry* a2 = m.add_entry(10, "a2");
    kpass_db* db = m.db();

    EXPECT_EQ(count_group_entries(db, 0), 3u);
    EXPECT_EQ(count_group_entries(db, 1), 3u);
    EXPECT_EQ(group_entry_at(db, 0, 0), a0);
    EXPECT_EQ(group_entry_at(db, 0, 1), a1);
    EXPECT_EQ(group_entry_at(db, 0, 2), a2);
    EXPECT_STREQ(group_entry_at(db, 1, 2)->title, "b2");
    EXPECT_EQ(group_entry_at(db, 0, 3), nullptr);
    EXPECT_EQ(group_entry_at(db, 0, -1), nullptr);
}

TEST(Queries, TwoGroupsWithOneIdShareEntriesAndTheFirstIsFound) {
    memory_db m;
    m.add_group(7, "first");
    m.add_group(8, "other");
    m.add_group(7, "second");
    kpass_entry* e = m.add_entry(7, "e");
    kpass_db* db = m.db();

    EXPECT_EQ(count_group_entries(db, 0), 1u);
    EXPECT_EQ(count_group_entries(db, 2), 1u);
    EXPECT_EQ(group_entry_at(db, 2, 0), e);
    EXPECT_EQ(find_group_by_id(db, 7), 0);
    EXPECT_EQ(find_group_by_id(db, 8), 1);
}

TEST(Queries, AnOrphanedEntryBelongsToNoGroup) {
    memory_db m;
    m.add_group(1, "g");
    m.add_entry(99, "orphan");
    kpass_db* db = m.db();

    EXPECT_EQ(count_group_entries(db, 0), 0u);
    EXPECT_EQ(group_entry_at(db, 0, 0), nullptr);
    EXPECT_EQ(find_group_by_id(db, 99), 1);  // the group count
}

TEST(Queries, NoEntriesAndNoGroupsReadNothing) {
    memory_db m;
    kpass_db* empty = m.db();
    EXPECT_EQ(count_group_entries(empty, 0), 0u);
    EXPECT_EQ(group_entry_at(empty, 0, 0), nullptr);
    EXPECT_EQ(find_group_by_id(empty, 0), 0);

    // Entries but no groups: the group index names nothing and is not read.
    memory_db orphans;
    orphans.add_entry(0, "e");
    kpass_db* db = orphans.db();
    db->groups = nullptr;
    EXPECT_EQ(count_group_entries(db, 0), 0u);
    EXPECT_EQ(group_entry_at(db, 0, 0), nullptr);
}

}  // namespace
