#include <cstring>

#include "dialogs/centred_window.h"
#include "dialogs/prompts.h"
#include "keys/input.h"

namespace {

constexpr int box_height = 7;

// The box drawn on the screen, or null when Enter was read while the screen
// had no room for it (or the input ended).
WINDOW* open_box(const char* text, int width) {
    WINDOW* window = open_centred_window(box_height, width);
    if (!window) return nullptr;
    keypad(window, TRUE);
    wborder(window, 0, 0, 0, 0, 0, 0, 0, 0);
    mvwaddstr(window, 2, 2, text);
    wattrset(window, A_REVERSE);
    mvwaddstr(window, 4, width / 2 - 2, "[OK]");
    wattrset(window, A_NORMAL);
    wrefresh(window);
    return window;
}

}  // namespace

void message_box(const char* text) {
    int width = static_cast<int>(std::strlen(text)) + 4;
    WINDOW* window = open_box(text, width);
    while (window) {
        int key = read_key_from(window);
        if (key == 10 || key == key_input_ended) break;
        // A resize is dropped, unless curses shrank or moved the box to
        // follow a smaller screen: then it is drawn afresh (waiting for room
        // as it does when it opens), since a box beyond the screen's edge
        // must not be refreshed.
        if (key == KEY_RESIZE && !window_intact(window, box_height, width)) {
            delwin(window);
            window = open_box(text, width);
        }
    }
    if (window) delwin(window);
}
