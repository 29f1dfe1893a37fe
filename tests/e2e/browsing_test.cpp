// Browsing end to end: the first screen, moving through the tree and the
// table, selecting, revealing, resizing and quitting.
//
// The sample database's widest indented name is 8 bytes, so the group pane
// is 13 columns wide: the group rows start at column 1 with the cursor mark
// "*" at column 10, the entry rows at column 14 with the columns Title,
// Username, Password and URL at 14, 39, 56 and 89. Screen rows: 0 the title
// bar, 2 the headers, 4 the first list row, the last row the help bar.
#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

constexpr int groups_column = 1;
constexpr int marker_column = 10;
constexpr int title_column = 14;
constexpr int username_column = 39;
constexpr int password_column = 56;
constexpr int url_column = 89;
constexpr int first_row = 4;

bool reversed(const tmux_session& session, int row) {
    std::vector<std::string> rows = screen_rows(session, true);
    return static_cast<size_t>(row) < rows.size() && rows[static_cast<size_t>(row)].find("\x1b[7m") != std::string::npos;
}

TEST(browsing, first_screen_navigation_reveal_resize_and_quit) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password, 120, 30)) << screen_dump(session);

    // The first screen: title bar, headers, tree on the first group, the
    // table of its entries unfocused and masked, the tree's help bar.
    EXPECT_EQ(screen_row(session, 0), path);
    std::string headers = screen_row(session, 2);
    EXPECT_EQ(headers.substr(0, 7), "xGroups");
    EXPECT_EQ(headers.substr(12, 7), "xxTitle");
    EXPECT_EQ(headers.substr(username_column, 8), "Username");
    EXPECT_EQ(headers.substr(password_column, 8), "Password");
    EXPECT_EQ(headers.substr(url_column, 3), "URL");
    EXPECT_EQ(headers.substr(119), "x");
    EXPECT_EQ(screen_row(session, 29), group_help);
    ASSERT_TRUE(wait_for_text_at(session, first_row, title_column, "Forum")) << screen_dump(session);
    EXPECT_EQ(text_at(session, first_row, groups_column, 8), "Internet");
    EXPECT_EQ(text_at(session, first_row, marker_column, 1), "*");
    EXPECT_EQ(text_at(session, first_row, username_column, 5), "alice");
    EXPECT_EQ(text_at(session, first_row, password_column, 8), "********");
    EXPECT_EQ(text_at(session, first_row, url_column, 21), "https://forum.example");
    EXPECT_EQ(text_at(session, first_row + 1, title_column, 4), "Shop");
    EXPECT_EQ(text_at(session, first_row + 1, password_column, 8), "********");
    EXPECT_EQ(text_at(session, first_row + 1, groups_column, 8), "m->eMail");
    EXPECT_TRUE(reversed(session, first_row)) << "the tree's cursor row is highlighted";

    // The table follows the tree cursor.
    send_keys(session, {"Down"});
    ASSERT_TRUE(wait_for_text_at(session, first_row, title_column, "Mail ")) << screen_dump(session);
    EXPECT_EQ(text_at(session, first_row + 1, marker_column, 1), "*");
    EXPECT_EQ(text_at(session, first_row, marker_column, 1), " ");
    EXPECT_EQ(text_at(session, first_row + 1, title_column, 4), "    ");
    send_keys(session, {"Down"});
    ASSERT_TRUE(wait_for_text_at(session, first_row, title_column, "Bank ")) << screen_dump(session);
    send_keys(session, {"Down"});
    ASSERT_TRUE(wait_for_text_at(session, first_row + 3, marker_column, "*")) << screen_dump(session);
    EXPECT_EQ(text_at(session, first_row, title_column, 4), "    ") << "the group Empty has no entries";
    send_keys(session, {"Up", "Up", "Up"});
    ASSERT_TRUE(wait_for_text_at(session, first_row, title_column, "Forum")) << screen_dump(session);

    // Tab selects: the table gets focus on its first row.
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 29, entry_help)) << screen_dump(session);
    EXPECT_TRUE(reversed(session, first_row));
    EXPECT_FALSE(reversed(session, first_row + 1));

    // Reveal shows the cursor row's password only; a step masks it again.
    send_keys(session, {"r"});
    ASSERT_TRUE(wait_for_text_at(session, first_row, password_column, "forum-secret")) << screen_dump(session);
    EXPECT_EQ(text_at(session, first_row + 1, password_column, 8), "********");
    send_keys(session, {"Down"});
    ASSERT_TRUE(wait_for_text_at(session, first_row, password_column, "******** ")) << screen_dump(session);
    EXPECT_TRUE(reversed(session, first_row + 1));
    EXPECT_FALSE(reversed(session, first_row));
    send_keys(session, {"Space"});
    ASSERT_TRUE(wait_for_text_at(session, first_row + 1, password_column + 2, "ss w0rd")) << screen_dump(session);
    EXPECT_EQ(text_at(session, first_row, password_column, 8), "********");
    send_keys(session, {"Space"});
    ASSERT_TRUE(wait_for_text_at(session, first_row + 1, password_column, "******** ")) << screen_dump(session);

    // Tab goes back to the tree, Enter selects again, from the first entry.
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 29, group_help)) << screen_dump(session);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_row(session, 29, entry_help)) << screen_dump(session);
    EXPECT_TRUE(reversed(session, first_row));

    // A smaller terminal: the layout is rebuilt, the help bar on the new
    // last row, no room for the URL header. The help bar is drawn last; the
    // old one, which tmux may keep on that row, is cut at 80 columns, one
    // more than the new one shows.
    resize_window(session, 80, 24);
    ASSERT_TRUE(wait_for_row_exactly(session, 23, entry_help_80)) << screen_dump(session);
    headers = screen_row(session, 2);
    EXPECT_EQ(headers.substr(12, 7), "xxTitle");
    EXPECT_EQ(headers.substr(password_column, 8), "Password");
    EXPECT_EQ(headers.find("URL"), std::string::npos);
    EXPECT_EQ(headers.substr(79), "x");
    EXPECT_EQ(text_at(session, first_row, title_column, 5), "Forum");
    EXPECT_EQ(screen_row(session, 0), path) << "the resize drew no title bar";

    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

