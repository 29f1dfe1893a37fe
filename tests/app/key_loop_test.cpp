#include <gtest/gtest.h>

#include "app/key_loop.h"
#include "browse_fixture.h"
#include "keys/keymap.h"
#include "screen/layout.h"

namespace {

bool reversed(WINDOW* window, int row) { return cell_attrs(window, row, 0) & A_REVERSE; }

// The row of the window that is in reverse video, or -1.
int highlighted_row(WINDOW* window) {
    for (int row = 0; row < getmaxy(window); ++row)
        if (reversed(window, row)) return row;
    return -1;
}

bool same(const browse_state& a, const browse_state& b) {
    return a.focus == b.focus && a.group_cursor == b.group_cursor && a.group_first_row == b.group_first_row &&
           a.shown_group == b.shown_group && a.entry_cursor == b.entry_cursor &&
           a.entry_first_position == b.entry_first_position && a.shown_entry_count == b.shown_entry_count &&
           a.reveal == b.reveal;
}

void expect_position(const BrowseTest& t, int cursor, int first, int actual_cursor, int actual_first) {
    (void)t;
    EXPECT_EQ(actual_cursor, cursor);
    EXPECT_EQ(actual_first, first);
}

TEST_F(BrowseTest, TheFirstScreenFocusesTheFirstGroup) {
    add_groups(3);
    add_entries(1, 2);
    start();
    EXPECT_EQ(state().focus, 0);
    EXPECT_EQ(highlighted_row(groups_list), 0);
    EXPECT_EQ(highlighted_row(entries_list), -1);
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 2), "e0");
    EXPECT_EQ(screen_row(0).substr(0, 16), "/tmp/example.kdb");
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 12), "a:add-group ");
}

// 8 items in 5 visible rows: the list scrolls only when the cursor steps
// off its first or last visible row.
TEST_F(BrowseTest, ScrollingThroughEightGroupsInFiveRows) {
    add_groups(8);
    start(11, 80);
    ASSERT_EQ(getmaxy(groups_list), 5);
    const browse_state& b = state();
    press(KEY_DOWN, 4);
    expect_position(*this, 4, 0, b.group_cursor, b.group_first_row);
    press(KEY_DOWN);
    expect_position(*this, 5, 1, b.group_cursor, b.group_first_row);
    press(KEY_DOWN, 2);
    expect_position(*this, 7, 3, b.group_cursor, b.group_first_row);
    press(KEY_DOWN);
    expect_position(*this, 7, 3, b.group_cursor, b.group_first_row);
    EXPECT_EQ(highlighted_row(groups_list), 4);
    EXPECT_EQ(row_text(groups_list, 0).substr(0, 2), "g3");
    press(KEY_UP, 4);
    expect_position(*this, 3, 3, b.group_cursor, b.group_first_row);
    EXPECT_EQ(highlighted_row(groups_list), 0);
    press(KEY_UP);
    expect_position(*this, 2, 2, b.group_cursor, b.group_first_row);
    press(KEY_UP, 5);
    expect_position(*this, 0, 0, b.group_cursor, b.group_first_row);
}

TEST_F(BrowseTest, ScrollingThroughEightEntriesInFiveRows) {
    add_groups(1);
    add_entries(1, 8);
    start(11, 80);
    press('\t');
    const browse_state& b = state();
    EXPECT_EQ(b.focus, 1);
    EXPECT_EQ(b.shown_entry_count, 8);
    press(KEY_DOWN, 4);
    expect_position(*this, 4, 0, b.entry_cursor, b.entry_first_position);
    press(KEY_DOWN, 3);
    expect_position(*this, 7, 3, b.entry_cursor, b.entry_first_position);
    press(KEY_DOWN);
    expect_position(*this, 7, 3, b.entry_cursor, b.entry_first_position);
    EXPECT_EQ(highlighted_row(entries_list), 4);
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 2), "e3");
    press(KEY_UP, 4);
    expect_position(*this, 3, 3, b.entry_cursor, b.entry_first_position);
    press(KEY_UP);
    expect_position(*this, 2, 2, b.entry_cursor, b.entry_first_position);
}

