// How a text from a database file (or the command line) shows on the
// terminal: as a run of display units, each one or two cells wide. Every
// width, limit and cut mark of the screen counts these cells, and nothing
// a text holds can act on the terminal or on the layout.
//
// In a UTF-8 locale a unit is one printable character, drawn in its own
// width (2 cells for wide letters such as CJK), together with the combining
// marks that follow it (up to display_marks_max of them, drawn in its cell).
// Everything else is one "?" of one cell: C0 and C1 controls and DEL;
// invalid, overlong, surrogate and cut sequences; non-characters;
// bidirectional controls, zero-width and other invisible format characters;
// a combining mark with no character to sit on, and one past the limit.
// In any other locale every byte is a unit: printable ASCII as itself,
// every other byte as "?".
//
// Curses-free, so that the dialogs can use it too.
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr std::size_t display_marks_max = 4;

struct display_unit {
    wchar_t chars[1 + display_marks_max + 1];  // the character, its marks, a terminating 0
    int cells;                                 // 1 or 2
    std::size_t size;                          // bytes of the text it stands for
};

// The unit at the start of text (not empty), by the rules of the locale
// (utf8 true: UTF-8).
display_unit next_display_unit(std::string_view text, bool utf8);

// Cells the whole text takes.
std::size_t display_cells(std::string_view text, bool utf8);

// Writes into out the text as UTF-8 (utf8) or ASCII, each unit as it shows,
// at most max_cells cells of it (whole units only): what a form field may be
// given. A unit never takes more bytes than the text it stands for, so out
// needs room for text.size() bytes; it is not terminated. Returns the bytes
// written. Nothing is allocated, so that a copy of a password can live
// where the caller wipes it.
std::size_t display_copy(std::string_view text, bool utf8, std::size_t max_cells, char* out);
