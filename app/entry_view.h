// The command "view" ("v" in the entry table): every field of an entry,
// the notes whole and the attachment's name and size, in a window of the
// whole terminal made for reading (screen/entry_view_page.h), read only.
#pragma once

struct app_state;

// Opens the view of the entry under the table cursor (none in an empty
// table) and reads its keys until "q", Enter or Escape (or the end of the
// input): Up, Down, PgUp, PgDn, Home and End scroll the whole page by a
// row or a page, never past its last row; "r" and space reveal the
// password or mask it again; "x", "u" and "U" copy the password, the user
// name and the URL, and "w" saves the attachment (app/save_attachment.h),
// each masking the password. A resize lays the page out again, the row
// shown first kept first (or the last page shown when that no longer
// fits). While the terminal is smaller than 30 x 8 the dialogs' "Terminal
// too small" line shows (dialogs/centred_window.h), and Enter leaves the
// view. Its window is blanked before it is deleted, so that curses' freed
// memory keeps nothing of it. Afterwards reveal is off and the whole
// browsing screen is drawn afresh.
void view_entry(app_state* app);
