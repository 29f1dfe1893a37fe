#include "screen/text_search.h"

#include <cwctype>

#include "screen/utf8.h"

// A search goes through every title, user name, URL and notes of a
// database, so the usual case is made cheap: a text of ASCII bytes only is
// searched byte by byte, with the needle folded once. In a UTF-8 locale
// that is exact only while both texts are ASCII and the locale folds ASCII
// as ASCII does (a Turkish locale lowers 'I' to a dotless i); the first
// byte from 0x80 on sends the search to the character by character path.

namespace {

unsigned char ascii_lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

struct folded_char {
    char32_t folded;
    std::size_t size;  // bytes of text it takes
};

// The character at the start of text (not empty), folded. An invalid byte
// takes one byte, so that the bytes after it are read afresh.
folded_char next_folded(std::string_view text) {
    const utf8_char c = utf8_next(text);
    if (!c.valid) return {invalid_byte_unit + static_cast<unsigned char>(text[0]), 1};
    return {static_cast<char32_t>(std::towlower(static_cast<wint_t>(c.code))), c.size};
}

bool locale_folds_ascii_plainly() {
    for (wint_t c = 0; c < 0x80; ++c)
        if (std::towlower(c) != ascii_lower(static_cast<unsigned char>(c))) return false;
    return true;
}

constexpr int met_high_byte = -1;

// 1 when text holds needle (not empty, ASCII letters lowered), 0 when not.
// With stop_at_high, met_high_byte at the first byte from 0x80 on that
// comes before a match. The needle holds no NUL, so no comparison reads
// past the text's end.
int bytes_contain(const char* text, const std::string& needle, bool stop_at_high) {
    const auto first = static_cast<unsigned char>(needle[0]);
    const unsigned char first_upper = first >= 'a' && first <= 'z' ? static_cast<unsigned char>(first - 32) : first;
    for (auto p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p >= 0x80 && stop_at_high) return met_high_byte;
        if (*p != first && *p != first_upper) continue;
        std::size_t k = 1;
        while (k < needle.size() && ascii_lower(p[k]) == static_cast<unsigned char>(needle[k])) ++k;
        if (k == needle.size()) return 1;
    }
    return 0;
}

bool has_high_byte(const char* text) {
    for (auto p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p)
        if (*p >= 0x80) return true;
    return false;
}

// Whether text starts with the needle's characters from the second on.
bool rest_matches(std::string_view text, const std::u32string& needle) {
    std::size_t at = 0;
    for (std::size_t k = 1; k < needle.size(); ++k) {
        if (at >= text.size()) return false;
        const folded_char c = next_folded(text.substr(at));
        if (c.folded != needle[k]) return false;
        at += c.size;
    }
    return true;
}

bool characters_contain(std::string_view text, const std::u32string& needle) {
    for (std::size_t at = 0; at < text.size();) {
        const folded_char c = next_folded(text.substr(at));
        at += c.size;
        if (c.folded == needle[0] && rest_matches(text.substr(at), needle)) return true;
    }
    return false;
}

}  // namespace

search_pattern new_search_pattern(std::string_view needle, bool utf8) {
    search_pattern pattern{utf8, utf8 && locale_folds_ascii_plainly(), {}, {}};
    if (!utf8) {
        for (char c : needle) pattern.bytes += static_cast<char>(ascii_lower(static_cast<unsigned char>(c)));
        return pattern;
    }
    bool ascii = true;
    for (std::size_t at = 0; at < needle.size();) {
        const folded_char c = next_folded(needle.substr(at));
        pattern.folded += c.folded;
        ascii = ascii && c.folded < 0x80;
        at += c.size;
    }
    if (ascii)
        for (char32_t c : pattern.folded) pattern.bytes += static_cast<char>(c);
    return pattern;
}

bool text_contains(const char* text, const search_pattern& pattern) {
    if (!pattern.utf8) return pattern.bytes.empty() || bytes_contain(text, pattern.bytes, false) == 1;
    if (pattern.folded.empty()) return true;
    if (pattern.ascii_plain) {
        // An ASCII text holds only ASCII characters: it holds no others.
        const int found = !pattern.bytes.empty() ? bytes_contain(text, pattern.bytes, true)
                          : has_high_byte(text)  ? met_high_byte
                                                 : 0;
        if (found != met_high_byte) return found == 1;
    }
    return characters_contain(text, pattern.folded);
}
