// Finding entries end to end: "/" with a text, then "n" through every
// match, across groups and round the tree.
#include <gtest/gtest.h>

#include <tuple>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

// Forum; then Shop, Mail in the subgroup eMail (its "*" on row 5), and,
// Bank having no URL, round to Forum: the cursors and the focus where the
// match is, the help bar the table's.
TEST(find, slash_finds_the_first_match_and_n_each_next_one_round_the_tree) {
    temp_dir dir;
    tmux_session session;
    ASSERT_FALSE(start_sample(session, dir).empty()) << screen_dump(session);
    send_keys(session, {"/"});
    send_text(session, "EXAMPLE");
    for (auto [key, title, group_row] : {std::tuple{"Enter", "Forum", 4}, std::tuple{"n", "Shop ", 4},
                                         std::tuple{"n", "Mail ", 5}, std::tuple{"n", "Forum", 4}}) {
        send_keys(session, {key});
        ASSERT_TRUE(wait_for_reversed(session, title)) << title << screen_dump(session);
        EXPECT_TRUE(wait_for_text_at(session, group_row, 10, "*")) << title << screen_dump(session);
        EXPECT_TRUE(wait_for_row_exactly(session, 23, entry_help_80)) << screen_dump(session);
    }
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}
