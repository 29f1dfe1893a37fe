#include "dialogs/typed_text.h"

#include <string_view>

#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"
#include "screen/display_text.h"
#include "screen/utf8.h"

namespace {

// Room after the text for the bytes of a character still arriving.
constexpr std::size_t arriving_room = 4;

char* arriving_bytes(typed_text& text) { return text.bytes + text.capacity; }

// Bytes of the character that starts at offset (which lies before the end).
std::size_t character_size(const typed_text& text, std::size_t offset) {
    if (!text.utf8) return 1;
    return utf8_next(std::string_view(text.bytes + offset, text.length - offset)).size;
}

// Offset of the character before offset (which is not 0).
std::size_t previous_character(const typed_text& text, std::size_t offset) {
    if (!text.utf8) return offset - 1;
    std::size_t at = offset - 1;
    while (at > 0 && (static_cast<unsigned char>(text.bytes[at]) & 0xC0) == 0x80) --at;
    return at;
}

// What a field that shows the text shows for the character of size bytes.
wchar_t shown_character(const char* bytes, std::size_t size, bool utf8) {
    const display_unit unit = next_display_unit(std::string_view(bytes, size), utf8);
    const bool alone = unit.cells == 1 && unit.chars[1] == 0 && unit.size == size;
    return alone ? unit.chars[0] : L'?';
}

bool insert(typed_text& text, const char* bytes, std::size_t size, wchar_t* shown) {
    if (size > text.capacity - text.length) return false;
    kpass_copy_secret(text.bytes + text.cursor + size, text.bytes + text.cursor, text.length - text.cursor);
    kpass_copy_secret(text.bytes + text.cursor, bytes, size);
    text.length += size;
    text.cursor += size;
    *shown = shown_character(bytes, size, text.utf8);
    return true;
}

}  // namespace

typed_text new_typed_text(std::size_t capacity, bool utf8) {
    auto* bytes = static_cast<char*>(kpass_secure_allocate(capacity + arriving_room));
    return {bytes, capacity, 0, 0, 0, utf8};
}

void free_typed_text(typed_text& text) {
    kpass_secure_release(text.bytes, text.capacity + arriving_room);
    text = {nullptr, 0, 0, 0, 0, text.utf8};
}

bool type_byte(typed_text& text, unsigned char byte, wchar_t* shown) {
    if (!text.utf8 || byte < 0x80) {
        drop_arriving(text);
        const char one = static_cast<char>(byte);
        return insert(text, &one, 1, shown);
    }
    char* arriving = arriving_bytes(text);
    if (text.arriving > 0) {
        arriving[text.arriving++] = static_cast<char>(byte);
        const utf8_char c = utf8_next(std::string_view(arriving, text.arriving));
        // Still the start of a character: the rest is yet to come.
        if (!c.valid && c.size == text.arriving) return false;
        if (c.valid) {
            text.arriving = 0;
            bool inserted = insert(text, arriving, c.size, shown);
            kpass_wipe(arriving, arriving_room);
            return inserted;
        }
        // This byte cannot continue the sequence: what came before is
        // dropped, and the byte may start a sequence of its own.
        drop_arriving(text);
    }
    if (utf8_sequence_size(byte) == 0) return false;
    arriving[0] = static_cast<char>(byte);
    text.arriving = 1;
    return false;
}

void drop_arriving(typed_text& text) {
    if (text.arriving == 0) return;
    kpass_wipe(arriving_bytes(text), arriving_room);
    text.arriving = 0;
}

bool delete_before_cursor(typed_text& text) {
    if (text.cursor == 0) return false;
    const std::size_t from = previous_character(text, text.cursor);
    kpass_copy_secret(text.bytes + from, text.bytes + text.cursor, text.length - text.cursor);
    const std::size_t removed = text.cursor - from;
    text.length -= removed;
    kpass_wipe(text.bytes + text.length, removed);
    text.cursor = from;
    return true;
}

bool cursor_back(typed_text& text) {
    if (text.cursor == 0) return false;
    text.cursor = previous_character(text, text.cursor);
    return true;
}

bool cursor_on(typed_text& text) {
    if (text.cursor >= text.length) return false;
    text.cursor += character_size(text, text.cursor);
    return true;
}

void cursor_to_end(typed_text& text, bool hidden) {
    std::size_t end = text.length;
    while (!hidden && end > 0 && text.bytes[end - 1] == ' ') --end;
    text.cursor = end;
}

std::size_t characters_before_cursor(const typed_text& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.cursor; at += character_size(text, at)) ++count;
    return count;
}

std::string field_text_of(const typed_text& text, bool hidden) {
    std::string shown;
    for (std::size_t at = 0; at < text.length;) {
        const std::size_t size = character_size(text, at);
        const wchar_t c = hidden ? L'*' : shown_character(text.bytes + at, size, text.utf8);
        char bytes[4];
        shown.append(bytes, utf8_encode(static_cast<char32_t>(c), bytes));
        at += size;
    }
    return shown;
}
