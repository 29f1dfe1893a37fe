// Drawing the entry view (screen/entry_view_page.h) into its window.
#pragma once

#include <curses.h>

struct entry_view_page;

// The view's key line, drawn on the last row inside the border.
inline constexpr char entry_view_keys[] = "q:back  [space],r:reveal  u:user  U:URL  x:password  w:save attachment";

// Rows of the page a window shows (its height less the border and the key
// line) and the width of its rows (its width less the border); -1 and less
// for a null window.
int view_page_rows(const WINDOW* window);
int view_row_width(const WINDOW* window);

// Redraws the whole window: the default border; inside it, from the top,
// rows first.. of page (blank rows past its end), a cut row with a "+" in
// reverse video in its last cell; below them the key line, with the rows
// shown and their total at its right end ("12-30/45", counted from 1); the
// key line is cut where it would come nearer the count than one blank.
// Keeps no state, and ends with a refresh of the window.
void draw_entry_view(WINDOW* window, const entry_view_page& page, int first);
