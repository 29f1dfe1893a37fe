#include "dialogs/field_text.h"

#include <cstring>
#include <vector>

static bool is_control_byte(unsigned char byte) { return byte < 0x20 || byte == 0x7f; }

void set_field_text(FIELD* field, const char* text) {
    if (!text) text = "";
    std::vector<char> shown(text, text + std::strlen(text) + 1);
    for (char& c : shown)
        if (c != '\0' && is_control_byte(static_cast<unsigned char>(c))) c = '?';
    set_field_buffer(field, 0, shown.data());
    explicit_bzero(shown.data(), shown.size());
}
