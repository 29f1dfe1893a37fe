#include "db/password_encodings.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <span>

#include "db/code_pages.h"
#include "kpass/kpass.h"
#include "kpass/secret_bytes.h"
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

enum class code_page { windows_1252, latin_1, windows_1252_marked };

// The byte that stands for code in the code page, or none.
std::optional<unsigned char> byte_for(code_page page, char32_t code) {
    bool high_control = code >= 0x80 && code <= 0x9F;
    if (code <= 0xFF && !(page != code_page::latin_1 && high_control)) return static_cast<unsigned char>(code);
    if (page == code_page::latin_1) return std::nullopt;
    for (unsigned i = 0; i < 32; ++i)
        if (windows_1252_high[i] == code) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// The characters in the one-byte code page, or none when one has no byte
// there. windows_1252_marked writes "?" for such a character instead, once
// for each of its UTF-16 units ("??" past U+FFFF), as KeePassX's and
// Windows' conversions of UTF-16 text did; it gives none when no character
// was replaced.
std::optional<password_bytes> in_code_page(std::span<const wchar_t> characters, code_page page) {
    password_bytes out;
    out.reserve(2 * characters.size() + 1);  // never reallocated: no copy is left behind
    bool replaced = false;
    for (wchar_t c : characters) {
        std::optional<unsigned char> byte = byte_for(page, static_cast<char32_t>(c));
        if (byte) {
            out.push_back(static_cast<char>(*byte));
        } else if (page == code_page::windows_1252_marked) {
            out.insert(out.end(), c > 0xFFFF ? 2 : 1, '?');
            replaced = true;
        } else {
            return std::nullopt;
        }
    }
    if (page == code_page::windows_1252_marked && !replaced) return std::nullopt;
    out.push_back('\0');
    return out;
}

// The characters of a UTF-8 text, or none when it is not valid UTF-8.
std::optional<secure_vector<wchar_t>> characters_of(std::string_view text) {
    secure_vector<wchar_t> characters;
    characters.reserve(text.size());
    while (!text.empty()) {
        utf8_char c = utf8_next(text);
        if (!c.valid) return std::nullopt;
        characters.push_back(static_cast<wchar_t>(c.code));
        text.remove_prefix(c.size);
    }
    return characters;
}

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

password_bytes as_typed(std::string_view typed) {
    password_bytes out(typed.size() + 1);
    kpass_copy_secret(out.data(), typed.data(), typed.size());
    out.back() = '\0';
    return out;
}

bool same_bytes(const password_bytes& a, const password_bytes& b) {
    return a.size() == b.size() && kpass_secrets_equal(a.data(), b.data(), a.size());
}

void add_unless_tried(std::vector<password_bytes>& tries, std::optional<password_bytes> bytes) {
    auto same = [&](const password_bytes& tried) { return same_bytes(tried, *bytes); };
    if (bytes && std::none_of(tries.begin(), tries.end(), same)) tries.push_back(std::move(*bytes));
}

}  // namespace

std::vector<password_bytes> password_encodings(std::string_view typed, bool typed_is_utf8) {
    std::vector<password_bytes> tries;
    tries.reserve(4 + std::size(windows_code_pages));
    std::optional<secure_vector<wchar_t>> characters;
    if (typed_is_utf8 && !is_ascii(typed)) characters = characters_of(typed);
    if (characters) {
        add_unless_tried(tries, in_code_page(*characters, code_page::windows_1252));
        add_unless_tried(tries, in_code_page(*characters, code_page::latin_1));
    }
    add_unless_tried(tries, as_typed(typed));
    if (characters) {
        add_unless_tried(tries, in_code_page(*characters, code_page::windows_1252_marked));
        for (const char* page : windows_code_pages) add_unless_tried(tries, in_windows_code_page(*characters, page));
    }
    return tries;
}

int try_password(kpass_db* db, const char* password, const uint8_t* file_key) {
    try {
        const std::vector<password_bytes> tries = password_encodings({password, kpass_secret_length(password)}, utf8_locale());
        // With the key file first, when there is one; then without it.
        const uint8_t* file_keys[] = {file_key, nullptr};
        const std::span<const uint8_t* const> withs = std::span(file_keys).subspan(file_key != nullptr ? 0 : 1);
        const size_t count = withs.size() * tries.size();
        secure_vector<uint8_t> keys(count * kpass_key_size);
        uint8_t* key = keys.data();
        for (const uint8_t* with : withs) {
            for (const password_bytes& bytes : tries) {
                kpass_hash_key(bytes.data(), with, key);
                key += kpass_key_size;
            }
        }
        int matched = 0;
        return kpass_decrypt_db_any(db, keys.data(), static_cast<int>(count), &matched);
    } catch (const std::bad_alloc&) {
        return kpass_out_of_memory;
    }
}
