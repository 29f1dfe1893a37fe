#include "screen/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "cells.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

struct geometry {
    int lines, columns, top, left;
};

geometry geometry_of(WINDOW* window) {
    geometry g{};
    getmaxyx(window, g.lines, g.columns);
    if (wgetparent(window) != nullptr) getparyx(window, g.top, g.left);
    else getbegyx(window, g.top, g.left);
    return g;
}

void expect_geometry(WINDOW* window, geometry want, const char* name) {
    ASSERT_NE(window, nullptr) << name;
    geometry got = geometry_of(window);
    EXPECT_EQ(got.lines, want.lines) << name;
    EXPECT_EQ(got.columns, want.columns) << name;
    EXPECT_EQ(got.top, want.top) << name;
    EXPECT_EQ(got.left, want.left) << name;
}

}  // namespace

TEST(pane_width, counts_name_cells_and_three_columns_a_level) {
    test_db level0({{"abcd", 0}});
    test_db level2({{"abcd", 2}});
    test_db none({});
    test_db mixed({{"a-long-name", 0}, {"x", 3}, {"deep-one", 2}, {"y", 1}});
    EXPECT_EQ(groups_pane_width(level0.get()), 9);
    EXPECT_EQ(groups_pane_width(level2.get()), 15);
    EXPECT_EQ(groups_pane_width(none.get()), 5);
    // 8 cells at level 2 (14) beats 11 cells at level 0 and 1 cell at level 3.
    EXPECT_EQ(groups_pane_width(mixed.get()), 19);
}

TEST(build_layout, places_the_six_windows) {
    virtual_terminal terminal(24, 80);
    test_db db({{"abcd", 0}});  // G = 9
    build_layout(db.get());
    expect_geometry(title_bar, {1, 80, 0, 0}, "title_bar");
    expect_geometry(groups_frame, {22, 9, 1, 0}, "groups_frame");
    expect_geometry(groups_list, {18, 7, 3, 1}, "groups_list");
    expect_geometry(entries_frame, {22, 71, 1, 9}, "entries_frame");
    expect_geometry(entries_list, {18, 69, 3, 1}, "entries_list");
    expect_geometry(help_bar, {1, 80, 23, 0}, "help_bar");
    EXPECT_EQ(wgetparent(groups_list), groups_frame);
    EXPECT_EQ(wgetparent(entries_list), entries_frame);
    EXPECT_EQ(window_height(groups_list), 18);
    EXPECT_EQ(window_width(entries_list), 69);
    EXPECT_EQ(window_height(nullptr), -1);
    EXPECT_EQ(window_width(nullptr), -1);

    // Keys are read from the lists only.
    EXPECT_TRUE(is_keypad(groups_list));
    EXPECT_TRUE(is_keypad(entries_list));
    EXPECT_FALSE(is_keypad(groups_frame));
    EXPECT_FALSE(is_keypad(entries_frame));
    EXPECT_FALSE(is_keypad(title_bar));
    EXPECT_FALSE(is_keypad(help_bar));
}

