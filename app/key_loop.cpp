#include "app/key_loop.h"

#include <curses.h>

#include "app/app_state.h"
#include "app/browsing_screen.h"
#include "app/commands.h"
#include "app/lifecycle.h"
#include "keys/input.h"
#include "keys/keymap.h"
#include "screen/layout.h"

void show_first_screen(app_state* app) {
    app->browse = browse_state{};
    draw_browsing_screen(app);
}

int read_key(const app_state* app) {
    WINDOW* window = app->browse.focus == 0 ? groups_list : entries_list;
    // On a screen too small for the list windows there is nothing to read
    // from; the standard screen still waits for keys, so "q" and a resize
    // keep working and nothing spins.
    return read_key_from(window != nullptr ? window : stdscr);
}

bool handle_key(app_state* app, int key) {
    // With the input ended no key can come again: the program ends as on "quit".
    if (key == key_input_ended) return true;
    if (key == KEY_RESIZE) {
        // New windows for the new size, drawn with the current positions
        // (the password masked, although reveal keeps its value).
        draw_browsing_screen(app);
        return false;
    }
    const key_binding* keymap = app->browse.focus == 0 ? group_keymap : entry_keymap;
    const char* command = lookup_key(keymap, key);
    if (command == nullptr) return false;
    if (command == command_quit) return true;
    if (app->browse.focus == 0)
        run_group_command(app, command);
    else
        run_entry_command(app, command);
    return false;
}

void key_loop(app_state* app) {
    for (;;) {
        if (handle_key(app, read_key(app))) shut_down(app);
    }
}
