#include "clipboard/copy_to_selections.h"

#include <unistd.h>

#include "clipboard/clear_later.h"
#include "clipboard/pipe_to_program.h"
#include "clipboard/x_selection.h"

bool read_clear_after(const char* text, int* seconds) {
    int value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + (*c - '0');
        if (value > longest_clear_after) return false;  // before it could overflow
    }
    if (value < 1) return false;  // also the empty text
    *seconds = value;
    return true;
}

int copy_to_selections(const copy_settings& settings, int* newest_wait, const char* text) {
    const x_selection* filled[2];
    size_t filled_count = 0;
    int result = 0;
    for (const x_selection* selection : {&primary_selection, &clipboard_selection}) {
        if (!(selection == &primary_selection ? settings.primary : settings.clipboard)) continue;
        int run = pipe_to_program(clipboard_program, text, selection->xclip_words);
        if (run == 0)
            filled[filled_count++] = selection;
        else if (result == 0)
            result = run;
    }
    if (settings.clear_after == 0 || filled_count == 0) return result;
    int wait = start_clear_wait(text, {filled, filled_count}, settings.clear_after);
    if (wait < 0) {
        // No wait, no copy: the password must not outlive its time.
        for (size_t i = 0; i < filled_count; ++i) pipe_to_program(clipboard_program, "", filled[i]->xclip_words);
        return result != 0 ? result : -1;
    }
    if (*newest_wait >= 0) {
        if (result == 0) end_clear_wait(*newest_wait);
        close(*newest_wait);
    }
    *newest_wait = wait;
    return result;
}
