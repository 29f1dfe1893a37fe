// Finding entries end to end: "/" with a text, then "n" through every
// match, across groups and round the tree.
#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

constexpr int marker_column = 10;  // the "*" of the group under the tree cursor
constexpr int first_row = 4;

TEST(find, slash_finds_the_first_match_and_n_each_next_one_round_the_tree) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password)) << screen_dump(session);

    send_keys(session, {"/"});
    ASSERT_TRUE(wait_for_text(session, "Find:")) << screen_dump(session);
    send_text(session, "EXAMPLE");
    // Forum; then Shop, Mail in the subgroup eMail, and, Bank having no
    // URL, round to Forum.
    const struct {
        const char* key;
        const char* title;
        int group_row;
    } steps[] = {{"Enter", "Forum", first_row}, {"n", "Shop ", first_row}, {"n", "Mail ", first_row + 1},
                 {"n", "Forum", first_row}};
    for (const auto& s : steps) {
        send_keys(session, {s.key});
        ASSERT_TRUE(wait_for_reversed(session, s.title)) << s.title << screen_dump(session);
        EXPECT_TRUE(wait_for_text_at(session, s.group_row, marker_column, "*")) << s.title << screen_dump(session);
        EXPECT_TRUE(wait_for_row_exactly(session, 23, entry_help_80)) << screen_dump(session);
    }
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

}  // namespace
