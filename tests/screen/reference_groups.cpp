#include "reference_groups.h"

#include <cstdint>

#include "kpass/kpass.h"
#include "screen/layout.h"
#include "screen/visible_text.h"

namespace {

struct tree_view {
    WINDOW* window;
    const kpass_db* db;
    std::int64_t first_row;
    std::int64_t cursor;
    int rows;      // R, the list's height
    int width;     // Wl, the list's width
    attr_t cursor_attr;

    int level(std::int64_t i) const { return db->groups[i]->level; }
    attr_t attr_of(std::int64_t i) const { return i == cursor ? cursor_attr : A_NORMAL; }
};

// The connectors of every earlier row that group i's link to its parent
// crosses: ACS_LTEE on its earlier siblings, ACS_VLINE on their descendants,
// up to the first group of a lower level or row 0.
void draw_upward_links(const tree_view& view, std::int64_t i) {
    const int level = view.level(i);
    const int column = 3 * level - 3;
    for (std::int64_t k = i - 1; k >= view.first_row; --k) {
        const int above = view.level(k);
        if (above < level) break;
        const std::int64_t row = k - view.first_row;
        if (row >= view.rows) continue;
        if (wmove(view.window, static_cast<int>(row), column) != OK) continue;
        wattrset(view.window, view.attr_of(k));
        waddch(view.window, above == level ? ACS_LTEE : ACS_VLINE);
    }
}

// One character at (row, column), when that lies inside the window.
void add_at(WINDOW* window, int row, int column, chtype c) {
    if (wmove(window, row, column) == OK) waddch(window, c);
}

// Group i's own row up to its name: indentation, connector, "->". Returns
// false when the name's column lies outside the window.
bool draw_own_row_start(const tree_view& view, std::int64_t i, int row) {
    const int level = view.level(i);
    if (level == 0) return wmove(view.window, row, 0) == OK;
    wmove(view.window, row, 0);
    whline(view.window, ' ', 3 * level - 3);
    add_at(view.window, row, 3 * level - 3, ACS_LLCORNER);
    add_at(view.window, row, 3 * level - 2, '-');
    add_at(view.window, row, 3 * level - 1, '>');
    return true;
}

void draw_group(const tree_view& view, std::int64_t i) {
    const std::int64_t r = i - view.first_row;
    const bool visible = r < view.rows;
    const int row = static_cast<int>(r);
    wattrset(view.window, view.attr_of(i));
    bool placed = visible && draw_own_row_start(view, i, row);
    if (view.level(i) >= 1) {
        draw_upward_links(view, i);
        if (placed) {
            wattrset(view.window, view.attr_of(i));
            placed = wmove(view.window, row, 3 * view.level(i)) == OK;
        }
    }
    if (!placed) return;
    add_visible_text(view.window, view.db->groups[i]->name, view.width - 1 - 3 * view.level(i));
    whline(view.window, ' ', view.width);
    if (i == view.cursor && wmove(view.window, row, view.width - 2) == OK) waddch(view.window, '*');
}

}  // namespace

void reference_draw_groups(const kpass_db* db, int first_row, int cursor, bool focused) {
    WINDOW* window = groups_list;
    if (window == nullptr) return;
    tree_view view{window,        db, first_row, cursor, window_height(window), window_width(window),
                   focused ? A_REVERSE : A_NORMAL};
    const std::int64_t count = (db != nullptr && db->groups != nullptr) ? db->group_count : 0;

    // A first row at or past the group count (a negative one included, as
    // an unsigned index) leaves the pane blank.
    std::int64_t next_free_row = 0;
    if (first_row >= 0 && first_row < count) {
        // Groups below the window are visited too: their links draw the
        // connectors of the visible rows above them.
        for (std::int64_t i = first_row; i < count; ++i) draw_group(view, i);
        next_free_row = count - first_row;
    }

    wattrset(window, A_NORMAL);
    for (std::int64_t row = next_free_row; row < view.rows; ++row) {
        if (wmove(window, static_cast<int>(row), 0) == OK) whline(window, ' ', view.width);
    }
    wrefresh(window);
}
