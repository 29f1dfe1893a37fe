#include <gtest/gtest.h>

#include "app/key_loop.h"
#include "browse_fixture.h"
#include "keys/keymap.h"
#include "screen/layout.h"

namespace {

// 8 groups and 8 entries in the last one, in lists of 5 rows: finding e6
// from the first group scrolls the tree to g3..g7 and the table to e2..e6,
// each cursor on its last row, and focuses the table.
TEST_F(BrowseTest, AFindScrollsBothPanesToTheEntry) {
    add_groups(8);
    add_entries(1, 2, "first");
    add_entries(8, 8);
    start(11, 80);
    press(KEY_DOWN);
    terminal_->type("E6\r");
    press('/');
    const browse_state& b = state();
    EXPECT_EQ(b.focus, 1);
    EXPECT_EQ(b.group_cursor, 7);
    EXPECT_EQ(b.group_first_row, 3);
    EXPECT_EQ(b.shown_group, 7);
    EXPECT_EQ(b.shown_entry_count, 8);
    EXPECT_EQ(b.entry_cursor, 6);
    EXPECT_EQ(b.entry_first_position, 2);
    EXPECT_EQ(row_text(groups_list, 0).substr(0, 2), "g3");
    EXPECT_EQ(row_text(groups_list, 4).substr(0, 2), "g7");
    EXPECT_FALSE(cell_attrs(groups_list, 4, 0) & A_REVERSE);
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 2), "e2");
    EXPECT_EQ(row_text(entries_list, 4).substr(0, 2), "e6");
    EXPECT_TRUE(cell_attrs(entries_list, 4, 0) & A_REVERSE);
    EXPECT_EQ(screen_row(0).substr(0, 16), "/tmp/example.kdb");
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 12), "a:add-entry ");

    // "n" finds the sole match again, the table scrolled as it was; a text
    // found nowhere is said, and the table comes back as it was.
    press(KEY_DOWN);
    press('n');
    EXPECT_EQ(b.entry_cursor, 6);
    EXPECT_EQ(b.entry_first_position, 3);
    terminal_->type("p6\r\rz");  // passwords are not searched
    press('/');
    EXPECT_EQ(read_key(&app_), 'z') << "no message box took the Enter";
    EXPECT_EQ(b.entry_cursor, 6);
    EXPECT_EQ(row_text(entries_list, 3).substr(0, 2), "e6");
    EXPECT_TRUE(cell_attrs(entries_list, 3, 0) & A_REVERSE);
}

}  // namespace
