#include "screen/entry_view.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "screen/entry_view_page.h"
#include "screen/layout.h"
#include "screen/visible_text.h"

namespace {

void draw_row(WINDOW* window, int row, const entry_view_page& page, int index) {
    const int width = view_row_width(window);
    if (wmove(window, row, 1) == OK) whline(window, ' ', width);
    if (index < 0 || static_cast<std::size_t>(index) >= page.rows.size()) return;
    const view_row& shown = page.rows[static_cast<std::size_t>(index)];
    if (wmove(window, row, 1) == OK) add_visible_text(window, view_row_text(page, shown), width);
    if (shown.cut) mvwaddch(window, row, width, '+' | A_REVERSE);
}

void draw_key_line(WINDOW* window, int row, const entry_view_page& page, int first) {
    const int total = static_cast<int>(page.rows.size());
    const int last = std::min(first + view_page_rows(window), total);
    char count[48];
    std::snprintf(count, sizeof count, "%d-%d/%d", first + 1, last, total);
    const int width = view_row_width(window);
    const int count_col = 1 + width - static_cast<int>(std::strlen(count));
    if (wmove(window, row, 1) == OK) whline(window, ' ', width);
    if (wmove(window, row, 1) == OK) add_visible_text(window, entry_view_keys, std::max(0, count_col - 2));
    if (count_col >= 1 && wmove(window, row, count_col) == OK) waddstr(window, count);
}

}  // namespace

int view_page_rows(const WINDOW* window) { return window_height(window) - 3; }

int view_row_width(const WINDOW* window) { return window_width(window) - 2; }

void draw_entry_view(WINDOW* window, const entry_view_page& page, int first) {
    if (window == nullptr) return;
    wattrset(window, A_NORMAL);
    wborder(window, 0, 0, 0, 0, 0, 0, 0, 0);
    const int rows = view_page_rows(window);
    for (int i = 0; i < rows; ++i) draw_row(window, 1 + i, page, first + i);
    if (rows >= 0) draw_key_line(window, rows + 1, page, first);
    wrefresh(window);
}
