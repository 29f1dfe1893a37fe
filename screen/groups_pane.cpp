#include "screen/groups_pane.h"

#include <cstdint>
#include <vector>

#include "kpass/kpass.h"
#include "screen/layout.h"
#include "screen/visible_text.h"

// The tree is drawn from one pass over the groups, backwards from the last
// one, so that a redraw costs time linear in the number of groups whatever
// the shape of the tree.
//
// A group of level m >= 1 draws a link from its own row up to its parent's:
// a line in column 3m - 3 on every row between, ACS_LTEE on the rows of
// its earlier siblings and ACS_VLINE on their descendants. Seen from the
// row of group i, the links that reach it are those of the later groups j
// with level(j) >= 1 for which no group from i to j - 1 has a lower level
// than j. Their levels, all different, are kept as an ascending stack
// while the pass moves up: entering group i - 1 from group i adds level(i)
// and drops every level deeper than level(i - 1), whose links stop at
// group i - 1 or below.

namespace {

using link_levels = std::vector<std::uint16_t>;

struct tree_view {
    WINDOW* window;
    const kpass_db* db;
    std::int64_t first_row;
    std::int64_t cursor;
    int rows;   // the list's height
    int width;  // the list's width
    attr_t cursor_attr;

    int level(std::int64_t i) const { return db->groups[i]->level; }
    attr_t attr_of(std::int64_t i) const { return i == cursor ? cursor_attr : A_NORMAL; }
};

// One character at (row, column), when that lies inside the window. Each
// piece is placed by itself, so that nothing runs on into the next row when
// the pane is cut at the screen's edge.
void add_at(WINDOW* window, int row, int column, chtype c) {
    if (wmove(window, row, column) == OK) waddch(window, c);
}

// The name from column, never past the row's second-to-last cell, then
// blanks to the end of the row and the cursor marker.
void draw_name(const tree_view& view, std::int64_t i, int row, int column) {
    add_visible_text(view.window, view.db->groups[i]->name, view.width - 1 - column);
    whline(view.window, ' ', view.width);
    if (i == view.cursor && wmove(view.window, row, view.width - 2) == OK) waddch(view.window, '*');
}

// The whole row of group i, every cell in the row's attribute: the lines
// of the links that cross it, its own connector, "->", the name.
void draw_tree_row(const tree_view& view, std::int64_t i, const link_levels& links) {
    const int row = static_cast<int>(i - view.first_row);
    const int level = view.level(i);
    wattrset(view.window, view.attr_of(i));
    if (level == 0) {
        if (wmove(view.window, row, 0) == OK) draw_name(view, i, row, 0);
        return;
    }
    wmove(view.window, row, 0);
    whline(view.window, ' ', 3 * level - 3);
    const bool has_later_sibling = !links.empty() && links.back() == level;
    add_at(view.window, row, 3 * level - 3, has_later_sibling ? ACS_LTEE : ACS_LLCORNER);
    add_at(view.window, row, 3 * level - 2, '-');
    add_at(view.window, row, 3 * level - 1, '>');
    for (std::uint16_t link : links) {
        if (link >= level) break;
        add_at(view.window, row, 3 * link - 3, ACS_VLINE);
    }
    if (wmove(view.window, row, 3 * level) == OK) draw_name(view, i, row, 3 * level);
}

void draw_tree(const tree_view& view, std::int64_t count) {
    const std::int64_t last_visible = view.first_row + view.rows - 1;
    link_levels links;
    for (std::int64_t i = count - 1; i >= view.first_row; --i) {
        const int level = view.level(i);
        while (!links.empty() && links.back() > level) links.pop_back();
        if (i <= last_visible) draw_tree_row(view, i, links);
        if (level >= 1 && (links.empty() || links.back() != level))
            links.push_back(static_cast<std::uint16_t>(level));
    }
}

}  // namespace

void draw_groups(const kpass_db* db, int first_row, int cursor, bool focused) {
    WINDOW* window = groups_list;
    if (window == nullptr) return;
    const tree_view view{window, db, first_row, cursor, window_height(window), window_width(window),
                         focused ? A_REVERSE : A_NORMAL};
    const std::int64_t count = (db != nullptr && db->groups != nullptr) ? db->group_count : 0;

    // A first row at or past the group count (a negative one included, as
    // an unsigned index) leaves the pane blank.
    std::int64_t next_free_row = 0;
    if (first_row >= 0 && first_row < count) {
        draw_tree(view, count);
        next_free_row = count - first_row;
    }

    wattrset(window, A_NORMAL);
    for (std::int64_t row = next_free_row; row < view.rows; ++row) {
        if (wmove(window, static_cast<int>(row), 0) == OK) whline(window, ' ', view.width);
    }
    wrefresh(window);
}
