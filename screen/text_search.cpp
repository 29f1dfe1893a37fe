#include "screen/text_search.h"

#include <cstdint>
#include <cstring>
#include <cwctype>

#include "screen/utf8.h"

// A search goes through every title, user name, URL and notes of a
// database, so the usual case is made cheap: an ASCII needle is looked for
// among the bytes, folded once. In a UTF-8 locale that is exact when the
// locale folds ASCII as ASCII does (a Turkish locale lowers 'I' to a
// dotless i): a match of ASCII bytes is a match of characters, and a text
// of ASCII bytes only holds no other match. Only a text with bytes from
// 0x80 on, where nothing was found, is read character by character.

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

// Eight bytes at a time: a word of text is compared with the needle's first
// two bytes in one go, and only words that may hold a match are looked at
// byte by byte.
constexpr std::uint64_t ones = 0x0101010101010101;
constexpr std::uint64_t highs = 0x8080808080808080;

std::uint64_t word_at(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

bool has_zero_byte(std::uint64_t v) { return ((v - ones) & ~v & highs) != 0; }

// What a byte is or-ed with before it is compared with a folded needle
// byte c: 0x20 makes both cases of a letter c equal to c.
std::uint64_t case_bits(unsigned char c) { return c >= 'a' && c <= 'z' ? ones * 0x20 : 0; }

bool folded_at(const unsigned char* p, const std::string& needle) {
    for (std::size_t k = 0; k < needle.size(); ++k)
        if (ascii_lower(p[k]) != static_cast<unsigned char>(needle[k])) return false;
    return true;
}

// Whether the n bytes at p hold needle (not empty, ASCII letters lowered).
bool bytes_contain(const unsigned char* p, std::size_t n, const std::string& needle) {
    if (needle.size() > n) return false;
    const std::size_t last = n - needle.size();  // the last place a match may start
    const auto c0 = static_cast<unsigned char>(needle[0]);
    const auto c1 = static_cast<unsigned char>(needle.size() > 1 ? needle[1] : 0);
    std::size_t i = 0;
    for (; i + 9 <= n && i <= last; i += 8) {
        std::uint64_t v = (word_at(p + i) | case_bits(c0)) ^ (ones * c0);
        if (c1 != 0) v |= (word_at(p + i + 1) | case_bits(c1)) ^ (ones * c1);
        if (!has_zero_byte(v)) continue;
        for (std::size_t j = i; j < i + 8 && j <= last; ++j)
            if (folded_at(p + j, needle)) return true;
    }
    for (; i <= last; ++i)
        if (folded_at(p + i, needle)) return true;
    return false;
}

bool has_high_byte(const unsigned char* p, std::size_t n) {
    std::uint64_t seen = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) seen |= word_at(p + i);
    for (; i < n; ++i) seen |= p[i];
    return (seen & highs) != 0;
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
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const std::size_t n = std::strlen(text);
    if (!pattern.utf8) return pattern.bytes.empty() || bytes_contain(p, n, pattern.bytes);
    if (pattern.folded.empty()) return true;
    if (pattern.ascii_plain) {
        // ASCII bytes are whole characters, so a match of them is a match;
        // and an ASCII text holds no character outside ASCII.
        if (!pattern.bytes.empty() && bytes_contain(p, n, pattern.bytes)) return true;
        if (!has_high_byte(p, n)) return false;
    }
    return characters_contain({text, n}, pattern.folded);
}
