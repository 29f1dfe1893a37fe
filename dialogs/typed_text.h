// The text typed into a prompt, kept by the program itself rather than by
// the form library: its bytes live in one secure block (locked, left out of
// core dumps, wiped on release), so that a typed password is never copied
// into memory the program does not control. The prompt's form field gets
// only what it is to show (stand-ins, for a password), request for
// request. This text's cursor is the one that counts: where a move of the
// form's own could put the form's cursor elsewhere (Tab back into the
// field), the text decides and the form's cursor is placed to match.
//
// A character is one UTF-8 sequence in a UTF-8 locale (utf8), one byte in
// any other. Each character takes one cell of the form field, so a cursor
// position counted in characters is the form's own.
#pragma once

#include <cstddef>
#include <string>

struct typed_text {
    char* bytes;            // secure block: capacity bytes of text, then a character still arriving
    std::size_t capacity;   // the most bytes the text may take
    std::size_t length;     // bytes of text
    std::size_t cursor;     // byte offset of the cursor, always between two characters
    std::size_t arriving;   // bytes read so far of a UTF-8 sequence (after the text's room)
    bool utf8;
};

// An empty text that may grow to capacity bytes. Throws std::bad_alloc.
typed_text new_typed_text(std::size_t capacity, bool utf8);
// Wipes and releases the block; the text is empty afterwards.
void free_typed_text(typed_text& text);

// One byte of what the terminal sent (0x20 to 0xFF, not 0x7F). In a UTF-8
// locale the bytes of a character arrive one by one; the character is taken
// once it is whole. A byte that cannot continue the sequence drops the bytes
// before it (and starts anew when it can); invalid sequences are dropped.
// A character is inserted at the cursor only when all of its bytes fit the
// capacity. True when a character was inserted; *shown is then what a form
// field that shows the text is to show for it: the character itself when
// it takes exactly one cell on its own (screen/display_text.h), '?' else.
bool type_byte(typed_text& text, unsigned char byte, wchar_t* shown);
// Forgets the bytes of a character that had not arrived whole.
void drop_arriving(typed_text& text);

// Each true when the text changed as asked: the character before the cursor
// deleted; the cursor moved one character back, or on (never past the end).
bool delete_before_cursor(typed_text& text);
bool cursor_back(typed_text& text);
bool cursor_on(typed_text& text);
// The cursor at the end of the text as a field shows it: hidden, after the
// last character (the field holds a '*' for every one, blanks included);
// shown, after the last character that is not a blank.
void cursor_to_end(typed_text& text, bool hidden);

// Characters before the cursor.
std::size_t characters_before_cursor(const typed_text& text);

// What a form field is to hold for the text: '*' for every character when
// hidden, else every character as type_byte shows it, as UTF-8 (or ASCII).
std::string field_text_of(const typed_text& text, bool hidden);
