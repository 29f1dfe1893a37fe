#include "app/commands.h"

#include "app/app_state.h"
#include "app/browsing_screen.h"
#include "app/find_entry.h"
#include "app/page_keys.h"
#include "app/switch_database.h"
#include "clipboard/copy_to_selections.h"
#include "db/queries.h"
#include "dialogs/entry_dialog.h"
#include "dialogs/prompts.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "screen/blank_screen.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"

namespace {

// The commands that move a list's cursor: "prev", "next" and the page keys.
bool moves_through_list(const char* command) {
    return command == command_prev || command == command_next || is_page_command(command);
}

void move_through_list(const char* command, int* cursor, int* first, int count, int rows) {
    if (command == command_prev)
        step_prev(cursor, first);
    else if (command == command_next)
        step_next(cursor, first, count, rows);
    else
        page_move(command, cursor, first, count, rows);
}

void group_step(app_state* app, const char* command) {
    browse_state& b = app->browse;
    move_through_list(command, &b.group_cursor, &b.group_first_row, static_cast<int>(app->current_db->group_count),
                      window_height(groups_list));
    draw_groups(app->current_db, b.group_first_row, b.group_cursor, true);
    // The unfocused table follows the group under the tree cursor.
    draw_entries(app->current_db, b.group_cursor, b.entry_first_position, b.entry_cursor, false, false);
}

void select_group(app_state* app) {
    browse_state& b = app->browse;
    // Without groups there is nothing to select: focus stays on the tree.
    if (app->current_db->group_count == 0) return;
    b.shown_entry_count = static_cast<int>(count_group_entries(app->current_db, b.group_cursor));
    b.entry_first_position = 0;
    draw_groups(app->current_db, b.group_first_row, b.group_cursor, false);
    b.focus = 1;
    draw_entries(app->current_db, b.group_cursor, 0, 0, true, false);
    draw_help_bar(1);
    b.shown_group = b.group_cursor;
    b.entry_cursor = 0;
}

void entry_step(app_state* app, const char* command) {
    browse_state& b = app->browse;
    move_through_list(command, &b.entry_cursor, &b.entry_first_position, b.shown_entry_count,
                      window_height(entries_list));
    b.reveal = false;
    draw_entries(app->current_db, b.shown_group, b.entry_first_position, b.entry_cursor, true, false);
}

void back_to_groups(app_state* app) {
    browse_state& b = app->browse;
    b.focus = 0;
    draw_entries(app->current_db, b.shown_group, 0, 0, false, false);
    draw_groups(app->current_db, b.group_first_row, b.group_cursor, true);
    draw_help_bar(0);
    b.entry_first_position = 0;
    b.entry_cursor = 0;
    b.reveal = false;
}

void toggle_reveal(app_state* app) {
    browse_state& b = app->browse;
    b.reveal = !b.reveal;
    draw_entries(app->current_db, b.shown_group, b.entry_first_position, b.entry_cursor, true, b.reveal);
}

// "edit": the details of the entry under the cursor. A group without
// entries has none to show, so nothing happens then. The whole browsing
// screen is built and drawn afresh after the dialog, the password masked:
// redrawing only the lists left the dialog's borders over the frames and
// its labels in their border columns, and with a wide group pane two
// characters of the password in clear there. A resize while the dialog was
// open needs new windows anyway: curses has shrunk or moved the browsing
// windows, possibly beyond the screen's edge, where refreshing them reads
// outside curses' own arrays.
void edit_entry(app_state* app) {
    browse_state& b = app->browse;
    const kpass_entry* entry = group_entry_at(app->current_db, b.shown_group, b.entry_cursor);
    if (entry == nullptr) return;
    show_entry_dialog(app->current_db, entry);
    b.reveal = false;
    draw_browsing_screen(app);
}

// "xclip": the password of the entry under the cursor to the X selection.
// A copy that worked redraws nothing: a revealed password stays on screen
// until the next redraw. A copy that failed is said, for the selection may
// still hold what it held before; then the screen is built and drawn afresh,
// as after a cancelled "open", the password masked. The screen is blanked
// first, so that the whole terminal is repainted: anything written on the
// terminal behind curses' back is not in its picture of the screen. A
// group without entries has no password to copy.
void copy_password(app_state* app) {
    browse_state& b = app->browse;
    const kpass_entry* entry = group_entry_at(app->current_db, b.shown_group, b.entry_cursor);
    if (entry == nullptr) return;
    int result = copy_to_selections(app->copy, &app->newest_clear_wait, entry->password);
    b.reveal = false;
    if (result == 0) return;
    message_box("Couldn't copy.");
    blank_screen();
    draw_browsing_screen(app);
}

}  // namespace

void step_prev(int* cursor, int* first) {
    if (*cursor <= 0) return;
    if (*cursor == *first) --*first;
    --*cursor;
}

void step_next(int* cursor, int* first, int count, int rows) {
    if (*cursor >= count - 1) return;
    if (*cursor == *first + rows - 1) ++*first;
    ++*cursor;
}

void run_group_command(app_state* app, const char* command) {
    if (moves_through_list(command))
        group_step(app, command);
    else if (command == command_select)
        select_group(app);
    else if (command == command_open)
        switch_database(app);
    else if (command == command_find)
        find_entry(app);
    else if (command == command_find_next)
        find_again(app);
    // "edit", "save" and "add-group" do nothing in the group tree.
}

void run_entry_command(app_state* app, const char* command) {
    if (moves_through_list(command))
        entry_step(app, command);
    else if (command == command_groups)
        back_to_groups(app);
    else if (command == command_reveal)
        toggle_reveal(app);
    else if (command == command_edit)
        edit_entry(app);
    else if (command == command_xclip)
        copy_password(app);
    else if (command == command_open)
        switch_database(app);
    else if (command == command_find)
        find_entry(app);
    else if (command == command_find_next)
        find_again(app);
    else if (command == command_save || command == command_add_entry)
        app->browse.reveal = false;  // nothing is saved or added: this browser only reads
}
