// Writing texts that come from a database file (or the command line) into a
// window, as display cells (screen/display_text.h) by the rules of the
// running program's locale, so that they can never act on the terminal or
// on the layout.
#pragma once

#include <curses.h>

#include <cstddef>
#include <string_view>

// Writes at most max_cells cells of text (all of it when max_cells is
// negative) at the window's cursor, in the window's current attribute,
// whole units only. Stops at the end of the window's row: nothing wraps
// onto the next row, and a wide character that would not fit whole is not
// written. A null text counts as empty.
void add_visible_text(WINDOW* window, const char* text, int max_cells);
// The same for a text that need not end in a NUL.
void add_visible_text(WINDOW* window, std::string_view text, int max_cells);

// Cells text takes on the screen; 0 for a null text.
std::size_t text_cells(const char* text);
