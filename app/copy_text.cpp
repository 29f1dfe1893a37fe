#include "app/copy_text.h"

#include "app/app_state.h"
#include "clipboard/copy_to_selections.h"
#include "dialogs/prompts.h"
#include "screen/blank_screen.h"

bool copy_text(app_state* app, const char* text) {
    if (copy_to_selections(app->copy, &app->newest_clear_wait, text) == 0) return true;
    message_box("Couldn't copy.");
    blank_screen();
    return false;
}
