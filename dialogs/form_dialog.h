// The steps shared by every dialog built on a curses form: a window centred
// on the screen with the default border, the form set two rows and two
// columns inside it, button fields ("[OK]", "[CANCEL]") shown in reverse
// video exactly while they are current, the cursor visible exactly while a
// field that takes text is current, and a teardown in an order curses
// accepts.
#pragma once

#include <form.h>

#include <vector>

struct form_dialog {
    std::vector<FIELD*> fields;  // in form order, ended by a null entry
    FORM* form = nullptr;
    WINDOW* window = nullptr;  // the dialog window, the form's window
    WINDOW* sub = nullptr;     // the form's sub-window, derived from window
};

// A one-row field of the given width that holds a button's text; not
// editable (O_EDIT off), which is what marks it as a button.
FIELD* new_button_field(int row, int col, int width);
bool is_button_field(const FIELD* field);

// Creates the form from dialog.fields (already ended by a null entry), the
// centred window of the form's size + 4 each way and its sub-window, draws
// the border, posts the form, shows the cursor and refreshes the window.
// Waits on stdscr while the screen is too small for the window
// (dialogs/centred_window.h). False when the dialog was given up meanwhile
// (Enter, or the end of the terminal's input): there is no window, and the
// dialog can only be closed, as its own way out would close it.
bool open_form_dialog(form_dialog& dialog);

// Moves to another field with REQ_NEXT_FIELD or REQ_PREV_FIELD, the cursor
// after the new field's text, keeping button highlight and cursor visibility
// in step with the new current field.
void move_to_field(form_dialog& dialog, int request);

// After a resize: when curses shrank or moved the dialog's windows to
// follow a smaller screen (or left them beyond its edge), the dialog gets
// new windows of its own size, centred, with the form reposted in them and
// its current field as it was; while there is no room it waits on the
// standard screen, as it does when it opens. True when the windows were
// made anew: a field being edited then shows only what its buffer holds.
// dialog.window is null afterwards when the dialog was given up meanwhile.
bool restore_dialog_windows(form_dialog& dialog);

// The keys every form dialog treats alike: KEY_LEFT and KEY_RIGHT move
// through the text, KEY_BACKSPACE deletes the character before the cursor,
// KEY_RESIZE goes to restore_dialog_windows, and any other key goes to the
// form driver unchanged.
void edit_current_field(form_dialog& dialog, int key);

// Unposts and frees the form, wipes and frees every field, blanks and
// deletes the sub-window and then the window, hides the cursor. Nothing is
// redrawn: the dialog stays on the screen until the caller draws over it.
// Gives result.
int close_form_dialog(form_dialog& dialog, int result);
