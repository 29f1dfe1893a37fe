// The six windows of the browsing screen, their frames and the title bar.
#pragma once

#include <curses.h>

struct kpass_db;

// Process-wide window handles, null until the first build_layout and
// re-created by every build_layout. A null window draws nothing.
extern WINDOW* title_bar;
extern WINDOW* groups_frame;
extern WINDOW* groups_list;
extern WINDOW* entries_frame;
extern WINDOW* entries_list;
extern WINDOW* help_bar;

// Widths of the entry table's columns, in display order.
extern const int title_width;
extern const int username_width;
extern const int password_width;
extern const int url_width;

// Width of the group pane: the widest indented group name plus 5, or 5
// when there are no groups.
int groups_pane_width(const kpass_db* db);

// Deletes the windows of the last build, creates the six windows for the
// current screen size and draws the frames, headers and separators.
void build_layout(const kpass_db* db);

// Writes text on the title bar and blanks the rest of it.
void draw_title_bar(const char* text);

// Height and width of a window as curses reports them, -1 for a null one.
int window_height(const WINDOW* window);
int window_width(const WINDOW* window);
