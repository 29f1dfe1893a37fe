#include "app/entry_view.h"

#include <curses.h>

#include <ctime>
#include <optional>

#include "app/app_state.h"
#include "app/browsing_screen.h"
#include "app/copy_text.h"
#include "app/page_keys.h"
#include "app/save_attachment.h"
#include "db/queries.h"
#include "dialogs/centred_window.h"
#include "dialogs/entry_values.h"
#include "keys/input.h"
#include "kpass/kpass.h"
#include "screen/entry_view.h"
#include "screen/entry_view_page.h"
#include "screen/utf8.h"

namespace {

constexpr int least_rows = 8;
constexpr int least_cols = 30;

struct entry_view {
    app_state* app = nullptr;
    const kpass_entry* entry = nullptr;
    bool reveal = false;
    entry_view_page page;
    int first = 0;  // the page's row shown first
    WINDOW* window = nullptr;
};

void close_window(entry_view& v) {
    if (v.window == nullptr) return;
    werase(v.window);  // a revealed password and the notes must not stay in freed memory
    delwin(v.window);
    v.window = nullptr;
}

// A window of the whole screen, once the screen is large enough; false when
// the user gave up waiting for that.
bool open_window(entry_view& v) {
    while (LINES < least_rows || COLS < least_cols) {
        if (!wait_for_room(least_rows, least_cols)) return false;
    }
    v.window = newwin(LINES, COLS, 0, 0);
    if (v.window == nullptr) return false;
    keypad(v.window, TRUE);
    return true;
}

// Lays the page out for the window, the row shown first kept first.
void lay_out(entry_view& v) {
    std::optional<view_row> shown;
    if (!v.page.rows.empty()) shown = v.page.rows[static_cast<std::size_t>(v.first)];
    char expires[entry_value_size];
    v.page = lay_out_entry_view(v.entry, format_expiry(v.entry->etime, std::time(nullptr), expires), v.reveal,
                                view_row_width(v.window), utf8_locale());
    const int first = shown ? row_showing(v.page, *shown) : 0;
    v.first = clamp_first(first, static_cast<int>(v.page.rows.size()), view_page_rows(v.window));
}

void draw(const entry_view& v) { draw_entry_view(v.window, v.page, v.first); }

// A new window for the screen as it is now (after a resize, or a dialog
// drawn over the view), the page laid out and drawn in it; false when the
// user gave up waiting for room.
bool draw_afresh(entry_view& v) {
    close_window(v);
    if (!open_window(v)) return false;
    lay_out(v);
    draw(v);
    return true;
}

void show_password(entry_view& v, bool reveal) {
    v.reveal = reveal;
    lay_out(v);
    draw(v);
}

// The first row a scroll key asks for (clamped later); none for another key.
std::optional<int> scrolled_first(const entry_view& v, int key) {
    const int rows = view_page_rows(v.window);
    switch (key) {
    case KEY_UP: return v.first - 1;
    case KEY_DOWN: return v.first + 1;
    case KEY_PPAGE: return v.first - rows;
    case KEY_NPAGE: return v.first + rows;
    case KEY_HOME: return 0;
    case KEY_END: return static_cast<int>(v.page.rows.size());
    default: return std::nullopt;
    }
}

const char* copied_text(const kpass_entry* entry, int key) {
    switch (key) {
    case 'x': return entry->password;
    case 'u': return entry->username;
    case 'U': return entry->url;
    default: return nullptr;
    }
}

bool leaves_view(int key) { return key == 'q' || key == key_enter || key == key_escape || key == key_input_ended; }

// Handles one key that does not leave the view; false when the view was
// given up while the screen was too small for it.
bool handle_view_key(entry_view& v, int key) {
    if (key == KEY_RESIZE) return draw_afresh(v);
    if (key == 'r' || key == key_space) {
        show_password(v, !v.reveal);
    } else if (const std::optional<int> first = scrolled_first(v, key)) {
        v.first = clamp_first(*first, static_cast<int>(v.page.rows.size()), view_page_rows(v.window));
        draw(v);
    } else if (const char* text = copied_text(v.entry, key)) {
        if (!copy_text(v.app, text)) {
            v.reveal = false;
            return draw_afresh(v);
        }
        show_password(v, false);
    } else if (key == 'w') {
        v.reveal = false;
        save_attachment(v.entry);
        return draw_afresh(v);
    }
    return true;
}

// The view's key loop; its only ways out are the keys that leave it and
// a wait for room given up.
void run_view(entry_view& v) {
    for (bool open = draw_afresh(v); open;) {
        const int key = read_key_from(v.window);
        open = !leaves_view(key) && handle_view_key(v, key);
    }
    close_window(v);
}

}  // namespace

void view_entry(app_state* app) {
    browse_state& b = app->browse;
    const kpass_entry* entry = group_entry_at(app->current_db, b.shown_group, b.entry_cursor);
    if (entry == nullptr) return;
    {
        entry_view v;
        v.app = app;
        v.entry = entry;
        run_view(v);
    }
    b.reveal = false;
    draw_browsing_screen(app);
}
