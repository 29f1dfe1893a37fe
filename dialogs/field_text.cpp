#include "dialogs/field_text.h"

#include <string_view>

#include "kpass/secure_memory.h"
#include "screen/display_text.h"
#include "screen/utf8.h"

void set_field_text(FIELD* field, const char* text, int max_cells) {
    const std::string_view original(text != nullptr ? text : "");
    secure_vector<char> shown(original.size() + 1);
    const std::size_t size = display_copy(original, utf8_locale(), static_cast<std::size_t>(max_cells), shown.data());
    shown[size] = '\0';
    set_field_buffer(field, 0, shown.data());
}
