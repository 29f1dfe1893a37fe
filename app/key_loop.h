// Browsing: the first screen and the key loop (the commands are in app/commands.h).
#pragma once

struct app_state;

// Resets the navigation state and draws the first screen.
void show_first_screen(app_state* app);

// Reads the next key for the focused pane (waiting on the standard screen
// when that pane's window is absent).
int read_key(const app_state* app);

// Handles one key (a resize included). Returns true when the key asked to
// quit; the caller then runs shut_down.
bool handle_key(app_state* app, int key);

// Reads and handles keys until "quit"; never returns.
[[noreturn]] void key_loop(app_state* app);
