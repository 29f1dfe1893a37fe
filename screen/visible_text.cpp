#include "screen/visible_text.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "screen/display_text.h"
#include "screen/utf8.h"

// waddnstr would pass tabs, newlines, carriage returns and backspaces on as
// cursor motions, expand other control bytes to two cells ("^[") and turn
// bytes of 0x80 and above into blanks in the "C" locale. Every column of the
// screen is counted in display units' cells, so each unit is written as the
// cells it was counted as, and nothing else.
void add_visible_text(WINDOW* window, const char* text, int max_cells) {
    if (text != nullptr) add_visible_text(window, std::string_view(text), max_cells);
}

void add_visible_text(WINDOW* window, std::string_view text, int max_cells) {
    if (window == nullptr) return;
    const bool utf8 = utf8_locale();
    std::size_t left = max_cells < 0 ? SIZE_MAX : static_cast<std::size_t>(max_cells);
    const int room = getmaxx(window) - getcurx(window);
    if (room > 0 && static_cast<std::size_t>(room) < left) left = static_cast<std::size_t>(room);
    for (std::string_view rest = text; !rest.empty();) {
        const display_unit unit = next_display_unit(rest, utf8);
        if (static_cast<std::size_t>(unit.cells) > left) return;
        cchar_t cell;
        setcchar(&cell, unit.chars, A_NORMAL, 0, nullptr);
        // At the window's bottom-right corner curses can go no further.
        if (wadd_wch(window, &cell) == ERR) return;
        left -= static_cast<std::size_t>(unit.cells);
        rest.remove_prefix(unit.size);
    }
}

std::size_t text_cells(const char* text) {
    return text == nullptr ? 0 : display_cells(std::string_view(text, std::strlen(text)), utf8_locale());
}
