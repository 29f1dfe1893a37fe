#include "dialogs/entry_dialog.h"

#include <cstring>

#include "dialogs/entry_values.h"
#include "dialogs/field_text.h"
#include "dialogs/form_dialog.h"
#include "keys/input.h"
#include "kpass/kpass.h"

namespace {

constexpr int row_count = 13;
constexpr const char* row_labels[row_count] = {
    "uuid:",        "Group:", "Image:", "Title:", "URL:",   "Username:", "Password:",
    "Description:", "ctime:", "mtime:", "atime:", "etime:", "Notes:",
};
// Rows 0 to 2 (identifier, group, image) are shown only, never current.
constexpr int first_active_row = 3;
constexpr int value_col = 14;
constexpr int value_width = 40;
constexpr int value_limit = 256;

// The text shown in the value field of a row; formatted values are written
// into text (entry_value_size bytes).
const char* row_value(const kpass_db* db, const kpass_entry* entry, int row, char* text) {
    switch (row) {
    case 0: return format_uuid(entry->uuid, text);
    case 1: return entry_group_name(db, entry);
    case 2: return format_image_id(entry->image_id, text);
    case 3: return entry->title;
    case 4: return entry->url;
    case 5: return entry->username;
    case 6: return entry->password;
    case 7: return entry->description;
    case 8: return format_time(entry->ctime, false, text);
    case 9: return format_time(entry->mtime, false, text);
    case 10: return format_time(entry->atime, false, text);
    case 11: return format_time(entry->etime, true, text);
    default: return entry->notes;
    }
}

FIELD* new_label_field(int row) {
    const char* label = row_labels[row];
    FIELD* field = new_field(1, static_cast<int>(std::strlen(label)), row, 0, 0, 0);
    set_field_fore(field, A_NORMAL);
    field_opts_off(field, O_ACTIVE);
    set_field_just(field, JUSTIFY_LEFT);
    set_field_buffer(field, 0, label);
    return field;
}

// An underlined value field that grows (up to 256 characters) to hold its
// text; the rows that are shown only lose the underline and never become
// current.
FIELD* new_value_field(int row) {
    FIELD* field = new_field(1, value_width, row, value_col, 0, 0);
    set_field_fore(field, A_NORMAL);
    set_field_back(field, A_UNDERLINE);
    field_opts_off(field, O_STATIC);
    set_max_field(field, value_limit);
    field_opts_off(field, O_AUTOSKIP);
    if (row < first_active_row) {
        set_field_back(field, A_NORMAL);
        field_opts_off(field, O_ACTIVE);
    }
    return field;
}

void build_fields(form_dialog& dialog, const kpass_db* db, const kpass_entry* entry) {
    char text[entry_value_size];
    for (int row = 0; row < row_count; ++row) {
        dialog.fields.push_back(new_label_field(row));
        FIELD* value = new_value_field(row);
        set_field_text(value, row_value(db, entry, row, text), value_limit);
        dialog.fields.push_back(value);
    }
    FIELD* ok = new_button_field(14, 19, 4);
    set_field_buffer(ok, 0, "[OK]");
    FIELD* cancel = new_button_field(14, 27, 8);
    set_field_buffer(cancel, 0, "[CANCEL]");
    dialog.fields.push_back(ok);
    dialog.fields.push_back(cancel);
    dialog.fields.push_back(nullptr);
}

}  // namespace

int show_entry_dialog(const kpass_db* db, const kpass_entry* entry) {
    form_dialog dialog;
    build_fields(dialog, db, entry);
    FIELD* ok = dialog.fields[2 * row_count];
    FIELD* cancel = dialog.fields[2 * row_count + 1];
    if (!open_form_dialog(dialog)) return close_form_dialog(dialog, 1);

    for (;;) {
        int key = read_key_from(dialog.window);
        switch (key) {
        case key_input_ended:
            return close_form_dialog(dialog, 1);
        case 9:
        case KEY_DOWN:
            move_to_field(dialog, REQ_NEXT_FIELD);
            break;
        case KEY_UP:
            move_to_field(dialog, REQ_PREV_FIELD);
            break;
        case 10:
            if (current_field(dialog.form) == ok) return close_form_dialog(dialog, 0);
            if (current_field(dialog.form) == cancel) return close_form_dialog(dialog, 1);
            move_to_field(dialog, REQ_NEXT_FIELD);
            break;
        default:
            edit_current_field(dialog, key);
            // Given up while a resize left the screen too small for it.
            if (dialog.window == nullptr) return close_form_dialog(dialog, 1);
            break;
        }
    }
}
