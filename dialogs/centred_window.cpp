#include "dialogs/centred_window.h"

#include <cstdio>

#include "keys/input.h"
#include "screen/blank_screen.h"

bool wait_for_room(int height, int width) {
    char line[80];
    std::snprintf(line, sizeof line, "Terminal too small: %dx%d needed. Enter: back.", width, height);
    blank_screen();
    mvwaddnstr(stdscr, 0, 0, line, getmaxx(stdscr));
    wrefresh(stdscr);
    for (;;) {
        int key = read_key_from(stdscr);
        if (key == KEY_RESIZE) {
            blank_screen();
            return true;
        }
        if (key == 10 || key == key_input_ended) return false;
    }
}

int centred_row(int height) { return (getmaxy(stdscr) - height) / 2; }

int centred_col(int width) { return (getmaxx(stdscr) - width) / 2; }

WINDOW* open_centred_window(int height, int width) {
    for (;;) {
        // curses makes a window that hangs over the screen's right or bottom
        // edge; refreshing it reads outside curses' own arrays.
        bool fits = height <= getmaxy(stdscr) && width <= getmaxx(stdscr);
        WINDOW* window = fits ? newwin(height, width, centred_row(height), centred_col(width)) : nullptr;
        if (window) return window;
        if (!wait_for_room(height, width)) return nullptr;
    }
}

bool window_intact(WINDOW* window, int height, int width) {
    int top = getbegy(window);
    int left = getbegx(window);
    return getmaxy(window) == height && getmaxx(window) == width && top >= 0 && left >= 0 &&
           top + height <= getmaxy(stdscr) && left + width <= getmaxx(stdscr);
}
