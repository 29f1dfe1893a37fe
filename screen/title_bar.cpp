#include "screen/layout.h"
#include "screen/visible_text.h"

void draw_title_bar(const char* text) {
    if (title_bar == nullptr) return;
    wmove(title_bar, 0, 0);
    // The one-line window stops the text at its right edge; the blanks
    // after it clear whatever a longer text left there before.
    add_visible_text(title_bar, text, -1);
    whline(title_bar, ' ', window_width(title_bar));
    wrefresh(title_bar);
}
