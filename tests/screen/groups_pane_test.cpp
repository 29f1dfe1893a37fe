#include "screen/groups_pane.h"

#include <gtest/gtest.h>

#include "cells.h"
#include "screen/layout.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

// The eight-group tree: g1 (0), g2 (1), g3 (2), g4 (2), g5 (1), g6 (2),
// g7 (0), g8 (1). G = 2 + 6 + 5 = 13, so the list is 11 columns wide and
// the cursor marker sits in column 9.
test_db eight_groups() {
    return test_db({{"g1", 0}, {"g2", 1}, {"g3", 2}, {"g4", 2}, {"g5", 1}, {"g6", 2}, {"g7", 0}, {"g8", 1}});
}

// The rows of the eight-group tree, in array order.
const char* const eight_rows[] = {
    "g1", "T->g2", "I  T->g3", "I  L->g4", "L->g5", "   L->g6", "g7", "L->g8",
};

}  // namespace

TEST(draw_groups, eight_groups_from_the_first_row) {
    virtual_terminal terminal(24, 80);
    test_db db = eight_groups();
    build_layout(db.get());
    ASSERT_EQ(getmaxx(groups_list), 11);
    draw_groups(db.get(), 0, 7, false);
    for (int row = 0; row < 7; ++row) EXPECT_TRUE(row_is(groups_list, row, eight_rows[row])) << row;
    EXPECT_TRUE(row_is(groups_list, 7, "L->g8    *"));
    for (int row = 8; row < 18; ++row) EXPECT_TRUE(row_is_blank(groups_list, row)) << row;
    // On the screen: list row 0 is screen row 4, list column 0 screen column 1.
    EXPECT_EQ(screen_char(5, 1), acs(ACS_LTEE));
    EXPECT_EQ(screen_char(7, 4), acs(ACS_LLCORNER));
    EXPECT_EQ(screen_char(11, 10), chtype('*'));
}

TEST(draw_groups, eight_groups_from_the_third_row) {
    virtual_terminal terminal(24, 80);
    test_db db = eight_groups();
    build_layout(db.get());
    draw_groups(db.get(), 0, 0, true);  // leaves rows that the next call must blank
    draw_groups(db.get(), 2, 2, false);
    // g3 keeps its vertical line in column 0: g5's link runs up to row 0.
    EXPECT_TRUE(row_is(groups_list, 0, "I  T->g3 *"));
    for (int i = 3; i < 8; ++i) EXPECT_TRUE(row_is(groups_list, i - 2, eight_rows[i])) << i;
    for (int row = 6; row < 18; ++row) EXPECT_TRUE(row_is_blank(groups_list, row)) << row;
}

TEST(draw_groups, eight_groups_in_three_rows) {
    virtual_terminal terminal(9, 80);  // lists of 3 rows
    test_db db = eight_groups();
    build_layout(db.get());
    ASSERT_EQ(getmaxy(groups_list), 3);
    draw_groups(db.get(), 0, 0, false);
    // Groups below the window still draw their links: g2 keeps its tee
    // (g5), g3 its line (g5) and its tee (g4).
    EXPECT_TRUE(row_is(groups_list, 0, "g1       *"));
    EXPECT_TRUE(row_is(groups_list, 1, "T->g2"));
    EXPECT_TRUE(row_is(groups_list, 2, "I  T->g3"));
    // Nothing ran onto the frame's bottom border.
    EXPECT_EQ(cell_char(groups_frame, 6, 1), acs(ACS_HLINE));
    EXPECT_EQ(cell_char(groups_frame, 6, 4), acs(ACS_HLINE));
}

TEST(draw_groups, the_focused_cursor_row_is_reversed_whole) {
    virtual_terminal terminal(24, 80);
    test_db db = eight_groups();
    build_layout(db.get());
    draw_groups(db.get(), 0, 3, true);
    // Leading blanks, the line drawn by g5's link, the connector, name,
    // trailing blanks and marker.
    EXPECT_TRUE(row_is(groups_list, 3, "I  L->g4 *", A_REVERSE));
    for (int row : {0, 1, 2, 4, 5, 6, 7}) EXPECT_TRUE(row_is(groups_list, row, eight_rows[row])) << row;
    EXPECT_EQ(getattrs(groups_list), A_NORMAL);

    draw_groups(db.get(), 0, 1, true);
    EXPECT_TRUE(row_is(groups_list, 1, "T->g2    *", A_REVERSE));
    EXPECT_TRUE(row_is(groups_list, 3, eight_rows[3]));
    // The last group under the cursor: the attribute is none again after.
    draw_groups(db.get(), 0, 7, true);
    EXPECT_TRUE(row_is(groups_list, 7, "L->g8    *", A_REVERSE));
    EXPECT_EQ(getattrs(groups_list), A_NORMAL);
}

