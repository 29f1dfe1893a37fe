// The commands of the two panes, as the key loop dispatches them.
#pragma once

struct app_state;

// Carries out command (one of the shared command strings, told apart by
// identity) while the group tree, or the entry table, has focus. "quit" is
// the key loop's own.
void run_group_command(app_state* app, const char* command);
void run_entry_command(app_state* app, const char* command);

// One step through a list of count items shown in rows rows: the cursor
// moves by one and the list scrolls by one row only when the cursor steps
// off its first or last visible row.
void step_prev(int* cursor, int* first);
void step_next(int* cursor, int* first, int count, int rows);
