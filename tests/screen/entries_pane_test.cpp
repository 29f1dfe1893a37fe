#include "screen/entries_pane.h"

#include <gtest/gtest.h>

#include <string>

#include "cells.h"
#include "screen/layout.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

// One group "g" gives G = 6: a screen W columns wide gives a table W - 8
// columns wide.
constexpr int table_margin = 8;

std::string bytes(int count, char first = 'a') {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>(first + i % 26);
    return text;
}

// A row of the table: each text placed at its column, cut at the width.
std::string table_row(int width, const std::string& title, const std::string& username,
                      const std::string& password, const std::string& url) {
    std::string row(static_cast<size_t>(width), ' ');
    auto place = [&](int column, const std::string& text) {
        for (size_t i = 0; i < text.size() && column + static_cast<int>(i) < width; ++i)
            row[static_cast<size_t>(column) + i] = text[i];
    };
    place(0, title);
    place(25, username);
    place(42, password);
    place(75, url);
    return row;
}

}  // namespace

TEST(draw_entries, texts_that_fit_are_shown_whole_and_unmarked) {
    virtual_terminal terminal(24, 204 + table_margin);
    test_db db({{"g", 0}}, {{0, bytes(24), bytes(16, 'A'), bytes(32, 'a'), bytes(128, 'A')}});
    build_layout(db.get());
    ASSERT_EQ(getmaxx(entries_list), 204);
    draw_entries(db.get(), 0, 0, 0, false, true);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(204, bytes(24), bytes(16, 'A'), bytes(32), bytes(128, 'A'))));
    EXPECT_EQ(cell_char(entries_list, 0, 202), chtype('A' + 127 % 26));
    EXPECT_EQ(cell_char(entries_list, 0, 203), chtype(' '));
}

TEST(draw_entries, texts_one_byte_too_long_are_marked_in_their_last_cell) {
    virtual_terminal terminal(24, 204 + table_margin);
    test_db db({{"g", 0}}, {{0, bytes(25), bytes(17, 'A'), bytes(33, 'a'), bytes(129, 'A')}});
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 0, false, true);
    std::string want = table_row(204, bytes(23) + "+", bytes(15, 'A') + "+", bytes(31) + "+", bytes(127, 'A') + "+");
    EXPECT_TRUE(text_row_is(entries_list, 0, want, A_NORMAL, "23 40 73 202"));
    EXPECT_TRUE(row_is_blank(entries_list, 1));
}

TEST(draw_entries, a_url_running_into_the_edge_is_marked_in_the_last_column) {
    virtual_terminal terminal(24, 80 + table_margin);
    test_db db({{"g", 0}}, {{0, "t", "u", "p", "abcdefgh"}});
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 0, false, false);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(80, "t", "u", "********", "abcd+"), A_NORMAL, "79"));
    // What ran over the edge onto the next row was blanked again.
    EXPECT_TRUE(row_is_blank(entries_list, 1));
}

TEST(draw_entries, a_text_ending_in_the_last_column_is_marked_there) {
    virtual_terminal terminal(24, 30 + table_margin);
    test_db db({{"g", 0}}, {{0, "title", "abcde", "secret", ""}});
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 0, false, false);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(30, "title", "abcd+", "", ""), A_NORMAL, "29"));
}

TEST(draw_entries, rows_of_a_table_too_narrow_for_urls_end_in_a_mark) {
    test_db db({{"g", 0}}, {{0, "one", "", "", ""}, {0, "two", "u", "p", "http://x"}});
    virtual_terminal terminal(24, 80);
    for (int width : {75, 60}) {
        terminal.resize(24, width + table_margin, false);
        build_layout(db.get());
        draw_entries(db.get(), 0, 0, 1, true, false);
        std::string last_column = std::to_string(width - 1);
        std::string first = table_row(width, "one", "", "********", "");
        first.back() = '+';
        EXPECT_TRUE(text_row_is(entries_list, 0, first, A_NORMAL, last_column)) << width;
        std::string second = table_row(width, "two", "u", "********", "");
        second.back() = '+';
        EXPECT_TRUE(text_row_is(entries_list, 1, second, A_REVERSE)) << width;
    }
    terminal.resize(24, 76 + table_margin, false);
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 1, false, false);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(76, "one", "", "********", "")));
}

