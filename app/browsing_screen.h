// The browsing screen, built and drawn whole from the navigation state.
#pragma once

struct app_state;

// Builds the layout afresh for the current screen size and draws every
// window of it from app->browse: with the group tree focused, the tree with
// its cursor row highlighted and, unhighlighted, the table of the group under
// the tree cursor; with the entry table focused, the table of the shown group
// with its cursor row highlighted and the tree unhighlighted. Then the title
// bar with the open database's path, and the help bar of the focused pane.
// Passwords are drawn masked, whatever reveal says. Changes no state.
//
// Every full redraw goes through here (the first screen, a resize, "open",
// "edit", a failed copy), so that none of them leaves a window out: a
// resize that skipped the title bar left row 0 blank, or showing the help
// bar's text.
void draw_browsing_screen(const app_state* app);
