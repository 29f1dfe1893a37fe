// The group tree pane.
#pragma once

struct kpass_db;

// Redraws groups_list: the groups from first_row on as an indented tree with
// line-drawing connectors, the cursor group marked with "*" and, when
// focused, in reverse video.
void draw_groups(const kpass_db* db, int first_row, int cursor, bool focused);
