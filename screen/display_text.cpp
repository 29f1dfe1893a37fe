#include "screen/display_text.h"

#include <cwchar>

#include "screen/utf8.h"

namespace {

display_unit question_mark(std::size_t size) { return {{L'?', 0}, 1, size}; }

// Characters that take no cell of their own but are not marks: drawn as
// they are, they would reorder (bidirectional controls), join or hide text
// unseen by the user.
bool is_invisible_format(char32_t c) {
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
           c == 0xFEFF || c == 0x061C || c == 0x180E || (c >= 0x0600 && c <= 0x0605) || c == 0x06DD ||
           c == 0x070F || c == 0x08E2 || (c >= 0xFFF9 && c <= 0xFFFB) || c == 0x110BD || c == 0x110CD ||
           (c >= 0x13430 && c <= 0x1343F) || (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) ||
           (c >= 0xE0000 && c <= 0xE007F);
}

bool is_noncharacter(char32_t c) { return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE; }

// Cells a character takes: 1 or 2, 0 for a combining mark, -1 for one that
// is never drawn as itself.
int char_cells(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return -1;
    if (is_invisible_format(c) || is_noncharacter(c)) return -1;
    int width = wcwidth(static_cast<wchar_t>(c));
    return width > 2 ? -1 : width;
}

display_unit next_byte_unit(unsigned char byte) {
    if (byte >= 0x20 && byte <= 0x7E) return {{static_cast<wchar_t>(byte), 0}, 1, 1};
    return question_mark(1);
}

display_unit next_utf8_unit(std::string_view text) {
    const utf8_char first = utf8_next(text);
    if (!first.valid) return question_mark(first.size);
    const int cells = char_cells(first.code);
    if (cells <= 0) return question_mark(first.size);
    display_unit unit{{static_cast<wchar_t>(first.code), 0}, cells, first.size};
    // The marks that follow sit in the character's cell.
    for (std::size_t marks = 0; marks < display_marks_max && unit.size < text.size(); ++marks) {
        const utf8_char next = utf8_next(text.substr(unit.size));
        if (!next.valid || char_cells(next.code) != 0) break;
        unit.chars[1 + marks] = static_cast<wchar_t>(next.code);
        unit.chars[2 + marks] = 0;
        unit.size += next.size;
    }
    return unit;
}

}  // namespace

display_unit next_display_unit(std::string_view text, bool utf8) {
    return utf8 ? next_utf8_unit(text) : next_byte_unit(static_cast<unsigned char>(text[0]));
}

std::size_t display_cells(std::string_view text, bool utf8) {
    std::size_t cells = 0;
    while (!text.empty()) {
        const display_unit unit = next_display_unit(text, utf8);
        cells += static_cast<std::size_t>(unit.cells);
        text.remove_prefix(unit.size);
    }
    return cells;
}

std::size_t display_copy(std::string_view text, bool utf8, std::size_t max_cells, char* out) {
    std::size_t written = 0;
    std::size_t cells = 0;
    while (!text.empty()) {
        const display_unit unit = next_display_unit(text, utf8);
        cells += static_cast<std::size_t>(unit.cells);
        if (cells > max_cells) break;
        for (const wchar_t* c = unit.chars; *c != 0; ++c) written += utf8_encode(static_cast<char32_t>(*c), out + written);
        text.remove_prefix(unit.size);
    }
    return written;
}
