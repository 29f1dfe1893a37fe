// Copying a text of an entry (password, user name, URL) to the X
// selections, in the entry table and in the entry view alike.
#pragma once

struct app_state;

// Hands text to the selections as app->copy says
// (clipboard/copy_to_selections.h). True when every copy worked. When one
// failed, "Couldn't copy." has been shown and the screen blanked, so that
// nothing of the message box stays: the caller then draws its screen
// afresh.
bool copy_text(app_state* app, const char* text);