TEST(draw_groups, unfocused_cursor_row_keeps_only_its_marker) {
    virtual_terminal terminal(24, 80);
    test_db db = eight_groups();
    build_layout(db.get());
    draw_groups(db.get(), 0, 4, true);
    draw_groups(db.get(), 0, 4, false);
    EXPECT_TRUE(row_is(groups_list, 4, "L->g5    *"));
    for (int row = 0; row < 18; ++row)
        for (int col = 0; col < 11; ++col) EXPECT_EQ(cell_attrs(groups_list, row, col), A_NORMAL);
}

TEST(draw_groups, a_cursor_outside_the_rows_shown_marks_nothing) {
    virtual_terminal terminal(9, 80);  // 3 rows
    test_db db = eight_groups();
    build_layout(db.get());
    for (int cursor : {0, 1, 5, 7, -1, 8}) {
        draw_groups(db.get(), 2, cursor, true);
        EXPECT_TRUE(row_is(groups_list, 0, eight_rows[2])) << cursor;
        EXPECT_TRUE(row_is(groups_list, 1, eight_rows[3])) << cursor;
        EXPECT_TRUE(row_is(groups_list, 2, eight_rows[4])) << cursor;
    }
}

TEST(draw_groups, a_level_that_jumps_gets_no_line_to_the_group_above) {
    virtual_terminal terminal(24, 80);
    test_db db({{"a", 0}, {"b", 2}, {"c", 0}, {"d", 5}, {"e", 5}, {"f", 1}});
    build_layout(db.get());
    draw_groups(db.get(), 0, -1, true);
    EXPECT_TRUE(row_is(groups_list, 0, "a"));
    EXPECT_TRUE(row_is(groups_list, 1, "   L->b"));
    EXPECT_TRUE(row_is(groups_list, 2, "c"));
    // f's link to c passes the rows of c's deeper descendants.
    EXPECT_TRUE(row_is(groups_list, 3, "I           T->d"));
    EXPECT_TRUE(row_is(groups_list, 4, "I           L->e"));
    EXPECT_TRUE(row_is(groups_list, 5, "L->f"));
}

TEST(draw_groups, a_sibling_below_the_window_draws_lines_down_to_the_bottom) {
    virtual_terminal terminal(10, 80);  // 4 rows
    test_db db({{"top", 0}, {"a", 1}, {"a1", 2}, {"a2", 3}, {"a3", 2}, {"a4", 2}, {"b", 1}});
    build_layout(db.get());
    draw_groups(db.get(), 0, 0, false);
    EXPECT_TRUE(row_is(groups_list, 1, "T->a"));
    EXPECT_TRUE(row_is(groups_list, 2, "I  T->a1"));
    EXPECT_TRUE(row_is(groups_list, 3, "I  I  L->a2"));
}

TEST(draw_groups, blank_pane_without_groups_or_past_the_last_one) {
    virtual_terminal terminal(24, 80);
    test_db db = eight_groups();
    test_db empty({});
    build_layout(db.get());
    for (int first_row : {8, 9, -1}) {
        draw_groups(db.get(), 0, 0, true);
        draw_groups(db.get(), first_row, 0, true);
        for (int row = 0; row < 18; ++row) EXPECT_TRUE(row_is_blank(groups_list, row)) << first_row;
    }
    draw_groups(db.get(), 0, 0, true);
    draw_groups(empty.get(), 0, 0, true);
    for (int row = 0; row < 18; ++row) EXPECT_TRUE(row_is_blank(groups_list, row));
}

TEST(draw_groups, draws_nothing_into_an_absent_list) {
    virtual_terminal terminal(5, 80);
    test_db db = eight_groups();
    build_layout(db.get());
    ASSERT_EQ(groups_list, nullptr);
    draw_groups(db.get(), 0, 0, true);
    EXPECT_EQ(cell_char(groups_frame, 2, 0), acs(ACS_LTEE));
}
