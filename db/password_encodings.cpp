#include "db/password_encodings.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <span>

#include "kpass/kpass.h"
#include "screen/utf8.h"

namespace {

// The characters of Windows-1252's bytes 0x80 to 0x9F; 0 where the code
// page leaves a byte undefined. Every other byte is the Latin-1 character of
// the same number.
constexpr char32_t windows_1252_high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

enum class code_page { windows_1252, latin_1 };

// The byte that stands for code in the code page, or none.
std::optional<unsigned char> byte_for(code_page page, char32_t code) {
    bool high_control = code >= 0x80 && code <= 0x9F;
    if (code <= 0xFF && !(page == code_page::windows_1252 && high_control)) return static_cast<unsigned char>(code);
    if (page == code_page::latin_1) return std::nullopt;
    for (unsigned i = 0; i < 32; ++i)
        if (windows_1252_high[i] == code) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// The UTF-8 text in the code page, one byte a character, or none when a
// character has no byte there. The text is known to be valid UTF-8.
std::optional<password_bytes> in_code_page(std::string_view text, code_page page) {
    password_bytes out;
    out.reserve(text.size() + 1);  // never more bytes than the UTF-8 form: no reallocation leaves a copy
    while (!text.empty()) {
        utf8_char c = utf8_next(text);
        std::optional<unsigned char> byte = byte_for(page, c.code);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<char>(*byte));
        text.remove_prefix(c.size);
    }
    out.push_back('\0');
    return out;
}

bool valid_utf8(std::string_view text) {
    while (!text.empty()) {
        utf8_char c = utf8_next(text);
        if (!c.valid) return false;
        text.remove_prefix(c.size);
    }
    return true;
}

password_bytes as_typed(std::string_view typed) {
    password_bytes out;
    out.reserve(typed.size() + 1);
    out.insert(out.end(), typed.begin(), typed.end());
    out.push_back('\0');
    return out;
}

void add_unless_tried(std::vector<password_bytes>& tries, std::optional<password_bytes> bytes) {
    if (bytes && std::find(tries.begin(), tries.end(), *bytes) == tries.end()) tries.push_back(std::move(*bytes));
}

}  // namespace

std::vector<password_bytes> password_encodings(std::string_view typed, bool typed_is_utf8) {
    std::vector<password_bytes> tries;
    tries.reserve(3);
    if (typed_is_utf8 && valid_utf8(typed)) {
        add_unless_tried(tries, in_code_page(typed, code_page::windows_1252));
        add_unless_tried(tries, in_code_page(typed, code_page::latin_1));
    }
    add_unless_tried(tries, as_typed(typed));
    return tries;
}

int try_password(kpass_db* db, const char* password, const uint8_t* file_key) {
    std::vector<password_bytes> tries;
    try {
        tries = password_encodings(password, utf8_locale());
    } catch (const std::bad_alloc&) {
        return kpass_out_of_memory;
    }
    int result = kpass_wrong_key;
    // With the key file first, when there is one; then without it.
    const uint8_t* file_keys[] = {file_key, nullptr};
    for (const uint8_t* with : std::span(file_keys).subspan(file_key != nullptr ? 0 : 1)) {
        for (const password_bytes& bytes : tries) {
            uint8_t key[kpass_key_size];
            kpass_hash_key(bytes.data(), with, key);
            result = kpass_decrypt_db(db, key);
            explicit_bzero(key, sizeof key);
            if (result != kpass_wrong_key) return result;
        }
    }
    return result;
}