TEST(build_layout, draws_borders_headers_and_separators) {
    virtual_terminal terminal(24, 80);
    test_db db({{"abcd", 0}});  // G = 9, entry pane 71 wide
    build_layout(db.get());

    // The screen as curses drew it: frames refreshed, bars not yet.
    EXPECT_EQ(screen_char(1, 0), acs(ACS_ULCORNER));
    EXPECT_EQ(screen_char(1, 8), acs(ACS_URCORNER));
    EXPECT_EQ(screen_char(1, 9), acs(ACS_ULCORNER));
    EXPECT_EQ(screen_char(1, 79), acs(ACS_URCORNER));
    EXPECT_EQ(screen_char(22, 0), acs(ACS_LLCORNER));
    EXPECT_EQ(screen_char(22, 8), acs(ACS_LRCORNER));
    EXPECT_EQ(screen_char(22, 9), acs(ACS_LLCORNER));
    EXPECT_EQ(screen_char(22, 79), acs(ACS_LRCORNER));
    for (int col : {1, 7, 10, 78}) {
        EXPECT_EQ(screen_char(1, col), acs(ACS_HLINE)) << col;
        EXPECT_EQ(screen_char(22, col), acs(ACS_HLINE)) << col;
    }
    for (int row = 4; row <= 21; ++row) {
        for (int col : {0, 8, 9, 79}) EXPECT_EQ(screen_char(row, col), acs(ACS_VLINE)) << row << "," << col;
    }

    // Header rows.
    std::string groups_header = "Groups";
    for (int i = 0; i < 6; ++i) EXPECT_EQ(cell_char(groups_frame, 1, 1 + i), chtype(groups_header[i]));
    EXPECT_EQ(cell_char(groups_frame, 1, 7), chtype(' '));
    EXPECT_EQ(row_text(entries_frame, 1).substr(0, 51),
              "#Title                    Username         Password");
    EXPECT_EQ(row_text(entries_frame, 1).substr(51), std::string(19, ' ') + "#");  // no "URL" in 71 columns

    // Separator rows: LTEE, HLINE across, RTEE.
    for (WINDOW* frame : {groups_frame, entries_frame}) {
        const int width = getmaxx(frame);
        EXPECT_EQ(cell_char(frame, 2, 0), acs(ACS_LTEE));
        for (int col = 1; col < width - 1; ++col) EXPECT_EQ(cell_char(frame, 2, col), acs(ACS_HLINE)) << col;
        EXPECT_EQ(cell_char(frame, 2, width - 1), acs(ACS_RTEE));
        for (int row = 0; row < getmaxy(frame); ++row)
            for (int col = 0; col < width; ++col) EXPECT_EQ(cell_attrs(frame, row, col), A_NORMAL);
    }
    EXPECT_EQ(screen_char(3, 0), acs(ACS_LTEE));
    EXPECT_EQ(screen_char(3, 8), acs(ACS_RTEE));
    EXPECT_EQ(screen_char(3, 9), acs(ACS_LTEE));
    EXPECT_EQ(screen_char(3, 79), acs(ACS_RTEE));

    // Lists and bars are blank.
    for (int row = 0; row < 18; ++row) {
        EXPECT_TRUE(row_is_blank(groups_list, row));
        EXPECT_TRUE(row_is_blank(entries_list, row));
    }
    EXPECT_TRUE(row_is_blank(title_bar, 0));
    EXPECT_TRUE(row_is_blank(help_bar, 0));
}

// Row 1 of an entry frame: the headers that start inside it, cut at its
// right edge, '#' for the side borders that they leave.
static std::string header_row(int width) {
    std::string row(static_cast<size_t>(width), ' ');
    row.front() = '#';
    row.back() = '#';
    const std::pair<int, std::string> headers[] = {{1, "Title"}, {26, "Username"}, {43, "Password"}, {76, "URL"}};
    for (const auto& [column, text] : headers) {
        for (size_t i = 0; i < text.size() && column + static_cast<int>(i) < width; ++i)
            row[static_cast<size_t>(column) + i] = text[i];
    }
    return row;
}

TEST(build_layout, headers_need_room_for_their_first_letter) {
    EXPECT_EQ(header_row(80),
              "#Title" + std::string(20, ' ') + "Username" + std::string(9, ' ') + "Password" +
                  std::string(25, ' ') + "URL#");
    // One group named "a": G = 6, so a W-column screen gives a W - 6 pane.
    test_db db({{"a", 0}});
    virtual_terminal terminal(24, 86);
    for (int width : {80, 77, 76, 44, 43, 27, 26}) {
        terminal.resize(24, width + 6, false);
        build_layout(db.get());
        ASSERT_EQ(getmaxx(entries_frame), width);
        EXPECT_EQ(row_text(entries_frame, 1), header_row(width)) << width;
    }
    // Written whole: the rest of a header that starts in the last column
    // wraps onto the separator row.
    terminal.resize(24, 77 + 6, false);
    build_layout(db.get());
    EXPECT_EQ(cell_char(entries_frame, 1, 76), chtype('U'));
    EXPECT_EQ(cell_char(entries_frame, 2, 0), chtype('R'));
    EXPECT_EQ(cell_char(entries_frame, 2, 1), chtype('L'));
    EXPECT_EQ(cell_char(entries_frame, 2, 2), acs(ACS_HLINE));
}

