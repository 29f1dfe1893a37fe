#include "screen/utf8.h"

#include <langinfo.h>

#include <cstring>

namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The range the second byte must lie in, which rules out overlong forms,
// surrogates and values past U+10FFFF at the earliest byte.
bool second_byte_fits(unsigned char lead, unsigned char second) {
    switch (lead) {
        case 0xE0: return second >= 0xA0 && second <= 0xBF;
        case 0xED: return second >= 0x80 && second <= 0x9F;
        case 0xF0: return second >= 0x90 && second <= 0xBF;
        case 0xF4: return second >= 0x80 && second <= 0x8F;
        default: return is_continuation(second);
    }
}

}  // namespace

std::size_t utf8_sequence_size(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

utf8_char utf8_next(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1, true};
    const std::size_t size = utf8_sequence_size(lead);
    if (size == 0) return {0, 1, false};
    char32_t code = lead & (0xFF >> (size + 1));
    for (std::size_t i = 1; i < size; ++i) {
        if (i >= text.size()) return {0, i, false};
        const auto byte = static_cast<unsigned char>(text[i]);
        if (i == 1 ? !second_byte_fits(lead, byte) : !is_continuation(byte)) return {0, i, false};
        code = (code << 6) | (byte & 0x3F);
    }
    return {code, size, true};
}

std::size_t utf8_encode(char32_t code, char out[4]) {
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code >= 0xD800 && code <= 0xDFFF) return 0;
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    if (code > 0x10FFFF) return 0;
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

bool utf8_locale() { return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0; }
