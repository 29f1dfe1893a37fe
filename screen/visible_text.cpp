#include "screen/visible_text.h"

#include <cstdint>
#include <cstring>

// waddnstr would pass tabs, newlines, carriage returns and backspaces on as
// cursor motions, expand other control bytes to two cells ("^[") and turn
// bytes of 0x80 and above into blanks in the "C" locale. Columns are counted
// in bytes everywhere, so each byte must take exactly one visible cell.
static chtype visible_byte(unsigned char byte) {
    return (byte >= 0x20 && byte <= 0x7e) ? static_cast<chtype>(byte) : static_cast<chtype>('?');
}

void add_visible_text(WINDOW* window, const char* text, int max_bytes) {
    if (window == nullptr || text == nullptr) return;
    std::size_t limit = max_bytes < 0 ? SIZE_MAX : static_cast<std::size_t>(max_bytes);
    for (std::size_t i = 0; i < limit && text[i] != '\0'; ++i) {
        if (waddch(window, visible_byte(static_cast<unsigned char>(text[i]))) == ERR) return;
    }
}

std::size_t text_length(const char* text) { return text == nullptr ? 0 : std::strlen(text); }
