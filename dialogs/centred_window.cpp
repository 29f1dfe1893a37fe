#include "dialogs/centred_window.h"

#include "keys/input.h"

int centred_row(int height) { return (getmaxy(stdscr) - height) / 2; }

int centred_col(int width) { return (getmaxx(stdscr) - width) / 2; }

WINDOW* open_centred_window(int height, int width, bool enter_gives_up) {
    for (;;) {
        WINDOW* window = newwin(height, width, centred_row(height), centred_col(width));
        if (window) return window;
        // No window to read from: wait on the standard screen until the
        // terminal grows (or, where Enter is the dialog's way out, for Enter).
        for (;;) {
            int key = read_key_from(stdscr);
            if (key == KEY_RESIZE) break;
            if (key == key_input_ended || (enter_gives_up && key == 10)) return nullptr;
        }
    }
}

bool window_intact(WINDOW* window, int height, int width) {
    int top = getbegy(window);
    int left = getbegx(window);
    return getmaxy(window) == height && getmaxx(window) == width && top >= 0 && left >= 0 &&
           top + height <= getmaxy(stdscr) && left + width <= getmaxx(stdscr);
}
