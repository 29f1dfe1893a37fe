// Reading keys from the terminal.
#pragma once

#include <curses.h>

// What read_key_from gives once the terminal's input has ended for good (end
// of file: the terminal is gone, or the input was never a terminal and is
// used up). No key can come any more, so every loop that waits for keys
// takes it as its way out (a dialog as its cancel, the key loop as "quit")
// instead of waiting forever on an error that repeats at once.
inline constexpr int key_input_ended = KEY_MAX + 1;

// The next key from window, blocking, as wgetch gives it; key_input_ended
// when the input has ended.
int read_key_from(WINDOW* window);
