#include <gtest/gtest.h>

#include <tuple>

#include "app/key_loop.h"
#include "browse_fixture.h"
#include "screen/layout.h"

namespace {

// focus, group cursor and first row, shown group and count, entry cursor and first position
auto found_state(const browse_state& b) {
    return std::tuple(b.focus, b.group_cursor, b.group_first_row, b.shown_group, b.shown_entry_count, b.entry_cursor,
                      b.entry_first_position);
}

// 8 groups and 8 entries in the last one, in lists of 5 rows: finding e6
// from the second group scrolls the tree to g3..g7 and the table to e2..e6,
// each cursor on its last row, and focuses the table.
TEST_F(BrowseTest, AFindScrollsBothPanesToTheEntry) {
    add_groups(8);
    add_entries(8, 8);
    start(11, 80);
    press(KEY_DOWN);
    terminal_->type("E6\r");
    press('/');
    EXPECT_EQ(found_state(state()), std::tuple(1, 7, 3, 7, 8, 6, 2));
    EXPECT_EQ(row_text(groups_list, 0).substr(0, 2), "g3");
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 2), "e2");
    EXPECT_TRUE(cell_attrs(entries_list, 4, 0) & A_REVERSE);
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 12), "a:add-entry ");

    // "n", and "N" from the row above, find the sole match again, the table
    // scrolled as it was; a text found only in a password is not found, and
    // the table comes back.
    press(KEY_DOWN);
    press('n');
    EXPECT_EQ(found_state(state()), std::tuple(1, 7, 3, 7, 8, 6, 3));
    press(KEY_UP);
    press('N');  // backwards, the same
    EXPECT_EQ(found_state(state()), std::tuple(1, 7, 3, 7, 8, 6, 3));
    terminal_->type("p6\r\rz");
    press('/');
    EXPECT_EQ(read_key(&app_), 'z') << "no message box took the Enter";
    EXPECT_EQ(found_state(state()), std::tuple(1, 7, 3, 7, 8, 6, 3));
}

}  // namespace
