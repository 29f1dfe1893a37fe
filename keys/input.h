// Reading keys from the terminal.
#pragma once

#include <curses.h>

// What read_key_from gives once the terminal's input has ended for good (end
// of file: the terminal is gone, or the input was never a terminal and is
// used up). No key can come any more, so every loop that waits for keys
// takes it as its way out (a dialog as its cancel, the key loop as "quit")
// instead of waiting forever on an error that repeats at once.
inline constexpr int key_input_ended = KEY_MAX + 1;

// The keys that come as plain characters, by name.
inline constexpr int key_tab = 9;
inline constexpr int key_enter = 10;
inline constexpr int key_escape = 27;
inline constexpr int key_space = 32;

// The next key from window, blocking, as wgetch gives it; key_input_ended
// when the input has ended. The screen is repainted first when the program
// has been continued after a stop (keys/terminal_signals.h), and the bytes
// the signal handlers write are prepared anew after a resize.
int read_key_from(WINDOW* window);

// Drops every key typed ahead and not yet read (what the terminal holds
// and what curses has taken from it), and overwrites curses' own queue of
// keys, which keeps the keys it has handed out until they are overwritten:
// after a password prompt they are the password's characters.
void forget_typed_keys();
