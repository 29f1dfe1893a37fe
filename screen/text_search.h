// Finding a text inside another, case ignored, reading both as the screen
// reads texts (screen/utf8.h). Curses-free.
//
// In a UTF-8 locale both texts are runs of characters, and two characters
// are equal when towlower(towupper(c)) (of the running program's LC_CTYPE)
// makes them the same: "BÄREN" is found in "Bärenstraße", "ПОЧТА" in
// "Почта", "ΟΔΟΣ" in "οδος" (final sigma, sigma and capital sigma are one).
// A byte that is not part of a valid sequence is a character of its own,
// equal only to the same invalid byte. A match starts and ends between
// characters. In any other locale every byte is a character: ASCII letters
// compare without case, every other byte as it is.
//
// A search reads each character of the text once, whatever the needle: the
// time is linear in the text's length, also for a needle that almost
// matches everywhere (hostile notes of one letter repeated).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A text to look for, folded once for all the texts it is looked for in.
struct search_pattern {
    bool utf8;               // read as UTF-8 (else as bytes)
    bool ascii_plain;        // UTF-8: the locale folds ASCII as ASCII does, into ASCII
    std::string bytes;       // bytes: the text, ASCII letters lowered; UTF-8: the
                             // folded text when all of it is ASCII, else empty
    std::u32string folded;   // the text's characters folded (bytes: each byte
                             // lowered as above), an invalid byte as
                             // invalid_byte_unit + the byte
    std::vector<std::size_t> border;  // border[k]: the longest proper start of
                                      // folded[0..k] that also ends it
};

// Characters from here on stand for bytes of invalid sequences.
inline constexpr char32_t invalid_byte_unit = 0x110000;

// The pattern for needle, by the rules of the locale (utf8 true: UTF-8).
// A UTF-8 needle is folded by the LC_CTYPE set at the time of this call,
// which must stay set while the pattern is used.
search_pattern new_search_pattern(std::string_view needle, bool utf8);

// True when text (NUL-terminated) contains the pattern's text. The empty
// text is in every text.
bool text_contains(const char* text, const search_pattern& pattern);
