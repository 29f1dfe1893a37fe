#include "app/browsing_screen.h"

#include "app/app_state.h"
#include "keys/keymap.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"

void draw_browsing_screen(const app_state* app) {
    const browse_state& b = app->browse;
    build_layout(app->current_db);
    // The focused pane first. The panes never overlap each other; the help
    // bar goes last, over the frames, which reach its row on a screen of two
    // rows, and over the title bar, which shares its row on a screen of one.
    if (b.focus == 0) {
        draw_groups(app->current_db, b.group_first_row, b.group_cursor, true);
        draw_entries(app->current_db, b.group_cursor, b.entry_first_position, b.entry_cursor, false, false);
    } else {
        draw_entries(app->current_db, b.shown_group, b.entry_first_position, b.entry_cursor, true, false);
        draw_groups(app->current_db, b.group_first_row, b.group_cursor, false);
    }
    draw_title_bar(app->database_path);
    draw_help_bar(b.focus);
}
