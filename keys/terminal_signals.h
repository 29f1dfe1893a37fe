// The signals the terminal sends for keys (Ctrl-C, Ctrl-\, Ctrl-Z), and
// SIGTERM. Their handlers only write bytes prepared beforehand, restore the
// terminal's modes and exit or stop: curses' own handlers and its terminfo
// calls are not async-signal-safe (tiparm keeps its result in a buffer that
// curses' cursor motion shares).
#pragma once

// Saves the terminal's modes as the shell left them and installs the
// handlers (a signal the program was started with ignored stays ignored).
// Called before curses starts, so that curses installs none of its own.
// - SIGINT, SIGTERM, SIGQUIT: the prepared bytes, the shell's modes, then
//   _exit with status 1.
// - SIGTSTP: the prepared bytes, the shell's modes, then the program stops;
//   a process group that no shell can continue (an orphaned one) is not
//   stopped, and goes on as after a stop.
// - SIGCONT: marks the program as continued, and interrupts a wait for a
//   key, so that resume_after_stop runs at once.
// SIGHUP keeps its default: the terminal has gone, and nothing can be shown
// on it any more.
void install_terminal_signals();

// Prepares the bytes the handlers write: every row of the screen blanked
// (screen/blank_screen.h), then sgr0, cnorm, rmkx and rmcup as the terminal
// defines them. Once curses has started, and after every resize.
void prepare_leaving_bytes();

// When the program has been continued after a stop since the last call:
// puts curses' modes back on the terminal (keypad, alternate screen, cursor
// visibility) and repaints the screen as it was before the stop. Does
// nothing otherwise.
void resume_after_stop();