// Without an X display the copy fails: xclip says so on the terminal, over
// the screen, and the program says so in a message box. After Enter the
// screen is the one before the copy, the password masked, and stays true.
TEST(browsing, a_copy_without_an_x_display_is_said_and_the_screen_comes_back) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;  // the session's environment has no DISPLAY
    ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password)) << screen_dump(session);
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    std::vector<std::string> on_forum = screen_rows(session, true);
    // Onto Shop, its password revealed and masked again.
    send_keys(session, {"Down", "r"});
    ASSERT_TRUE(wait_for_text_at(session, first_row + 1, password_column + 2, "ss w0rd")) << screen_dump(session);
    send_keys(session, {"r"});
    ASSERT_TRUE(wait_for_text_at(session, first_row + 1, password_column, "******** ")) << screen_dump(session);
    std::vector<std::string> on_shop = screen_rows(session, true);

    send_keys(session, {"r", "x"});
    ASSERT_TRUE(wait_for_text(session, "Couldn't copy.")) << screen_dump(session);
    // The 7x18 box centred on 80x24: its text on row 10 from column 31.
    EXPECT_EQ(text_at(session, 10, 31, 16), "x Couldn't copy.") << screen_dump(session);
    send_keys(session, {"Enter"});
    EXPECT_TRUE(wait_for_screen(session, on_shop)) << screen_dump(session);
    send_keys(session, {"Up"});
    EXPECT_TRUE(wait_for_screen(session, on_forum)) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

}  // namespace
