#include "app/attachment_name.h"

#include <cstring>

#include "screen/utf8.h"

namespace {

constexpr std::size_t longest = attachment_name_size - 1;

bool is_control_byte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

void attachment_file_name(std::string_view description, bool utf8, char* name) {
    const std::size_t slash = description.rfind('/');
    if (slash != std::string_view::npos) description.remove_prefix(slash + 1);
    std::size_t length = 0;
    while (!description.empty()) {
        const auto byte = static_cast<unsigned char>(description[0]);
        std::size_t size = 1;  // bytes of the character taken
        bool replaced = is_control_byte(byte);
        if (utf8 && byte >= 0x80) {
            // The bytes of an invalid sequence are taken one by one: each
            // becomes a "_" of its own.
            const utf8_char c = utf8_next(description);
            size = c.valid ? c.size : 1;
            replaced = !c.valid || (c.code >= 0x80 && c.code <= 0x9F);
        }
        const std::size_t kept = replaced ? 1 : size;
        if (length + kept > longest) break;
        if (replaced)
            std::memset(name + length, '_', kept);
        else
            std::memcpy(name + length, description.data(), kept);
        length += kept;
        description.remove_prefix(size);
    }
    name[length] = '\0';
    if (length == 0 || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) std::strcpy(name, "attachment");
}
