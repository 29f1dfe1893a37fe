// Windows placed in the middle of the screen, and what a dialog does while
// the screen is too small for its window.
#pragma once

#include <curses.h>

// Top row and left column that centre a window of the given height and width
// on stdscr: (screen size - window size) / 2, rounded toward zero.
int centred_row(int height);
int centred_col(int width);

// Creates a height x width window centred on the screen. Curses refuses a
// window that would start above or left of the screen; while it does, this
// waits for keys on stdscr, tries again after every KEY_RESIZE and drops
// every other key. With enter_gives_up, Enter (10) ends the wait instead and
// the result is null; so does the end of the terminal's input, for every
// dialog.
WINDOW* open_centred_window(int height, int width, bool enter_gives_up);

// True when window still has the given size and lies wholly on the screen.
// After a resize to a smaller screen curses may have shrunk or moved it, or
// left it beyond the screen's edge, where refreshing it reads outside
// curses' own arrays.
bool window_intact(WINDOW* window, int height, int width);
