#include "app/find_entry.h"

#include <cstring>

#include "app/app_state.h"
#include "app/browsing_screen.h"
#include "app/page_keys.h"
#include "db/entry_search.h"
#include "db/queries.h"
#include "dialogs/prompts.h"
#include "screen/layout.h"
#include "screen/text_search.h"
#include "screen/utf8.h"

namespace {

search_start start_of_search(const browse_state& b) {
    if (b.focus == 0) return {b.group_cursor, -1};
    // A position past the last entry of an empty table begins with the next group.
    return {b.shown_group, b.entry_cursor};
}

// The screen as it was before the command, built afresh over the dialogs.
void redraw_unchanged(app_state* app) {
    app->browse.reveal = false;
    draw_browsing_screen(app);
}

void show_found(app_state* app, found_entry found) {
    browse_state& b = app->browse;
    // The table keeps its scroll offset only when it showed the group already.
    if (b.focus != 1 || b.shown_group != found.group_index) b.entry_first_position = 0;
    b.focus = 1;
    b.group_cursor = b.shown_group = found.group_index;
    b.shown_entry_count = static_cast<int>(count_group_entries(app->current_db, found.group_index));
    b.entry_cursor = found.position;
    b.reveal = false;
    // The offsets fit the lists of a layout built for the present screen,
    // which may have changed size while a dialog was open; the redraw
    // builds the same layout again.
    build_layout(app->current_db);
    b.group_first_row = first_showing(b.group_cursor, b.group_first_row, window_height(groups_list));
    b.entry_first_position = first_showing(b.entry_cursor, b.entry_first_position, window_height(entries_list));
    draw_browsing_screen(app);
}

void search(app_state* app, search_direction direction) {
    const search_pattern pattern = new_search_pattern(app->find_text, utf8_locale());
    const found_entry found = find_next_entry(app->current_db, start_of_search(app->browse), pattern, direction);
    if (found.group_index >= 0) {
        show_found(app, found);
        return;
    }
    message_box("Nothing found.");
    redraw_unchanged(app);
}

}  // namespace

void find_entry(app_state* app) {
    char text[find_text_size];
    if (prompt_find_text(text, sizeof text) != 0 || text[0] == '\0') {
        redraw_unchanged(app);
        return;
    }
    std::memcpy(app->find_text, text, std::strlen(text) + 1);
    search(app, search_direction::forward);
}

void find_again(app_state* app) {
    if (app->find_text[0] != '\0') search(app, search_direction::forward);
}

void find_previous(app_state* app) {
    if (app->find_text[0] != '\0') search(app, search_direction::backward);
}
