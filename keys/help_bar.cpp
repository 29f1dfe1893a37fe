#include <curses.h>

#include "keys/keymap.h"
#include "screen/layout.h"

namespace {

void add_key_label(WINDOW* window, int key) {
    switch (key) {
        case 9: waddstr(window, "[tab]"); return;
        case 10: waddstr(window, "[return]"); return;
        case 32: waddstr(window, "[space]"); return;
        default:
            // The maps bind printable letters; anything else would not show
            // as one cell, so it shows as '?'.
            waddch(window, key > 32 && key < 127 ? static_cast<chtype>(key) : static_cast<chtype>('?'));
    }
}

// Keys that are not listed: the arrows, the page keys, "/", "n" and "N",
// for moving and finding, which the bar has never listed, and the keys
// added since its text was fixed ("v", "w", "u", "U"), so that the bar
// reads as it always has.
bool unlisted(int key) {
    return key == KEY_DOWN || key == KEY_UP || key == KEY_NPAGE || key == KEY_PPAGE || key == KEY_HOME ||
           key == KEY_END || key == '/' || key == 'n' || key == 'N' || key == 'v' || key == 'w' || key == 'u' ||
           key == 'U';
}

const key_binding* keymap_of(int which) {
    if (which == 0) return group_keymap;
    if (which == 1) return entry_keymap;
    return nullptr;
}

}  // namespace

void draw_help_bar(int which) {
    WINDOW* window = help_bar;
    if (window == nullptr) return;
    wmove(window, 0, 0);
    const key_binding* keymap = keymap_of(which);
    for (const key_binding* slot = keymap; slot != nullptr && slot->key != 0; ++slot) {
        if (unlisted(slot->key)) continue;
        add_key_label(window, slot->key);
        const key_binding* next = slot + 1;
        if (next->key != 0 && next->command == slot->command) {
            waddch(window, ',');
        } else {
            waddch(window, ':');
            waddstr(window, slot->command);
            waddstr(window, "  ");
        }
    }
    whline(window, ' ', getmaxx(window));
    wrefresh(window);
}
