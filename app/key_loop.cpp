#include "app/key_loop.h"

#include <curses.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/lifecycle.h"
#include "keys/input.h"
#include "keys/keymap.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"

namespace {

// After a resize: new windows for the new size, both panes and the help bar
// drawn again with the current positions (the password masked, although
// reveal keeps its value). The title bar waits for the next full redraw.
void redraw_after_resize(app_state* app) {
    const browse_state& b = app->browse;
    build_layout(app->current_db);
    draw_groups(app->current_db, b.group_first_row, b.group_cursor, b.focus == 0);
    draw_entries(app->current_db, b.group_cursor, b.entry_first_position, b.entry_cursor, b.focus == 1,
                 false);
    draw_help_bar(b.focus);
}

}  // namespace

void show_first_screen(app_state* app) {
    app->browse = browse_state{};
    build_layout(app->current_db);
    draw_groups(app->current_db, 0, 0, true);
    draw_entries(app->current_db, 0, 0, 0, false, false);
    draw_title_bar(app->database_path);
    draw_help_bar(0);
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
        redraw_after_resize(app);
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
