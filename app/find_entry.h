// The commands "find" ("/"), "find-next" ("n") and "find-previous" ("N"):
// the next (or previous) entry whose title, user name, URL or notes hold a
// text, case ignored.
//
// All search from where the cursor is: just after ("N": just before) the entry under the
// table cursor (an empty table: from the next group's first entry) when the
// table has focus, from the first entry of the group under the tree cursor
// when the tree has, round the whole tree (db/entry_search.h).
// Found: the tree cursor is on the entry's group and the table, focused,
// shows that group with its cursor on the entry, both lists scrolled no
// more than it takes to show their cursors, and the whole screen is built
// and drawn afresh. Not found: "Nothing found.", then the screen as after a
// cancelled prompt.
#pragma once

struct app_state;

// Asks for a text in the "Find:" prompt and, when one is confirmed, keeps
// it as the last text and finds the next entry that holds it. A cancelled
// prompt or an empty text changes nothing; the screen is then built and
// drawn afresh as after a cancelled "open", the password masked.
void find_entry(app_state* app);

// Finds the next entry that holds the last text, with no prompt. Before
// the first search it does nothing and draws nothing.
void find_again(app_state* app);

// "find-previous" ("N"): as find_again, walking the screen's order
// backwards (db/entry_search.h), from the first entry round to the last.
void find_previous(app_state* app);
