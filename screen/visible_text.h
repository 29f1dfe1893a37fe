// Writing texts that come from a database file (or the command line) into a
// window so that they can never act on the terminal or on the layout.
#pragma once

#include <curses.h>

#include <cstddef>

// Writes at most max_bytes bytes of text (all of it when max_bytes is
// negative) at the window's cursor, in the window's current attribute, one
// cell per byte: printable ASCII as itself, every other byte (control
// characters, escape sequences, bytes of 0x80 and above) as '?'. Stops where
// curses can write no further, at the window's bottom-right corner, as
// waddnstr does. A null text counts as empty.
void add_visible_text(WINDOW* window, const char* text, int max_bytes);

// Length of text in bytes; 0 for a null text.
std::size_t text_length(const char* text);
