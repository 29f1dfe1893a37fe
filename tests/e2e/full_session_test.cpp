// A whole session end to end: unlock, browse, the entry dialog, the copy
// to the X selection through the real xclip, opening another database and
// quitting.
#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"
#include "e2e/xvfb_server.h"

namespace {

// The other database's group pane is 15 columns wide ("Servers" at level
// 1): its entry rows start at column 16 and the tree's cursor mark is at
// column 12.
//
// The 19x58 entry dialog centred on 80x24: its form from row 4, column 13;
// the values from column 27; the buttons on row 18.
constexpr int form_row = 4;
constexpr int label_column = 13;
constexpr int value_column = 27;

void check_entry_dialog(const tmux_session& session) {
    ASSERT_TRUE(wait_for_text_at(session, form_row, label_column, "uuid:")) << screen_dump(session);
    EXPECT_EQ(text_at(session, form_row, value_column, 32), "000102030405060708090a0b0c0d0e0f");
    EXPECT_EQ(text_at(session, form_row + 1, label_column, 6), "Group:");
    EXPECT_EQ(text_at(session, form_row + 1, value_column, 8), "Internet");
    EXPECT_EQ(text_at(session, form_row + 3, label_column, 6), "Title:");
    EXPECT_EQ(text_at(session, form_row + 3, value_column, 5), "Forum");
    EXPECT_EQ(text_at(session, form_row + 6, value_column, 12), "forum-secret") << "the password in clear";
    EXPECT_EQ(text_at(session, form_row + 8, value_column, 19), "2020-01-02 03:04:05");
    EXPECT_EQ(text_at(session, form_row + 11, label_column, 6), "etime:");
    EXPECT_EQ(text_at(session, form_row + 11, value_column, 6), "Never ");
    EXPECT_EQ(text_at(session, form_row + 12, value_column, 10), "first post");
    EXPECT_EQ(text_at(session, form_row + 14, label_column + 19, 4), "[OK]");
    EXPECT_EQ(text_at(session, form_row + 14, label_column + 27, 8), "[CANCEL]");
}

TEST(full_session, details_copy_open_and_quit) {
    xvfb_server x;
    std::string why_not = start_xvfb(x);
    if (!why_not.empty()) GTEST_SKIP() << "no X selection to copy to: " << why_not;
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    std::string other = write_database(dir, "other.kdb", other_database(), other_password);
    ASSERT_FALSE(path.empty());
    ASSERT_FALSE(other.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}, {"DISPLAY=" + x.display}));
    ASSERT_TRUE(enter_password(session, sample_password)) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);

    // Select the group, open the first entry's details, walk the fields to
    // "[OK]" with Enter and close there.
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    send_keys(session, {"e"});
    check_entry_dialog(session);
    for (int field = 0; field < 10; ++field) send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_reversed(session, "[OK]")) << screen_dump(session);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_text_gone(session, "uuid:")) << screen_dump(session);
    ASSERT_TRUE(wait_for_text_at(session, 4, 14, "Forum")) << screen_dump(session);

    // Copy the second entry's password: exactly its bytes reach the X
    // selection, the blank and the byte above 0x7f included.
    send_keys(session, {"Down", "x"});
    std::string selection;
    EXPECT_TRUE(wait_for_selection(x, shop_password, selection))
        << "the selection holds \"" << selection << "\" (" << selection.size() << " bytes)";

    // Open the other database: its path on the title bar, the tree focused.
    ASSERT_TRUE(open_database_file(session, other, other_password)) << screen_dump(session);
    EXPECT_EQ(text_at(session, 4, 1, 4), "Work");
    EXPECT_EQ(text_at(session, 4, 16, 12), "Build server");

    // "o" cancelled keeps it.
    send_keys(session, {"o"});
    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    cancel_prompt(session);
    ASSERT_TRUE(wait_for_text_gone(session, "Database File:")) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), other);

    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

TEST(full_session, open_cancelled_failed_and_unlocked_from_both_panes) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    std::string other = write_database(dir, "other.kdb", other_database(), other_password);
    ASSERT_FALSE(path.empty());
    ASSERT_FALSE(other.empty());
    tmux_session session;
    ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password)) << screen_dump(session);
    
    // From the table, with the second entry's password revealed: an
    // unreadable file, then a cancelled password prompt. Each time the
    // same database comes back, the table focused on the same entry,
    // masked.
    send_keys(session, {"Tab", "Down", "r"});
    ASSERT_TRUE(wait_for_text_at(session, 5, 58, "ss w0rd")) << screen_dump(session);
    send_keys(session, {"o"});
    ASSERT_TRUE(enter_path(session, dir.path + "/missing.kdb")) << screen_dump(session);
    ASSERT_TRUE(wait_for_text(session, "Couldn't read.")) << screen_dump(session);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), path);
    EXPECT_EQ(text_at(session, 5, 14, 4), "Shop");
    EXPECT_EQ(text_at(session, 5, 56, 8), "********");
    send_keys(session, {"o"});
    ASSERT_TRUE(enter_path(session, other)) << screen_dump(session);
    ASSERT_TRUE(wait_for_text(session, "Password:")) << screen_dump(session);
    cancel_prompt(session);
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), path);
    // Still the table: Up moves its cursor to the first entry.
    send_keys(session, {"Up", "r"});
    ASSERT_TRUE(wait_for_text_at(session, 4, 56, "forum-secret")) << screen_dump(session);

    // From the table, unlocked: the new database, the tree focused.
    ASSERT_TRUE(open_database_file(session, other, other_password)) << screen_dump(session);
    EXPECT_EQ(text_at(session, 4, 1, 4), "Work");
    EXPECT_EQ(text_at(session, 4, 12, 1), "*");
    EXPECT_EQ(text_at(session, 4, 16, 12), "Build server");

    // From the tree: the same file again asks for its password again and
    // opens a second copy; then the first database once more.
    ASSERT_TRUE(open_database_file(session, other, other_password)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), other);
    ASSERT_TRUE(open_database_file(session, path, sample_password)) << screen_dump(session);
    ASSERT_TRUE(wait_for_text_at(session, 4, 14, "Forum")) << screen_dump(session);

    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

}  // namespace
