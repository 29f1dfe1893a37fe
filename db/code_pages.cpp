#include "db/code_pages.h"

#include <iconv.h>

namespace {

static_assert(sizeof(wchar_t) == 4, "iconv's WCHAR_T is read as UCS-4");

// No code page takes more than three bytes for a character (a Hebrew
// presentation form in 1255: letter and two points).
constexpr std::size_t most_bytes_a_character = 3;

// An iconv conversion descriptor, closed with the object.
struct converter {
    iconv_t handle;

    converter(const char* to, const char* from) : handle(iconv_open(to, from)) {}
    ~converter() {
        if (opened()) iconv_close(handle);
    }
    converter(const converter&) = delete;
    converter& operator=(const converter&) = delete;
    bool opened() const { return handle != reinterpret_cast<iconv_t>(-1); }
};

}  // namespace

std::optional<secure_vector<char>> in_windows_code_page(std::span<const wchar_t> characters, const char* page) {
    // "WCHAR_T" is the library's own form of characters: a conversion from
    // it has no intermediate step whose buffer would keep the password.
    converter conversion(page, "WCHAR_T");
    if (!conversion.opened()) return std::nullopt;
    secure_vector<char> out;
    out.resize(characters.size() * most_bytes_a_character + 1);
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(characters.data()));
    std::size_t in_left = characters.size_bytes();
    char* next = out.data();
    std::size_t out_left = out.size() - 1;
    // A character the code page lacks stops the conversion (EILSEQ): no
    // //TRANSLIT, so no best-fit letter is ever tried. The second call
    // ends a code page's shift state, should it have one.
    if (iconv(conversion.handle, &in, &in_left, &next, &out_left) == static_cast<std::size_t>(-1) ||
        iconv(conversion.handle, nullptr, nullptr, &next, &out_left) == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.resize(static_cast<std::size_t>(next - out.data()));
    out.push_back('\0');
    return out;
}
