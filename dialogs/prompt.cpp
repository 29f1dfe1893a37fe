#include <algorithm>
#include <string>

#include "dialogs/form_dialog.h"
#include "dialogs/prompts.h"
#include "dialogs/typed_text.h"
#include "keys/input.h"
#include "kpass/secret_bytes.h"
#include "screen/utf8.h"

namespace {

// What tells the prompts apart.
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
constexpr prompt_look find_look{"Find:", 5, 32, 6, 10, 20, true};
constexpr prompt_look save_look{"Save as:", 8, 32, 9, 11, 21, true};

constexpr int key_ctrl_h = 8;
constexpr int key_delete = 127;

// The input field: blank, underlined, growing to the right and scrolling
// inside its width. It takes at most size - 1 characters, never fewer than
// the typed text's size - 1 bytes can hold. Typing at its first position
// inserts there, as everywhere else, instead of first blanking the field:
// the typed text would otherwise no longer be what the field shows.
FIELD* new_input_field(const prompt_look& look, int size) {
    FIELD* input = new_field(1, look.input_width, 0, look.input_col, 0, 0);
    set_field_back(input, A_UNDERLINE);
    field_opts_off(input, O_STATIC | O_AUTOSKIP | O_BLANK);
    if (!look.text_shown) field_opts_off(input, O_PUBLIC);
    set_max_field(input, size - 1);
    return input;
}

struct prompt {
    const prompt_look& look;
    form_dialog dialog;
    FIELD* input;
    FIELD* cancel;
    typed_text text;  // what was typed: the truth the field only shows
};

bool input_current(const prompt& p) { return current_field(p.dialog.form) == p.input; }

// A character the terminal sent, while the input field is current: into
// the typed text, and what it shows into the field (a stand-in for a
// password, which the field never shows).
void type_into_field(prompt& p, int byte) {
    wchar_t shown = L'?';
    if (!type_byte(p.text, static_cast<unsigned char>(byte), &shown)) return;
    if (!p.look.text_shown)
        form_driver(p.dialog.form, '*');
    else if (shown < 0x80)
        form_driver(p.dialog.form, static_cast<int>(shown));
    else
        form_driver_w(p.dialog.form, OK, shown);
}

// The form's cursor where the typed text's cursor stands: one cell a
// character from the field's start.
void place_form_cursor(prompt& p) {
    form_driver(p.dialog.form, REQ_BEG_FIELD);
    for (std::size_t i = characters_before_cursor(p.text); i > 0; --i) form_driver(p.dialog.form, REQ_NEXT_CHAR);
}

// The field shows the typed text again, the cursor in its place, after
// the dialog was made anew: the form had not kept what was typed since the
// field became current.
void show_typed_text(prompt& p) {
    std::string shown = field_text_of(p.text, !p.look.text_shown);
    set_field_buffer(p.input, 0, shown.c_str());
    if (input_current(p)) place_form_cursor(p);
}

// Edits both the typed text and the field, or neither.
void edit(prompt& p, int key) {
    drop_arriving(p.text);
    if (!input_current(p)) return;
    if (key == KEY_LEFT && cursor_back(p.text)) form_driver(p.dialog.form, REQ_PREV_CHAR);
    if (key == KEY_RIGHT && cursor_on(p.text)) form_driver(p.dialog.form, REQ_NEXT_CHAR);
    if (key == KEY_BACKSPACE && delete_before_cursor(p.text)) form_driver(p.dialog.form, REQ_DEL_PREV);
}

// Copies the typed text into buffer (it fits: the text takes at most
// size - 1 bytes) and terminates it; a shown text (a path, a text to find)
// loses its trailing blanks, the password is handed back exactly as typed.
void hand_back(const prompt& p, char* buffer) {
    std::size_t length = p.text.length;
    if (p.look.text_shown)
        while (length > 0 && p.text.bytes[length - 1] == ' ') --length;
    kpass_copy_secret(buffer, p.text.bytes, length);
    buffer[length] = '\0';
}

// Reads keys until the prompt is confirmed (0) or cancelled (1).
int read_answer(prompt& p, char* buffer) {
    for (;;) {
        int key = read_key_from(p.dialog.window);
        switch (key) {
        case key_input_ended:  // nothing more can be typed: a cancel
            return 1;
        case 9:
            drop_arriving(p.text);
            move_to_field(p.dialog, REQ_NEXT_FIELD);
            if (input_current(p)) {
                // Back in the field: the text decides where its end is.
                cursor_to_end(p.text, !p.look.text_shown);
                place_form_cursor(p);
            }
            break;
        case 10:
            if (current_field(p.dialog.form) == p.cancel) return 1;
            hand_back(p, buffer);
            return 0;
        case KEY_LEFT:
        case KEY_RIGHT:
        case KEY_BACKSPACE:
            edit(p, key);
            break;
        case key_ctrl_h:
        case key_delete:
            edit(p, KEY_BACKSPACE);
            break;
        case KEY_RESIZE:
            if (!restore_dialog_windows(p.dialog)) break;
            if (p.dialog.window == nullptr) return 1;  // given up while there was no room
            show_typed_text(p);
            break;
        default:
            if (key >= 0x20 && key <= 0xFF && input_current(p)) {
                type_into_field(p, key);
            } else {
                drop_arriving(p.text);
                form_driver(p.dialog.form, key);  // changes nothing: no text is typed here
            }
            break;
        }
    }
}

// The starting text, typed byte by byte as the terminal would send it, so
// that the typed text holds it (what Enter confirms) and the field shows it
// with the cursor after it. A byte the typing would not take is dropped.
void type_start(prompt& p, const char* start) {
    for (const char* at = start; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte >= 0x20 && byte != 0x7F) type_into_field(p, byte);
    }
    drop_arriving(p.text);
}

int run_prompt(const prompt_look& look, char* buffer, int size, const char* start = "") {
    if (size <= 0) return 1;
    FIELD* label = new_field(1, look.label_width, 0, 0, 0, 0);
    field_opts_off(label, O_ACTIVE);
    FIELD* input = new_input_field(look, size);
    FIELD* ok = new_button_field(2, look.ok_col, 4);
    FIELD* cancel = new_button_field(2, look.cancel_col, 8);
    prompt p{look, {}, input, cancel, new_typed_text(static_cast<std::size_t>(size) - 1, utf8_locale())};
    p.dialog.fields = {label, input, ok, cancel, nullptr};
    int result = 1;
    if (open_form_dialog(p.dialog)) {
        set_field_just(label, JUSTIFY_LEFT);
        set_field_buffer(label, 0, look.label);
        set_field_buffer(ok, 0, "[OK]");
        set_field_buffer(cancel, 0, "[CANCEL]");
        type_start(p, start);
        result = read_answer(p, buffer);
    }
    free_typed_text(p.text);
    return close_form_dialog(p.dialog, result);
}

}  // namespace

int prompt_password(char* buffer, int size) { return run_prompt(password_look, buffer, size); }

int prompt_database_path(char* buffer, int size) { return run_prompt(path_look, buffer, size); }

int prompt_find_text(char* buffer, int size) { return run_prompt(find_look, buffer, size); }

int prompt_save_path(char* buffer, int size, const char* start) { return run_prompt(save_look, buffer, size, start); }