TEST(build_layout, a_database_without_groups_gives_a_five_column_pane) {
    virtual_terminal terminal(24, 80);
    test_db db({});
    build_layout(db.get());
    EXPECT_EQ(getmaxx(groups_frame), 5);
    EXPECT_EQ(getmaxx(groups_list), 3);
    EXPECT_EQ(getbegx(entries_frame), 5);
    // "Groups" is written whole from (1, 1): its end runs over the right
    // border and wraps onto the separator row.
    EXPECT_EQ(row_text(groups_frame, 1), "#Grou");
    EXPECT_EQ(cell_char(groups_frame, 2, 0), chtype('p'));
    EXPECT_EQ(cell_char(groups_frame, 2, 1), chtype('s'));
    EXPECT_EQ(cell_char(groups_frame, 2, 2), acs(ACS_HLINE));
    EXPECT_EQ(cell_char(groups_frame, 2, 3), acs(ACS_HLINE));
    EXPECT_EQ(cell_char(groups_frame, 2, 4), acs(ACS_RTEE));
}

TEST(build_layout, a_pane_wider_than_the_screen_is_cut_at_its_edge) {
    virtual_terminal terminal(24, 40);
    test_db db({{std::string(50, 'n'), 0}});  // G = 55
    build_layout(db.get());
    ASSERT_NE(groups_frame, nullptr);
    // Made no wider than the screen, with the border at its edge.
    EXPECT_EQ(getmaxx(groups_frame), 40);
    EXPECT_EQ(getmaxx(groups_list), 38);
    EXPECT_EQ(entries_frame, nullptr);
    EXPECT_EQ(entries_list, nullptr);
    EXPECT_EQ(getmaxx(title_bar), 40);
    EXPECT_EQ(getmaxx(help_bar), 40);
    EXPECT_EQ(screen_char(1, 0), acs(ACS_ULCORNER));
    EXPECT_EQ(screen_char(1, 39), acs(ACS_URCORNER));
    EXPECT_EQ(screen_char(3, 39), acs(ACS_RTEE));
    EXPECT_EQ(screen_char(10, 39), acs(ACS_VLINE));
}

TEST(build_layout, every_window_fits_the_screen_through_resizes) {
    virtual_terminal terminal(24, 80);
    test_db wide({{std::string(30, 'n'), 0}});  // G = 35
    const int sizes[][2] = {{28, 31}, {18, 78}, {27, 80}, {10, 20}, {40, 36}, {24, 34}, {30, 120}};
    for (const auto& size : sizes) {
        terminal.resize(size[0], size[1], false);
        build_layout(wide.get());
        for (WINDOW* window : {groups_frame, groups_list, entries_frame, entries_list, title_bar, help_bar}) {
            if (window == nullptr) continue;
            EXPECT_LE(getbegx(window) + getmaxx(window), size[1]) << size[0] << "x" << size[1];
            EXPECT_LE(getbegy(window) + getmaxy(window), size[0]) << size[0] << "x" << size[1];
        }
    }
}

TEST(build_layout, a_pane_as_wide_as_the_screen_leaves_no_entry_pane) {
    virtual_terminal terminal(24, 40);
    test_db db({{std::string(35, 'n'), 0}});  // G = 40
    build_layout(db.get());
    EXPECT_NE(groups_list, nullptr);
    EXPECT_EQ(entries_frame, nullptr);
    EXPECT_EQ(entries_list, nullptr);
}

