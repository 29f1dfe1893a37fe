// The entry table pane.
#pragma once

struct kpass_db;

// Redraws entries_list: the entries of the group at group_index from
// first_position on, passwords masked unless reveal is set (then only the
// cursor entry's), cut texts marked with a reverse-video "+", the cursor row
// in reverse video when focused.
void draw_entries(const kpass_db* db, int group_index, int first_position, int cursor_position,
                  bool focused, bool reveal);
