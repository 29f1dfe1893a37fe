#include "screen/entries_pane.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "kpass/kpass.h"
#include "screen/layout.h"
#include "screen/visible_text.h"

namespace {

// One column of the table: where it starts, how many cells of its text it
// writes and where a cut text gets its "+".
struct column_rule {
    int start;
    int max_cells;
    int mark_column;
};

constexpr int password_mask_length = 8;
const char password_mask[] = "********";

// Columns other than the last keep their last cell blank as a separator,
// so they write one cell less than their width and mark the cell before.
column_rule title_column() { return {0, title_width - 1, title_width - 2}; }
column_rule username_column() {
    return {title_width, username_width - 1, title_width + username_width - 2};
}
column_rule password_column() {
    int start = title_width + username_width;
    return {start, password_width - 1, start + password_width - 2};
}
column_rule url_column() {
    int start = title_width + username_width + password_width;
    return {start, url_width, start + url_width - 1};
}

// Writes a column's text when its start lies inside the window, then the
// "+" of a cut text: one longer than the column, or one that would reach the
// window's last column. The cut is decided first, from the cells of the
// whole text, and a cut text is written only up to the cell before the
// mark, so that a wide character never lies under the "+" and nothing runs
// over the edge. The mark carries reverse video itself, on top of the row's
// attribute, and goes on even when the text could not be written.
void draw_column(WINDOW* window, int row, const column_rule& column, const char* text, int width) {
    const std::size_t cells = text_cells(text);
    const bool cut = cells > static_cast<std::size_t>(column.max_cells) ||
                     static_cast<std::int64_t>(column.start) + static_cast<std::int64_t>(cells) >= width;
    const int mark = column.mark_column < width - 1 ? column.mark_column : width - 1;
    const int shown = cut ? std::max(0, std::min(column.max_cells, mark - column.start)) : column.max_cells;
    if (wmove(window, row, column.start) == OK) add_visible_text(window, text, shown);
    if (cut && wmove(window, row, mark) == OK) waddch(window, '+' | A_REVERSE);
}

void draw_entry(WINDOW* window, int row, const kpass_entry* entry, bool show_password, int width) {
    if (wmove(window, row, 0) == OK) whline(window, ' ', width);
    draw_column(window, row, title_column(), entry->title, width);
    draw_column(window, row, username_column(), entry->username, width);
    const column_rule password = password_column();
    if (show_password) {
        draw_column(window, row, password, entry->password, width);
    } else if (wmove(window, row, password.start) == OK) {
        // A fixed text, never marked.
        waddnstr(window, password_mask, password_mask_length);
    }
    draw_column(window, row, url_column(), entry->url, width);
}

// Draws the rows of the group's entries from first_position on until the
// window is full; returns the next free row.
int draw_rows(WINDOW* window, const kpass_db* db, std::uint32_t group_id, int first_position,
              int cursor_position, bool focused, bool reveal) {
    const int last_row = window_height(window) - 1;
    const int width = window_width(window);
    int row = 0;
    std::int64_t position = 0;
    for (std::uint32_t i = 0; i < db->entry_count && row <= last_row; ++i) {
        const kpass_entry* entry = db->entries[i];
        if (entry->group_id != group_id) continue;
        if (position < first_position) {
            ++position;
            continue;
        }
        const bool under_cursor = position == cursor_position;
        wattrset(window, focused && under_cursor ? A_REVERSE : A_NORMAL);
        draw_entry(window, row, entry, under_cursor && reveal, width);
        ++row;
        ++position;
    }
    return row;
}

}  // namespace

void draw_entries(const kpass_db* db, int group_index, int first_position, int cursor_position,
                  bool focused, bool reveal) {
    WINDOW* window = entries_list;
    if (window == nullptr) return;
    const int last_row = window_height(window) - 1;
    const int width = window_width(window);

    // Only an existing group has entries to show; any other index (as in a
    // database without groups) gives a blank table.
    const bool has_entries = db != nullptr && db->entry_count > 0 && db->entries != nullptr;
    const bool group_exists = db != nullptr && db->groups != nullptr && group_index >= 0 &&
                              static_cast<std::uint32_t>(group_index) < db->group_count;
    int next_free_row = 0;
    if (has_entries && group_exists && last_row >= 0) {
        next_free_row = draw_rows(window, db, db->groups[group_index]->id, first_position,
                                  cursor_position, focused, reveal);
    }

    wattrset(window, A_NORMAL);
    for (int row = next_free_row; row <= last_row; ++row) {
        if (wmove(window, row, 0) == OK) whline(window, ' ', width);
    }
    wrefresh(window);
}
