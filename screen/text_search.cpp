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
//
// Characters are compared after folding, never bytes: a folded character
// may take more or fewer bytes than the one in the text ("ſ" folds to "s").

namespace {

unsigned char ascii_lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// towlower alone keeps final sigma apart from the sigma that capital sigma
// lowers to, and "ΟΔΟΣ" would miss "οδος": through the capital first, every
// case of a letter folds to one character.
char32_t fold(char32_t code) {
    return static_cast<char32_t>(std::towlower(std::towupper(static_cast<wint_t>(code))));
}

struct folded_char {
    char32_t folded;
    std::size_t size;  // bytes of text it takes
};

// The character at the start of text (not empty), folded; or, not read as
// characters, its first byte lowered as ASCII. An invalid byte takes one
// byte, so that the bytes after it are read afresh.
folded_char next_folded(std::string_view text, bool characters) {
    if (!characters) return {ascii_lower(static_cast<unsigned char>(text[0])), 1};
    const utf8_char c = utf8_next(text);
    if (!c.valid) return {invalid_byte_unit + static_cast<unsigned char>(text[0]), 1};
    return {fold(c.code), c.size};
}

bool locale_folds_ascii_plainly() {
    for (char32_t c = 0; c < 0x80; ++c)
        if (fold(c) != ascii_lower(static_cast<unsigned char>(c))) return false;
    return true;
}

std::vector<std::size_t> borders_of(const std::u32string& needle) {
    std::vector<std::size_t> border(needle.size(), 0);
    for (std::size_t k = 1, b = 0; k < needle.size(); ++k) {
        while (b > 0 && needle[k] != needle[b]) b = border[b - 1];
        if (needle[k] == needle[b]) ++b;
        border[k] = b;
    }
    return border;
}

// Whether the text holds the pattern's folded characters (or bytes): a
// Knuth-Morris-Pratt automaton. Each character of the text is read once; on
// a mismatch the part matched so far falls back to its longest border, which
// is again a start of the needle. Starting afresh one character after each
// failed start instead costs text x needle on a needle that almost matches
// everywhere (seconds on notes of 2 M "ä").
bool units_contain(std::string_view text, const search_pattern& pattern, bool characters) {
    const std::u32string& needle = pattern.folded;
    std::size_t matched = 0;
    for (std::size_t at = 0; at < text.size();) {
        const folded_char c = next_folded(text.substr(at), characters);
        at += c.size;
        while (matched > 0 && needle[matched] != c.folded) matched = pattern.border[matched - 1];
        if (needle[matched] == c.folded && ++matched == needle.size()) return true;
    }
    return false;
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

// How many of the needle's bytes the bytes at p match, from the first on.
std::size_t matched_at(const unsigned char* p, const std::string& needle) {
    std::size_t k = 0;
    while (k < needle.size() && ascii_lower(p[k]) == static_cast<unsigned char>(needle[k])) ++k;
    return k;
}

// The first place from i on, up to last, where the needle's first two
// bytes stand; last + 1 when there is none. p holds at least last + needle
// bytes.
std::size_t next_start(const unsigned char* p, std::size_t n, std::size_t i, std::size_t last,
                       const std::string& needle) {
    const auto c0 = static_cast<unsigned char>(needle[0]);
    const auto c1 = static_cast<unsigned char>(needle.size() > 1 ? needle[1] : 0);
    auto starts_at = [&](std::size_t j) {
        return ascii_lower(p[j]) == c0 && (c1 == 0 || ascii_lower(p[j + 1]) == c1);
    };
    for (; i + 9 <= n && i <= last; i += 8) {
        std::uint64_t v = (word_at(p + i) | case_bits(c0)) ^ (ones * c0);
        if (c1 != 0) v |= (word_at(p + i + 1) | case_bits(c1)) ^ (ones * c1);
        if (!has_zero_byte(v)) continue;
        for (std::size_t j = i; j < i + 8 && j <= last; ++j)
            if (starts_at(j)) return j;
    }
    for (; i <= last; ++i)
        if (starts_at(i)) return i;
    return last + 1;
}

// Whether the n bytes at p hold the pattern's bytes (not empty). Each place
// where the needle's start stands is compared with the whole needle, which
// is quickest on usual texts; once those compares have taken more bytes
// than the text has, the rest goes to the automaton, so that a needle that
// almost matches everywhere still costs a time linear in the text.
bool bytes_contain(const unsigned char* p, std::size_t n, const search_pattern& pattern) {
    const std::string& needle = pattern.bytes;
    if (needle.size() > n) return false;
    const std::size_t last = n - needle.size();  // the last place a match may start
    std::size_t compared = 0;
    for (std::size_t i = next_start(p, n, 0, last, needle); i <= last; i = next_start(p, n, i + 1, last, needle)) {
        if (compared > n)
            return units_contain({reinterpret_cast<const char*>(p + i), n - i}, pattern, false);
        const std::size_t k = matched_at(p + i, needle);
        if (k == needle.size()) return true;
        compared += k + 1;
    }
    return false;
}

bool has_high_byte(const unsigned char* p, std::size_t n) {
    std::uint64_t seen = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) seen |= word_at(p + i);
    for (; i < n; ++i) seen |= p[i];
    return (seen & highs) != 0;
}

}  // namespace

search_pattern new_search_pattern(std::string_view needle, bool utf8) {
    search_pattern pattern{utf8, utf8 && locale_folds_ascii_plainly(), {}, {}, {}};
    bool ascii = true;
    for (std::size_t at = 0; at < needle.size();) {
        const folded_char c = next_folded(needle.substr(at), utf8);
        pattern.folded += c.folded;
        ascii = ascii && c.folded < 0x80;
        at += c.size;
    }
    if (!utf8 || ascii)
        for (char32_t c : pattern.folded) pattern.bytes += static_cast<char>(c);
    pattern.border = borders_of(pattern.folded);
    return pattern;
}

bool text_contains(const char* text, const search_pattern& pattern) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const std::size_t n = std::strlen(text);
    if (pattern.folded.empty()) return true;
    if (!pattern.utf8) return bytes_contain(p, n, pattern);
    if (pattern.ascii_plain) {
        // ASCII bytes are whole characters, so a match of them is a match;
        // and an ASCII text holds no character outside ASCII.
        if (!pattern.bytes.empty() && bytes_contain(p, n, pattern)) return true;
        if (!has_high_byte(p, n)) return false;
    }
    return units_contain({text, n}, pattern, true);
}