TEST(draw_entries, masked_passwords_are_never_marked) {
    virtual_terminal terminal(24, 80 + table_margin);
    test_db db({{"g", 0}}, {{0, "t", "u", bytes(40), "url"}, {0, "t2", "u2", bytes(40), "url"}});
    build_layout(db.get());
    // Revealed for the cursor entry only, and even without focus.
    draw_entries(db.get(), 0, 0, 1, false, true);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(80, "t", "u", "********", "url")));
    EXPECT_TRUE(text_row_is(entries_list, 1, table_row(80, "t2", "u2", bytes(31) + "+", "url"), A_NORMAL, "73"));
    draw_entries(db.get(), 0, 0, 1, false, false);
    EXPECT_TRUE(text_row_is(entries_list, 1, table_row(80, "t2", "u2", "********", "url")));
}

TEST(draw_entries, the_focused_cursor_row_is_reversed_and_marks_stay_reversed) {
    virtual_terminal terminal(24, 80 + table_margin);
    test_db db({{"g", 0}}, {{0, bytes(30), "u", "p", "url"}, {0, "t", bytes(20), "p", "url"}, {0, "x"}});
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 1, true, false);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(80, bytes(23) + "+", "u", "********", "url"), A_NORMAL, "23"));
    EXPECT_TRUE(text_row_is(entries_list, 1, table_row(80, "t", bytes(15) + "+", "********", "url"), A_REVERSE));
    EXPECT_TRUE(text_row_is(entries_list, 2, table_row(80, "x", "", "********", "")));
    EXPECT_EQ(getattrs(entries_list), A_NORMAL);

    draw_entries(db.get(), 0, 0, 1, false, false);
    EXPECT_TRUE(text_row_is(entries_list, 1, table_row(80, "t", bytes(15) + "+", "********", "url"), A_NORMAL, "40"));
}

TEST(draw_entries, shows_the_group_entries_from_the_first_position_until_full) {
    virtual_terminal terminal(10, 80 + table_margin);  // 4 rows
    test_db db({{"g", 0}, {"h", 0}},
               {{1, "h0"}, {0, "e0"}, {0, "e1"}, {1, "h1"}, {0, "e2"}, {0, "e3"}, {0, "e4"}, {1, "h2"},
                {0, "e5"}, {0, "e6"}, {0, "e7"}});
    build_layout(db.get());
    ASSERT_EQ(getmaxy(entries_list), 4);
    draw_entries(db.get(), 0, 2, 3, true, false);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(80, "e2", "", "********", "")));
    EXPECT_TRUE(text_row_is(entries_list, 1, table_row(80, "e3", "", "********", ""), A_REVERSE));
    EXPECT_TRUE(text_row_is(entries_list, 2, table_row(80, "e4", "", "********", "")));
    EXPECT_TRUE(text_row_is(entries_list, 3, table_row(80, "e5", "", "********", "")));

    draw_entries(db.get(), 1, 1, 0, true, false);
    EXPECT_TRUE(text_row_is(entries_list, 0, table_row(80, "h1", "", "********", "")));
    EXPECT_TRUE(text_row_is(entries_list, 1, table_row(80, "h2", "", "********", "")));
    EXPECT_TRUE(row_is_blank(entries_list, 2));
    EXPECT_TRUE(row_is_blank(entries_list, 3));
}

TEST(draw_entries, blank_table_for_no_entries_or_a_position_past_them) {
    virtual_terminal terminal(24, 80 + table_margin);
    test_db db({{"g", 0}, {"empty", 1}}, {{0, "a"}, {0, "b"}});
    build_layout(db.get());
    auto expect_blank_after = [&](int group, int first) {
        draw_entries(db.get(), 0, 0, 0, true, true);
        draw_entries(db.get(), group, first, first, true, true);
        for (int row = 0; row < 18; ++row) EXPECT_TRUE(row_is_blank(entries_list, row)) << group << "," << first;
    };
    expect_blank_after(1, 0);
    expect_blank_after(0, 2);
    expect_blank_after(0, 5);
    // An index that names no group shows nothing and reads no group.
    expect_blank_after(2, 0);
    expect_blank_after(-1, 0);
}

TEST(draw_entries, a_database_without_groups_gives_a_blank_table) {
    virtual_terminal terminal(24, 80);
    test_db db({}, {{0, "orphan", "u", "p", "url"}});
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 0, true, true);
    for (int row = 0; row < 18; ++row) EXPECT_TRUE(row_is_blank(entries_list, row));
}

TEST(draw_entries, draws_nothing_into_an_absent_table) {
    virtual_terminal terminal(24, 40);
    test_db db({{std::string(40, 'n'), 0}}, {{0, "t"}});
    build_layout(db.get());
    ASSERT_EQ(entries_list, nullptr);
    draw_entries(db.get(), 0, 0, 0, true, true);
}
