// Windows placed in the middle of the screen, and what a dialog does while
// the screen is too small for its window.
#pragma once

#include <curses.h>

// Top row and left column that centre a window of the given height and width
// on stdscr: (screen size - window size) / 2, rounded toward zero.
int centred_row(int height);
int centred_col(int width);

// Creates a height x width window centred on the screen. While the screen
// is too small for it (fewer lines than height, or fewer columns than
// width), the standard screen shows only "Terminal too small: WxH needed.
// Enter: back." from its top left, wrapped at blanks over as many rows as it
// needs (whole from 16 columns and 4 rows up; a word wider than the screen
// broken at its width; rows past the screen's last left out), and keys are
// read from it: a resize tries again (the screen blanked), Enter (10) gives
// up, and so does the end of the terminal's input; other keys are dropped.
// Null when given up: the dialog then closes as its own way out would, and
// its caller redraws as after it.
WINDOW* open_centred_window(int height, int width);

// Says, alone on the standard screen, how large the screen must be (the
// "Terminal too small" line above, for height x width), and waits for keys
// there: true after a resize (the screen blanked; the caller tries again),
// false on Enter or at the end of the input. Other keys are dropped. For a
// window of another shape than a centred one (the entry view's, which
// fills the screen), open_centred_window's wait alone.
bool wait_for_room(int height, int width);

// True when window still has the given size and lies wholly on the screen.
// After a resize to a smaller screen curses may have shrunk or moved it, or
// left it beyond the screen's edge, where refreshing it reads outside
// curses' own arrays.
bool window_intact(WINDOW* window, int height, int width);
