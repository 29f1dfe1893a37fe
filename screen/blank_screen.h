// Blanking the terminal row by row, never by a clear of the whole screen:
// some terminals keep a screen that is cleared whole in their scrollback
// (tmux's scroll-on-clear, on by default; VTE), and a revealed password
// would stay there, on a terminal without an alternate screen (the Linux
// console, vt100, tmux with alternate-screen off) even after the program
// has ended. curses sends such a clear for wclear, and for a refresh that
// leaves the screen blank from its top row on.
#pragma once

// The rows are blanked on the standard output, where initscr has curses
// write, once start_curses has called this. Before that (a terminal that
// tests start on a stream of their own) the functions below only change
// curses' picture of the screen.
void blank_on_standard_output();

// The terminal's string capability name (as tigetstr gives it), or null
// when the terminal lacks it.
const char* terminal_string(const char* name);

// Hands emit, one by one, the terminal's control strings that blank the
// screen: cup to the start of each row and el. Blanks take the current
// attributes on some terminals: the caller sets them first. False, with
// nothing handed over, when the terminal lacks cup or el.
bool emit_blank_rows(void (*emit)(const char*));

// Blanks the terminal that way, in curses' plain attributes (as curses'
// own clear does), and makes curses' picture of the screen match, so that
// whatever is drawn next is drawn whole: nothing visible changes but the
// blanking. The standard screen is left blank. A terminal without cup or el
// gets curses' own clear instead.
void blank_screen();

// Draws curses' picture of the screen again, whole, on a terminal that may
// show anything by now and be in any attributes (a shell's lines, after the
// program was stopped): the rows blanked as above, then the picture drawn.
void repaint_screen();

// Blanks the terminal row by row before curses hands it back, in the
// terminal's plain attributes (sgr0): on a terminal without an alternate
// screen the blank rows stay, under the shell's prompt. It is written
// before endwin, so that it lands on the alternate screen where there is
// one, and shows nothing there. curses' picture is left as it is.
void blank_before_leaving();
