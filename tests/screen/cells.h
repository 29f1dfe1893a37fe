// Cell checks for the drawing tests.
#pragma once

#include <curses.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

// A row pattern: 'T' stands for ACS_LTEE, 'L' for ACS_LLCORNER, 'I' for
// ACS_VLINE, every other character for itself; the pattern is padded with
// blanks to the window's width.
chtype pattern_char(char c);

// Every cell of the row matches the pattern, and every cell has attrs
// (except those listed in reverse_columns, which must be A_REVERSE).
::testing::AssertionResult row_is(WINDOW* window, int row, std::string_view pattern,
                                  attr_t attrs = A_NORMAL, std::string_view reverse_columns = "");

// The same with the text taken literally (no line-drawing characters).
::testing::AssertionResult text_row_is(WINDOW* window, int row, std::string_view text,
                                       attr_t attrs = A_NORMAL, std::string_view reverse_columns = "");

// Every cell of the row is a blank in normal video.
::testing::AssertionResult row_is_blank(WINDOW* window, int row);

// The text of a row, ACS characters shown as in patterns ('T', 'L', 'I',
// other line-drawing characters as '#').
std::string row_pattern(WINDOW* window, int row);
