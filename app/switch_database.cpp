#include "app/switch_database.h"

#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/lifecycle.h"
#include "db/load.h"
#include "dialogs/prompts.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"

namespace {

// Unlocks new_path into a record of its own. Only when that succeeds does
// it replace the open database, which stays untouched until then.
bool try_switch(app_state* app) {
    kpass_db* record = allocate_record();
    int result = open_database(record, app->new_path);
    if (result != 0) {
        if (result == -1) kpass_free_db(record);  // loaded but locked
        std::free(record);
        return false;
    }
    kpass_free_db(app->current_db);
    std::free(app->current_db);
    app->current_db = record;
    std::memcpy(app->database_path, app->new_path, sizeof app->database_path);
    app->database_path[sizeof app->database_path - 1] = '\0';
    app->browse = browse_state{};
    return true;
}

// The three pictures after "open", each drawn on a fresh layout: the
// dialogs have drawn over the screen.
void redraw_tree(app_state* app) {
    const browse_state& b = app->browse;
    draw_groups(app->current_db, b.group_first_row, b.group_cursor, true);
    draw_entries(app->current_db, b.group_cursor, b.entry_first_position, b.entry_cursor, false, false);
    draw_title_bar(app->database_path);
    draw_help_bar(0);
}

void redraw_new_database_from_table(app_state* app) {
    draw_entries(app->current_db, 0, 0, 0, false, false);
    draw_groups(app->current_db, 0, 0, true);
    draw_title_bar(app->database_path);
    draw_help_bar(0);
}

void redraw_table(app_state* app) {
    const browse_state& b = app->browse;
    draw_entries(app->current_db, b.shown_group, b.entry_first_position, b.entry_cursor, true, false);
    draw_groups(app->current_db, b.group_first_row, b.group_cursor, false);
    draw_title_bar(app->database_path);
    draw_help_bar(1);
}

}  // namespace

void switch_database(app_state* app) {
    bool from_table = app->browse.focus == 1;
    bool switched = false;
    if (prompt_database_path(app->new_path, sizeof app->new_path) == 0) switched = try_switch(app);
    if (!switched && from_table) app->browse.reveal = false;
    build_layout(app->current_db);
    if (!from_table)
        redraw_tree(app);
    else if (switched)
        redraw_new_database_from_table(app);
    else
        redraw_table(app);
}
