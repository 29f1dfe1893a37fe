// The signals the terminal sends for keys (Ctrl-C, Ctrl-\, Ctrl-Z), SIGCONT
// and SIGTERM. Their handlers only write bytes prepared beforehand and set
// terminal modes saved beforehand, then exit, stop or go on: curses' own
// handlers and its terminfo calls are not async-signal-safe (tiparm keeps
// its result in a buffer that curses' cursor motion shares).
#pragma once

// Saves the terminal's modes as the shell left them and installs the
// handlers (a signal the program was started with ignored stays ignored).
// Called before curses starts, so that curses installs none of its own.
// - SIGINT, SIGTERM, SIGQUIT: the prepared leaving bytes, the shell's
//   modes, then _exit with status 1.
// - SIGTSTP: the prepared leaving bytes, the shell's modes, then the
//   program stops; a process group that no shell can continue (an orphaned
//   one) is not stopped, and goes on as after a stop.
// - SIGCONT, and the end of a stop that did not come: the program's modes
//   and the prepared entering bytes (below), at once, wherever the program
//   is (a key being made, a copy, a dialog), so that what it draws next
//   lands on the alternate screen and keys typed meanwhile are not echoed.
//   Then the program is marked as continued, and a wait for a key is
//   interrupted, so that resume_after_stop runs at once.
// SIGHUP keeps its default: the terminal has gone, and nothing can be shown
// on it any more.
void install_terminal_signals();

// Prepares what the handlers write, once curses has started and after
// every resize:
// - leaving: every row of the screen blanked (screen/blank_screen.h), then
//   sgr0, cnorm, rmkx and rmcup as the terminal defines them;
// - entering: smcup, smkx and the cursor's visibility as curses last set it
//   (set_cursor_visibility), and the terminal's modes as curses has set them
//   (read from the terminal now).
void prepare_leaving_bytes();

// curs_set, remembered for the entering bytes: what curses returns.
int set_cursor_visibility(int visibility);

// Before curses hands the terminal back for good (endwin as the program
// ends): a continue after a stop then leaves the terminal as the shell has
// it, instead of putting the program's modes back.
void stop_entering();

// When the program has been continued after a stop since the last call:
// repaints the screen as it was before the stop (the terminal has its
// modes back already). Does nothing otherwise.
void resume_after_stop();
