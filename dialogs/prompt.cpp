#include <algorithm>
#include <cstring>

#include "dialogs/form_dialog.h"
#include "dialogs/prompts.h"
#include "keys/input.h"

namespace {

// What tells the two prompts apart.
struct prompt_look {
    const char* label;
    int label_width;
    int input_width;
    int input_col;
    int ok_col;
    int cancel_col;
    bool text_shown;
};

constexpr prompt_look password_look{"Password:", 9, 16, 10, 4, 14, false};
constexpr prompt_look path_look{"Database File:", 14, 32, 15, 16, 26, true};

// The input field: blank, underlined, growing to the right and scrolling
// inside its width. It takes at most size - 1 characters, so that all that
// is typed fits the caller's buffer together with the terminator.
FIELD* new_input_field(const prompt_look& look, int size) {
    FIELD* input = new_field(1, look.input_width, 0, look.input_col, 0, 0);
    set_field_back(input, A_UNDERLINE);
    field_opts_off(input, O_STATIC | O_AUTOSKIP);
    if (!look.text_shown) field_opts_off(input, O_PUBLIC);
    set_max_field(input, size - 1);
    return input;
}

// Copies the input field's committed text into buffer (at most size - 1
// characters, terminated) without its trailing blanks, then wipes the copy
// the form library made for reading it.
void hand_back(FIELD* input, char* buffer, int size) {
    char* text = field_buffer(input, 0);
    if (!text) return;
    std::size_t length = std::strlen(text);
    if (size > 0) {
        std::size_t count = std::min(length, static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text, count);
        while (count > 0 && buffer[count - 1] == ' ') --count;
        buffer[count] = '\0';
    }
    explicit_bzero(text, length);
}

int run_prompt(const prompt_look& look, char* buffer, int size) {
    form_dialog dialog;
    FIELD* label = new_field(1, look.label_width, 0, 0, 0, 0);
    field_opts_off(label, O_ACTIVE);
    FIELD* input = new_input_field(look, size);
    FIELD* ok = new_button_field(2, look.ok_col, 4);
    FIELD* cancel = new_button_field(2, look.cancel_col, 8);
    dialog.fields = {label, input, ok, cancel, nullptr};
    if (!open_form_dialog(dialog)) return close_form_dialog(dialog, 1);
    set_field_just(label, JUSTIFY_LEFT);
    set_field_buffer(label, 0, look.label);
    set_field_buffer(ok, 0, "[OK]");
    set_field_buffer(cancel, 0, "[CANCEL]");

    for (;;) {
        int key = read_key_from(dialog.window);
        switch (key) {
        case key_input_ended:  // nothing more can be typed: a cancel
            return close_form_dialog(dialog, 1);
        case 9:
            move_to_field(dialog, REQ_NEXT_FIELD);
            break;
        case 10:
            if (current_field(dialog.form) == cancel) return close_form_dialog(dialog, 1);
            // Leaving the input field commits what was typed to its buffer.
            if (current_field(dialog.form) == input) form_driver(dialog.form, REQ_NEXT_FIELD);
            hand_back(input, buffer, size);
            return close_form_dialog(dialog, 0);
        default:
            edit_current_field(dialog, key);
            break;
        }
    }
}

}  // namespace

int prompt_password(char* buffer, int size) { return run_prompt(password_look, buffer, size); }

int prompt_database_path(char* buffer, int size) { return run_prompt(path_look, buffer, size); }
