#include "dialogs/form_dialog.h"

#include "dialogs/centred_window.h"
#include "keys/terminal_signals.h"

FIELD* new_button_field(int row, int col, int width) {
    FIELD* field = new_field(1, width, row, col, 0, 0);
    field_opts_off(field, O_EDIT);
    return field;
}

bool is_button_field(const FIELD* field) { return field && !(field_opts(field) & O_EDIT); }

// The centred window and its sub-window for the form, which is posted in
// them. False when there are none: the dialog was given up (Enter, or the
// end of the input) while the screen had no room for them.
static bool place_form(form_dialog& dialog) {
    int rows = 0;
    int cols = 0;
    scale_form(dialog.form, &rows, &cols);
    dialog.window = open_centred_window(rows + 4, cols + 4);
    dialog.sub = nullptr;
    if (dialog.window == nullptr) return false;
    keypad(dialog.window, TRUE);
    set_form_win(dialog.form, dialog.window);
    dialog.sub = derwin(dialog.window, rows, cols, 2, 2);
    set_form_sub(dialog.form, dialog.sub);
    wborder(dialog.window, 0, 0, 0, 0, 0, 0, 0, 0);
    post_form(dialog.form);
    return true;
}

bool open_form_dialog(form_dialog& dialog) {
    dialog.form = new_form(dialog.fields.data());
    form_opts_off(dialog.form, O_BS_OVERLOAD);
    if (!place_form(dialog)) return false;
    set_cursor_visibility(1);
    wrefresh(dialog.window);
    return true;
}

void move_to_field(form_dialog& dialog, int request) {
    FIELD* current = current_field(dialog.form);
    if (is_button_field(current)) {
        set_field_fore(current, A_NORMAL);
        set_cursor_visibility(1);
    }
    form_driver(dialog.form, request);
    form_driver(dialog.form, REQ_END_LINE);
    current = current_field(dialog.form);
    if (is_button_field(current)) {
        set_field_fore(current, A_REVERSE);
        set_cursor_visibility(0);
    }
}

// A field's buffer may hold a secret (a typed password, an entry's
// password): overwrite it with blanks, which also clears the form library's
// working copy of the text, before the field's memory goes back.
static void wipe_field(FIELD* field) { set_field_buffer(field, 0, ""); }

int close_form_dialog(form_dialog& dialog, int result) {
    unpost_form(dialog.form);
    free_form(dialog.form);
    for (FIELD* field : dialog.fields) {
        if (!field) break;
        wipe_field(field);
        free_field(field);
    }
    // The window holds the fields' texts as curses cells, an entry's
    // password in clear among them; delwin would leave them in freed memory.
    if (dialog.window != nullptr) werase(dialog.window);
    delwin(dialog.sub);
    delwin(dialog.window);
    set_cursor_visibility(0);
    return result;
}

// A resize leaves the dialog as it is, unless curses had to shrink or move
// its windows to follow a smaller screen. Curses never grows them back, a
// form in a window too small for it can no longer move between its fields
// (the dialog could not be closed), and refreshing a window curses left
// beyond the screen's edge reads outside curses' own arrays. Such a dialog
// gets new windows of its own size, centred, with the form and its current
// field as they were; while the screen has no room for them it waits on the
// standard screen, as it does when it opens.
bool restore_dialog_windows(form_dialog& dialog) {
    int rows = 0;
    int cols = 0;
    scale_form(dialog.form, &rows, &cols);
    if (window_intact(dialog.window, rows + 4, cols + 4) && getmaxy(dialog.sub) == rows && getmaxx(dialog.sub) == cols)
        return false;
    unpost_form(dialog.form);
    delwin(dialog.sub);
    delwin(dialog.window);
    if (place_form(dialog)) wrefresh(dialog.window);
    return true;
}

void edit_current_field(form_dialog& dialog, int key) {
    switch (key) {
    case KEY_LEFT:
        form_driver(dialog.form, REQ_PREV_CHAR);
        break;
    case KEY_RIGHT:
        form_driver(dialog.form, REQ_NEXT_CHAR);
        break;
    case KEY_BACKSPACE:
        form_driver(dialog.form, REQ_DEL_PREV);
        break;
    case KEY_RESIZE:
        restore_dialog_windows(dialog);
        break;
    default:
        form_driver(dialog.form, key);
        break;
    }
}
