// Texts from a database file (or the command line) must show as visible
// characters, one cell per byte, and never reach the terminal as control
// sequences.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cells.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"
#include "screen/visible_text.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

// ESC ] 0 ; ... BEL would retitle an xterm; 0x9b is an 8-bit CSI; the rest
// are cursor motions to curses, or bytes the "C" locale cannot show.
const std::string hostile = "\033]0;pwn\007\x9b" "2J\t\n\r\b\x7f\xe9\xff";
const std::string hostile_shown = "?]0;pwn??2J???????";

// A curses screen whose output goes to a temporary file, to see the bytes
// a real terminal would get.
class capturing_terminal {
public:
    capturing_terminal(int rows, int cols) {
        out_ = std::tmpfile();
        in_ = std::fopen("/dev/null", "r");
        screen_ = newterm("xterm", out_, in_);
        set_term(screen_);
        resize_term(rows, cols);
    }
    ~capturing_terminal() {
        endwin();
        delscreen(screen_);
        std::fclose(in_);
        std::fclose(out_);
    }
    std::string output() {
        std::fflush(out_);
        std::rewind(out_);
        std::string bytes;
        int c;
        while ((c = std::fgetc(out_)) != EOF) bytes += static_cast<char>(c);
        return bytes;
    }

private:
    FILE* out_ = nullptr;
    FILE* in_ = nullptr;
    SCREEN* screen_ = nullptr;
};

}  // namespace

TEST(terminal_safety, raw_curses_output_would_move_and_hide_text) {
    // Why texts are not handed to waddnstr as they are: it expands a tab,
    // breaks the line at a newline and shows 0xe9 as a blank.
    virtual_terminal terminal(5, 40);
    WINDOW* window = newwin(3, 20, 0, 0);
    mvwaddnstr(window, 0, 0, "a\tb", -1);
    EXPECT_EQ(row_text(window, 0).substr(0, 10), "a       b ");
    mvwaddnstr(window, 1, 0, "c\nd", -1);
    EXPECT_EQ(row_text(window, 2).substr(0, 2), "d ");
    mvwaddnstr(window, 0, 0, "\xe9x", -1);
    EXPECT_EQ(row_text(window, 0).substr(0, 2), " x");
    delwin(window);
}

TEST(terminal_safety, each_byte_shows_as_one_visible_cell) {
    virtual_terminal terminal(5, 40);
    WINDOW* window = newwin(3, 30, 0, 0);
    wmove(window, 0, 2);
    add_visible_text(window, hostile.c_str(), -1);
    EXPECT_TRUE(text_row_is(window, 0, "  " + hostile_shown));
    EXPECT_TRUE(row_is_blank(window, 1));
    wmove(window, 1, 0);
    add_visible_text(window, "abcdef", 3);
    EXPECT_TRUE(text_row_is(window, 1, "abc"));
    add_visible_text(window, nullptr, -1);
    EXPECT_EQ(text_cells(nullptr), 0u);
    // At the bottom-right corner curses can go no further, and nothing
    // after it is written over the last cell.
    wmove(window, 2, 27);
    add_visible_text(window, "xyz!", -1);
    EXPECT_EQ(row_text(window, 2).substr(27), "xyz");
    delwin(window);
}

TEST(terminal_safety, hostile_texts_keep_every_column_in_place) {
    virtual_terminal terminal(24, 140);
    const std::string username = hostile.substr(0, 16);
    test_db db({{"g" + hostile, 0}, {hostile, 1}},
               {{0, hostile, username, hostile, hostile}, {0, "next", "u", "p", "url"}});
    build_layout(db.get());
    draw_title_bar(("/tmp/" + hostile).c_str());
    draw_groups(db.get(), 0, 1, true);
    draw_entries(db.get(), 0, 0, 0, true, true);
    EXPECT_TRUE(text_row_is(title_bar, 0, "/tmp/" + hostile_shown));
    const int wl = getmaxx(groups_list);
    EXPECT_TRUE(row_is(groups_list, 0, "g" + hostile_shown));
    std::string second = "L->" + hostile_shown;
    second.resize(static_cast<size_t>(wl - 2), ' ');
    EXPECT_TRUE(row_is(groups_list, 1, second + "*", A_REVERSE));
    std::string row(static_cast<size_t>(getmaxx(entries_list)), ' ');
    row.replace(0, hostile_shown.size(), hostile_shown);
    row.replace(25, 16, hostile_shown.substr(0, 16));
    row.replace(42, hostile_shown.size(), hostile_shown);
    row.replace(75, hostile_shown.size(), hostile_shown);
    EXPECT_TRUE(text_row_is(entries_list, 0, row, A_REVERSE));
    EXPECT_TRUE(text_row_is(entries_list, 1, std::string("next") + std::string(21, ' ') + "u" +
                                                 std::string(16, ' ') + "********" + std::string(25, ' ') + "url"));
}

TEST(terminal_safety, no_control_sequence_from_a_text_reaches_the_terminal) {
    capturing_terminal terminal(24, 120);
    test_db db({{hostile, 0}, {hostile + "x", 1}}, {{0, hostile, hostile, hostile, hostile}});
    build_layout(db.get());
    draw_title_bar(hostile.c_str());
    draw_groups(db.get(), 0, 0, true);
    draw_entries(db.get(), 0, 0, 0, true, true);
    const std::string bytes = terminal.output();
    ASSERT_NE(bytes.find("?]0;pwn"), std::string::npos);
    EXPECT_EQ(bytes.find("\033]"), std::string::npos);
    EXPECT_EQ(bytes.find('\a'), std::string::npos);
    EXPECT_EQ(bytes.find('\b'), std::string::npos);
    for (unsigned char byte : bytes) EXPECT_LT(byte, 0x80u);
}