TEST_F(BrowseTest, AfterAShrinkTheCursorMayLieBelowTheWindow) {
    add_groups(8);
    start(11, 80);
    press(KEY_DOWN, 6);  // cursor 6, first 2
    const browse_state& b = state();
    expect_position(*this, 6, 2, b.group_cursor, b.group_first_row);
    terminal_->resize(9, 80, false);
    press(KEY_RESIZE);
    ASSERT_EQ(getmaxy(groups_list), 3);
    expect_position(*this, 6, 2, b.group_cursor, b.group_first_row);
    EXPECT_EQ(highlighted_row(groups_list), -1);  // the cursor row is not shown
    press(KEY_DOWN);  // further down without scrolling
    expect_position(*this, 7, 2, b.group_cursor, b.group_first_row);
    press(KEY_UP, 3);  // up without scrolling, back to the last visible row
    expect_position(*this, 4, 2, b.group_cursor, b.group_first_row);
    EXPECT_EQ(highlighted_row(groups_list), 2);
    press(KEY_DOWN);  // from the last visible row the usual rule applies
    expect_position(*this, 5, 3, b.group_cursor, b.group_first_row);
}

TEST_F(BrowseTest, TheEntryTableFollowsTheTreeCursor) {
    add_groups(2);
    add_entries(1, 2, "first");
    add_entries(2, 3, "second");
    start();
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 6), "first0");
    press(KEY_DOWN);
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 7), "second0");
    EXPECT_EQ(row_text(entries_list, 2).substr(0, 7), "second2");
    EXPECT_EQ(highlighted_row(entries_list), -1);
    press('\n');  // Enter selects too
    EXPECT_EQ(state().focus, 1);
    EXPECT_EQ(state().shown_group, 1);
    EXPECT_EQ(state().shown_entry_count, 3);
    EXPECT_EQ(highlighted_row(entries_list), 0);
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 12), "a:add-entry ");
}

TEST_F(BrowseTest, GroupsAndSelectAgainStartAtTheFirstEntry) {
    add_groups(1);
    add_entries(1, 30);
    start();
    press('\t');
    press(KEY_DOWN, 25);
    EXPECT_GT(state().entry_first_position, 0);
    press('\t');  // back to the tree
    EXPECT_EQ(state().focus, 0);
    EXPECT_EQ(state().entry_cursor, 0);
    EXPECT_EQ(state().entry_first_position, 0);
    EXPECT_EQ(highlighted_row(groups_list), 0);
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 3), "e0 ");
    press('\t');
    EXPECT_EQ(state().entry_cursor, 0);
    EXPECT_EQ(highlighted_row(entries_list), 0);
}

TEST_F(BrowseTest, RevealTogglesAndOtherCommandsMask) {
    add_groups(1);
    add_entries(1, 3);
    start();
    press('\t');
    auto password = [] { return row_text(entries_list, 0).substr(42, 8); };
    EXPECT_EQ(password(), "********");
    press(' ');
    EXPECT_TRUE(state().reveal);
    EXPECT_EQ(password(), "p0      ");
    EXPECT_EQ(row_text(entries_list, 1).substr(42, 8), "********");
    press('r');
    EXPECT_FALSE(state().reveal);
    EXPECT_EQ(password(), "********");

    press('r');
    press(KEY_DOWN);  // a step masks again
    EXPECT_FALSE(state().reveal);
    EXPECT_EQ(row_text(entries_list, 1).substr(42, 8), "********");
}

TEST_F(BrowseTest, RevealAcrossAResize) {
    add_groups(1);
    add_entries(1, 3);
    start();
    press('\t');
    press('r');
    terminal_->resize(30, 100, false);
    press(KEY_RESIZE);
    // Drawn masked, while the flag stays on.
    EXPECT_TRUE(state().reveal);
    EXPECT_EQ(row_text(entries_list, 0).substr(42, 8), "********");
    EXPECT_EQ(highlighted_row(entries_list), 0);
    press('r');  // turns the flag off; the table stays masked
    EXPECT_FALSE(state().reveal);
    EXPECT_EQ(row_text(entries_list, 0).substr(42, 8), "********");
    press('r');
    EXPECT_EQ(row_text(entries_list, 0).substr(42, 2), "p0");
}

