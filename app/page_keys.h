// The page keys of both lists: PgDn, PgUp, Home and End.
#pragma once

// True for the commands of the page keys ("page-down", "page-up", "home",
// "end").
bool is_page_command(const char* command);

// The first row that shows cursor in a list of rows rows: first itself when
// it does, else the nearest that does (cursor itself, when the cursor lies
// above first or when there are no rows at all).
int first_showing(int cursor, int first, int rows);

// first held between the list's first row and the first row of its last
// page, so that a page of rows rows never scrolls past the list's count
// items (0 when they all fit).
int clamp_first(int first, int count, int rows);

// Moves cursor and first of a list of count items shown in rows rows by
// one page command: PgDn and PgUp move both a page (first no further than
// the last page), Home and End to either end; then first is moved so that
// the cursor lies on a visible row, also when a shrink had left it below
// the last one. With no items or no rows nothing moves.
void page_move(const char* command, int* cursor, int* first, int count, int rows);
