// examples/demo.kdb, the database the README invites people to open.
#include <fstream>
#include <iterator>

#include "kpass_test_helpers.h"

namespace {

TEST(Demo, OpensWithItsPasswordAndShowsWhatItPromises) {
    std::ifstream in(KDBROWSE_SOURCE_DIR "/examples/demo.kdb", std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(file.empty());
    test_db t;
    ASSERT_EQ(open_kdb(t, file, "demo"), kpass_success);
    EXPECT_EQ(t.db->flags & kpass_flag_aes, kpass_flag_aes);
    EXPECT_EQ(t.db->group_count, 9u);
    EXPECT_EQ(t.db->entry_count, 25u);
    EXPECT_EQ(t.db->groups[0]->level, 0);
    bool two_deep = false, never = false, long_title = false, long_url = false;
    for (uint32_t i = 0; i < t.db->group_count; ++i) two_deep |= t.db->groups[i]->level == 2;
    for (uint32_t i = 0; i < t.db->entry_count; ++i) {
        const kpass_entry* e = t.db->entries[i];
        never |= text_of(e->etime) == text_of(kdb_pack_time(2999, 12, 28, 23, 59, 59));
        long_title |= std::strlen(e->title) > 24;
        long_url |= std::strlen(e->url) > 60;
    }
    EXPECT_TRUE(two_deep);
    EXPECT_TRUE(never);
    EXPECT_TRUE(long_title);
    EXPECT_TRUE(long_url);
}

}  // namespace