TEST_F(BrowseTest, SaveAndAddTurnRevealOffWithoutARedraw) {
    add_groups(1);
    add_entries(1, 2);
    start();
    press('\t');
    for (int key : {'s', 'a'}) {
        press('r');
        press(key);
        EXPECT_FALSE(state().reveal);
        EXPECT_EQ(row_text(entries_list, 0).substr(42, 2), "p0");  // still on screen
        press('r');  // the flag on again: the same picture
        EXPECT_EQ(row_text(entries_list, 0).substr(42, 2), "p0");
        press('r');
    }
}

TEST_F(BrowseTest, UnboundKeysAndNoActionCommandsChangeNothing) {
    add_groups(3);
    add_entries(1, 3);
    start();
    press(KEY_DOWN);
    browse_state before = state();
    std::string screen_before;
    for (int row = 0; row < LINES; ++row) screen_before += screen_row(row);
    for (int key : {int('z'), int('e'), int('s'), int('a'), int('x'), int('r'), 0, ERR, KEY_LEFT}) EXPECT_FALSE(press(key)) << key;
    doupdate();
    std::string screen_after;
    for (int row = 0; row < LINES; ++row) screen_after += screen_row(row);
    EXPECT_EQ(screen_after, screen_before);
    EXPECT_TRUE(same(before, state()));

    press('\t');
    before = state();
    for (int key : {int('z'), 0, ERR, KEY_LEFT}) EXPECT_FALSE(press(key));
    EXPECT_TRUE(same(before, state()));
}

TEST_F(BrowseTest, QuitIsAskedFromBothPanes) {
    add_groups(1);
    start();
    EXPECT_TRUE(press('q'));
    press('\t');
    EXPECT_TRUE(press('q'));
}

TEST_F(BrowseTest, AGroupWithoutEntriesGivesAnEmptyTable) {
    add_groups(2);
    add_entries(2, 1);
    start();
    press('\t');
    EXPECT_EQ(state().focus, 1);
    EXPECT_EQ(state().shown_entry_count, 0);
    press(KEY_DOWN);
    press(KEY_UP);
    EXPECT_EQ(state().entry_cursor, 0);
    EXPECT_EQ(highlighted_row(entries_list), -1);
    // Nothing to show or copy: no dialog opens, nothing is read.
    press('e');
    press('x');
    press('\n');
    EXPECT_EQ(state().focus, 1);
}

TEST_F(BrowseTest, ADatabaseWithoutGroupsKeepsEveryCursorStill) {
    data_.add_entry(5, "orphan");
    start();
    press(KEY_DOWN);
    press(KEY_UP);
    press('\t');  // nothing to select
    press('\n');
    EXPECT_EQ(state().focus, 0);
    EXPECT_EQ(state().group_cursor, 0);
    EXPECT_EQ(row_text(groups_list, 0), std::string(getmaxx(groups_list), ' '));
    EXPECT_EQ(row_text(entries_list, 0), std::string(getmaxx(entries_list), ' '));
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 12), "a:add-group ");
}

TEST_F(BrowseTest, ATinyScreenStillReadsKeysFromTheStandardScreen) {
    add_groups(2);
    start(5, 40);
    EXPECT_EQ(groups_list, nullptr);
    terminal_->type("q");
    int key = read_key(&app_);
    EXPECT_EQ(key, 'q');
    EXPECT_TRUE(press(key));
    // Back to a usable size: the screen comes back.
    terminal_->resize(24, 80);
    key = read_key(&app_);
    EXPECT_EQ(key, KEY_RESIZE);
    press(key);
    ASSERT_NE(groups_list, nullptr);
    EXPECT_EQ(highlighted_row(groups_list), 0);
}

}  // namespace

namespace {

TEST_F(BrowseTest, TheEndOfTheInputEndsTheKeyLoopAsQuitDoes) {
    add_groups(2);
    start();
    terminal_->type(std::string(keys::down));
    terminal_->close_input();
    int key = read_key(&app_);
    EXPECT_EQ(key, KEY_DOWN);
    EXPECT_FALSE(press(key));
    key = read_key(&app_);
    EXPECT_TRUE(press(key));
}

}  // namespace
