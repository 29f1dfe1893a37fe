#include <cstring>

#include "dialogs/centred_window.h"
#include "dialogs/prompts.h"

void message_box(const char* text) {
    int width = static_cast<int>(std::strlen(text)) + 4;
    WINDOW* window = open_centred_window(7, width, true);
    if (!window) return;  // Enter read while the screen had no room for it
    keypad(window, TRUE);
    wborder(window, 0, 0, 0, 0, 0, 0, 0, 0);
    mvwaddstr(window, 2, 2, text);
    wattrset(window, A_REVERSE);
    mvwaddstr(window, 4, width / 2 - 2, "[OK]");
    wattrset(window, A_NORMAL);
    wrefresh(window);
    while (wgetch(window) != 10) {
    }
    delwin(window);
}
