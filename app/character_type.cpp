#include "app/character_type.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>
#include <string_view>

#include "screen/utf8.h"

namespace {

// The setting that decides the character type, in the order the C library
// reads them: LC_ALL, then LC_CTYPE, then LANG.
std::string_view character_type_setting() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return "";
}

// Whether a locale name such as "de_DE.UTF-8" or "C.utf8" names UTF-8.
bool names_utf8(std::string_view name) {
    std::string_view::size_type dot = name.find('.');
    if (dot == std::string_view::npos) return false;
    std::string folded;
    for (char c : name.substr(dot + 1)) {
        if (c == '@') break;
        if (c != '-') folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded == "utf8";
}

}  // namespace

void choose_character_type() {
    std::setlocale(LC_ALL, "C");
    if (std::setlocale(LC_CTYPE, "") != nullptr && utf8_locale()) return;
    if (names_utf8(character_type_setting()) && std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr && utf8_locale())
        return;
    std::setlocale(LC_CTYPE, "C");
}
