#include "dialogs/centred_window.h"

#include <cstdio>
#include <string_view>

#include "keys/input.h"
#include "screen/blank_screen.h"

namespace {

// Writes text (ASCII: a byte a cell) on the standard screen from its top
// left, wrapped at blanks: each row takes the words that fit the width, and
// the blank where it breaks is dropped. A word wider than the screen is
// broken at the width, so that the rest of it still shows. Rows beyond the
// screen's last are left out: the text keeps its reading order, and on a
// screen that short its start ("Terminal too small") says the most. Cutting
// the line to the width instead lost "Enter: back." on the very terminals
// that show it.
void add_wrapped(std::string_view text) {
    const auto width = static_cast<std::size_t>(getmaxx(stdscr));
    for (int row = 0; !text.empty() && row < getmaxy(stdscr); ++row) {
        std::size_t take = text.size();
        if (take > width) {
            const std::size_t blank = text.rfind(' ', width);
            take = blank == std::string_view::npos ? width : blank;
        }
        mvwaddnstr(stdscr, row, 0, text.data(), static_cast<int>(take));
        text.remove_prefix(take);
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    }
}

}  // namespace

bool wait_for_room(int height, int width) {
    char line[80];
    std::snprintf(line, sizeof line, "Terminal too small: %dx%d needed. Enter: back.", width, height);
    blank_screen();
    add_wrapped(line);
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
