// UTF-8, as texts from database files and keys typed in a UTF-8 terminal
// are encoded. Curses-free, so that every part of the program can use it.
#pragma once

#include <cstddef>
#include <string_view>

// One character read from the start of a text.
struct utf8_char {
    char32_t code;     // the character; 0 when not valid
    std::size_t size;  // bytes taken from the text, at least 1
    bool valid;        // a well-formed sequence of a Unicode scalar value
};

// Reads the character at the start of text (not empty). Overlong forms,
// surrogates, values past U+10FFFF, stray continuation bytes and cut
// sequences are not valid; such a character takes the bytes of the longest
// start of a sequence that could still have been valid (at least one), so
// that the next read starts at the next possible character.
utf8_char utf8_next(std::string_view text);

// Writes the UTF-8 bytes of code into out; their number (1 to 4), or 0 for
// a surrogate or a value past U+10FFFF.
std::size_t utf8_encode(char32_t code, char out[4]);

// Bytes a sequence takes that starts with lead (2 to 4), or 0 when lead
// cannot start one (ASCII, a continuation byte, 0xC0, 0xC1, 0xF5 and up).
std::size_t utf8_sequence_size(unsigned char lead);

// True when the character type of the running program (LC_CTYPE) is UTF-8;
// false in the "C" locale and in every other character set.
bool utf8_locale();
