// The entry view's page: every field of one entry as the rows of text that
// a window of a given width shows, made for reading. Curses-free: the
// rows are texts of display units (screen/display_text.h), each unit
// written as it shows (a "?" for a control, an invalid byte, a tab outside
// the notes), so that nothing of the entry can act on the terminal.
//
// From the top, one row a field: "Title: ", "Username: ", "URL: " and
// their values; "Password: " and eight "*", or, revealed, the whole
// password wrapped over as many rows as it needs (the rows after the first
// indented under its first character); "Expires: " and the text the caller
// formatted; "Attachment: " and "none", or the attachment's name (or
// "(no name)") and ", N bytes". A row wider than the width is cut (its
// last cell is left for a "+"). Then an empty row, "Notes:", and the notes
// from the row below: a line ends at CR LF, LF or CR alone (a break at the
// very end ends the last line), a line wider than the width wraps between
// two units, so that a wide character is never split, and a tab moves to
// the next multiple of 8 cells (to the row's end at most).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "kpass/secure_memory.h"

struct kpass_entry;

// What a row shows, in the page's order.
enum class view_part { title, username, url, password, expires, attachment, gap, notes_label, notes };

struct view_row {
    std::size_t start;   // the row's text: size bytes of the page's text from start
    std::size_t size;
    bool cut;            // the text was cut: a "+" goes into the row's last cell
    view_part part;
    std::size_t offset;  // the byte of the part's own text the row begins with
};

struct entry_view_page {
    // The rows' texts, one after another, in a secure block: a revealed
    // password and the notes are the database's secrets.
    secure_vector<char> text;
    std::vector<view_row> rows;  // never empty
};

// The page of entry for rows of width cells (at least 1), in UTF-8 (utf8)
// or one byte a unit. expires is the Expires row's value; reveal shows the
// password.
entry_view_page lay_out_entry_view(const kpass_entry* entry, const char* expires, bool reveal, int width,
                                   bool utf8);

// The text of a row of page.
std::string_view view_row_text(const entry_view_page& page, const view_row& row);

// The row of page that shows the start of what another page's row showed
// first (a page of the same entry, laid out for another width or with the
// password shown otherwise): the last row that begins at or before row's
// part and offset.
int row_showing(const entry_view_page& page, const view_row& row);
