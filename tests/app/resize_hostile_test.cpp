// A resize while the entry dialog is open: the dialog drops it, and curses
// has meanwhile shrunk or moved the browsing windows for the smaller
// screen, the entry list beyond its right edge. Refreshing a window there
// makes curses read outside its own arrays, so after the dialog the
// browsing screen must be built afresh for the new size.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <initializer_list>

#include "browse_fixture.h"
#include "screen/layout.h"

namespace {

class ResizeHostileTest : public BrowseTest {};

// The size curses finds when it handles the next SIGWINCH: with no real
// terminal to ask, it reads LINES and COLUMNS. The resize then happens
// inside the next wgetch, after that window was refreshed, as a real one.
void resize_on_next_read(int rows, int cols) {
    setenv("LINES", std::to_string(rows).c_str(), 1);
    setenv("COLUMNS", std::to_string(cols).c_str(), 1);
    raise(SIGWINCH);
}

bool lies_on_screen(const WINDOW* window) {
    return getbegy(window) >= 0 && getbegx(window) >= 0 && getbegy(window) + getmaxy(window) <= LINES &&
           getbegx(window) + getmaxx(window) <= COLS;
}

TEST_F(ResizeHostileTest, AfterTheEntryDialogTheBrowsingWindowsFitTheNewScreen) {
    add_groups(1);
    add_entries(1, 3);
    start(40, 120);
    press('\t');  // the table has focus
    for (int i = 0; i < 13; ++i) terminal_->type(keys::enter);  // closes the dialog from any field
    resize_on_next_read(24, 80);
    press('e');
    ASSERT_EQ(LINES, 24);
    ASSERT_EQ(COLS, 80);
    for (WINDOW* window : {title_bar, groups_frame, groups_list, entries_frame, entries_list, help_bar}) {
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(lies_on_screen(window)) << getbegy(window) << "," << getbegx(window) << " " << getmaxy(window)
                                            << "x" << getmaxx(window);
    }
    // The table keeps its place and focus, drawn for the new size.
    EXPECT_EQ(state().focus, 1);
    EXPECT_EQ(getbegy(help_bar), 23);
    EXPECT_EQ(getmaxx(title_bar), 80);
}

}  // namespace