TEST(build_layout, a_screen_of_five_lines_has_no_lists) {
    virtual_terminal terminal(5, 80);
    test_db db({{"abcd", 0}});
    build_layout(db.get());
    EXPECT_EQ(groups_list, nullptr);
    EXPECT_EQ(entries_list, nullptr);
    EXPECT_EQ(window_height(groups_list), -1);
    ASSERT_NE(groups_frame, nullptr);
    EXPECT_EQ(getmaxy(groups_frame), 3);
    // Row 2 is the frame's last row: the separator replaces the bottom border.
    EXPECT_EQ(cell_char(groups_frame, 2, 0), acs(ACS_LTEE));
    EXPECT_EQ(cell_char(groups_frame, 2, 8), acs(ACS_RTEE));
}

// A window of no rows or no columns is absent: curses takes a size of 0
// to mean "to the screen's edge", over the frames' bottom border.
TEST(build_layout, windows_of_no_size_are_absent) {
    virtual_terminal terminal(24, 80);
    test_db db({{"abcd", 0}});  // G = 9
    // Rows, columns, then which of the frames, the group list and the entry list are made.
    for (auto [rows, cols, frames, groups, entries] :
         {std::tuple{6, 80, true, false, false}, std::tuple{2, 80, false, false, false},
          std::tuple{24, 11, true, true, false}}) {
        SCOPED_TRACE(rows);
        terminal.resize(rows, cols, false);
        build_layout(db.get());
        EXPECT_EQ(groups_frame != nullptr, frames);
        EXPECT_EQ(groups_list != nullptr, groups);
        EXPECT_EQ(entries_list != nullptr, entries);
        if (frames) {
            EXPECT_EQ(cell_char(groups_frame, rows - 3, 0), acs(ACS_LLCORNER));  // the bottom border
        }
    }
}

TEST(build_layout, a_rebuild_after_a_resize_gives_blank_new_windows) {
    virtual_terminal terminal(24, 80);
    test_db db({{"abcd", 0}});
    build_layout(db.get());
    wattrset(groups_list, A_REVERSE);
    mvwaddstr(groups_list, 0, 0, "old");
    mvwaddstr(entries_list, 5, 3, "old");
    mvwaddstr(title_bar, 0, 0, "old");
    mvwaddstr(help_bar, 0, 0, "old");
    terminal.resize(30, 100, false);
    build_layout(db.get());
    expect_geometry(groups_list, {24, 7, 3, 1}, "groups_list");
    expect_geometry(entries_list, {24, 89, 3, 1}, "entries_list");
    expect_geometry(help_bar, {1, 100, 29, 0}, "help_bar");
    for (int row = 0; row < 24; ++row) {
        EXPECT_TRUE(row_is_blank(groups_list, row));
        EXPECT_TRUE(row_is_blank(entries_list, row));
    }
    EXPECT_TRUE(row_is_blank(title_bar, 0));
    EXPECT_TRUE(row_is_blank(help_bar, 0));
    EXPECT_EQ(getattrs(groups_list), A_NORMAL);
}

TEST(title_bar, shows_the_text_cut_at_the_edge_and_clears_the_rest) {
    virtual_terminal terminal(24, 20);
    test_db db({{"a", 0}});
    build_layout(db.get());
    draw_title_bar("/a/very/long/path/to/a/database.kdb");
    // The text stops at the last column, and the blank line drawn from the
    // cursor there takes that column.
    EXPECT_TRUE(text_row_is(title_bar, 0, "/a/very/long/path/t "));
    EXPECT_EQ(screen_row(0), "/a/very/long/path/t ");
    draw_title_bar("/x.kdb");
    EXPECT_TRUE(text_row_is(title_bar, 0, "/x.kdb"));
    EXPECT_EQ(screen_row(0), "/x.kdb              ");
    // Nothing ran onto the next line.
    EXPECT_EQ(screen_char(1, 0), acs(ACS_ULCORNER));
}

TEST(title_bar, draws_nothing_without_a_layout) {
    virtual_terminal terminal(24, 80);
    title_bar = nullptr;
    draw_title_bar("/x.kdb");
    EXPECT_EQ(screen_row(0), std::string(80, ' '));
}
