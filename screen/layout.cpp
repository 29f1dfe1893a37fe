#include "screen/layout.h"

#include <climits>
#include <cstdint>

#include "kpass/kpass.h"
#include "screen/visible_text.h"

WINDOW* title_bar = nullptr;
WINDOW* groups_frame = nullptr;
WINDOW* groups_list = nullptr;
WINDOW* entries_frame = nullptr;
WINDOW* entries_list = nullptr;
WINDOW* help_bar = nullptr;

const int title_width = 25;
const int username_width = 17;
const int password_width = 33;
const int url_width = 128;

int window_height(const WINDOW* window) { return window == nullptr ? -1 : getmaxy(window); }
int window_width(const WINDOW* window) { return window == nullptr ? -1 : getmaxx(window); }

int groups_pane_width(const kpass_db* db) {
    if (db == nullptr || db->group_count == 0 || db->groups == nullptr) return 5;
    // Counted wide and capped, so that a huge name or level cannot overflow.
    std::uint64_t widest = 0;
    for (std::uint32_t i = 0; i < db->group_count; ++i) {
        const kpass_group* group = db->groups[i];
        std::uint64_t indented = text_cells(group->name) + 3ull * group->level;
        if (indented > widest) widest = indented;
    }
    const std::uint64_t largest = INT_MAX - 5;
    return static_cast<int>(widest > largest ? largest : widest) + 5;
}

// Blanked first: the window may hold a revealed password, which delwin
// would leave in freed memory as curses cells.
static void delete_window(WINDOW** window) {
    if (*window != nullptr) {
        werase(*window);
        delwin(*window);
    }
    *window = nullptr;
}

// curses takes a size of 0 to mean "to the screen's (or the parent's)
// edge": a list of no rows would reach over its frame's bottom border. A
// window of no rows or no columns is not made, as one curses refuses.
static WINDOW* new_window(WINDOW* parent, int rows, int cols, int top, int left) {
    if (rows <= 0 || cols <= 0) return nullptr;
    if (parent == nullptr) return newwin(rows, cols, top, left);
    return derwin(parent, rows, cols, top, left);
}

// Border, and the separator line under the header row: ACS_LTEE, ACS_HLINE
// across, ACS_RTEE. Each separator piece is skipped when its position lies
// outside the frame. curses reads outside a window one column wide when it
// draws its border, so such a frame gets none.
static void draw_frame(WINDOW* frame, int width) {
    if (width >= 2) wborder(frame, 0, 0, 0, 0, 0, 0, 0, 0);
    if (wmove(frame, 2, 0) == OK) waddch(frame, ACS_LTEE);
    if (wmove(frame, 2, 1) == OK) whline(frame, ACS_HLINE, width - 2);
    if (wmove(frame, 2, width - 1) == OK) waddch(frame, ACS_RTEE);
}

// A header is written whole, or not at all when its start lies outside.
static void draw_header(WINDOW* frame, int column, const char* text) {
    if (wmove(frame, 1, column) == OK) waddstr(frame, text);
}

static void decorate_groups_frame(int width) {
    if (groups_frame == nullptr) return;
    draw_frame(groups_frame, width);
    draw_header(groups_frame, 1, "Groups");
}

static void decorate_entries_frame(int width) {
    if (entries_frame == nullptr) return;
    draw_frame(entries_frame, width);
    int column = 1;
    draw_header(entries_frame, column, "Title");
    column += title_width;
    draw_header(entries_frame, column, "Username");
    column += username_width;
    draw_header(entries_frame, column, "Password");
    column += password_width;
    draw_header(entries_frame, column, "URL");
}

void build_layout(const kpass_db* db) {
    // A derived window goes before its frame: curses refuses to delete a
    // window that still has one.
    delete_window(&groups_list);
    delete_window(&groups_frame);
    delete_window(&entries_list);
    delete_window(&entries_frame);
    delete_window(&title_bar);
    delete_window(&help_bar);

    const int h = getmaxy(stdscr);
    const int w = getmaxx(stdscr);
    const int g = groups_pane_width(db);
    // A group pane wider than the screen is cut at the screen's right edge.
    // Its windows are made only as wide as the screen: a window that reaches
    // past the edge with a derived window in it corrupts curses' memory on a
    // later terminal resize.
    const int groups_width = g < w ? g : w;

    // A window of no size, and one that curses refuses, stays null; so do
    // the lists of an absent frame.
    groups_frame = new_window(nullptr, h - 2, groups_width, 1, 0);
    groups_list = groups_frame ? new_window(groups_frame, h - 6, groups_width - 2, 3, 1) : nullptr;
    entries_frame = new_window(nullptr, h - 2, w - g, 1, g);
    entries_list = entries_frame ? new_window(entries_frame, h - 6, w - g - 2, 3, 1) : nullptr;
    title_bar = new_window(nullptr, 1, w, 0, 0);
    help_bar = new_window(nullptr, 1, w, h - 1, 0);

    if (groups_list != nullptr) keypad(groups_list, TRUE);
    if (entries_list != nullptr) keypad(entries_list, TRUE);

    decorate_groups_frame(groups_width);
    decorate_entries_frame(w - g);

    if (groups_frame != nullptr) wrefresh(groups_frame);
    if (entries_frame != nullptr) wrefresh(entries_frame);
}
