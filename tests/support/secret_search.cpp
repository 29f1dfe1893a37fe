#include "support/secret_search.h"

#include <curses.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// How a copy is laid out: each character in unit bytes (little-endian),
// one character every stride bytes.
struct copy_form {
    const char* name;
    std::size_t unit;
    std::size_t stride;
};

constexpr copy_form text_forms[] = {
    {"bytes", 1, 1}, {"UTF-16", 2, 2}, {"UTF-32", 4, 4}, {"curses cells", sizeof(wchar_t), sizeof(cchar_t)}};

// Shorter runs than this would match by chance.
constexpr std::size_t shortest = 8;

// Plain loads, so that AddressSanitizer lets it read freed and red-zone
// memory.
__attribute__((no_sanitize("address"))) bool unit_is(const uint8_t* at, std::size_t unit, uint8_t c) {
    if (at[0] != c) return false;
    for (std::size_t b = 1; b < unit; ++b)
        if (at[b] != 0) return false;
    return true;
}

__attribute__((no_sanitize("address"))) bool matches_at(const uint8_t* at, const uint8_t* chars, std::size_t count,
                                                      const copy_form& form) {
    for (std::size_t i = 0; i < count; ++i)
        if (!unit_is(at + i * form.stride, form.unit, chars[i])) return false;
    return true;
}

// The first place in [begin, end) where the characters stand in the form,
// or null.
__attribute__((no_sanitize("address"))) const uint8_t* find_in(const uint8_t* begin, const uint8_t* end,
                                                              const uint8_t* chars, std::size_t count,
                                                              const copy_form& form) {
    const std::size_t span = (count - 1) * form.stride + form.unit;
    if (static_cast<std::size_t>(end - begin) < span) return nullptr;
    for (const uint8_t* p = begin; p + span <= end; ++p)
        if (*p == chars[0] && matches_at(p, chars, count, form)) return p;
    return nullptr;
}

// Allocators overwrite the start of a block they are given back (glibc two
// pointers, AddressSanitizer 16 bytes), so a text is searched for without
// its first characters, as many as leave a run long enough: every copy,
// whole or cut, keeps that tail. One pass a form; a copy is "cut" when the
// characters before the tail are not there.
void search_mapping(const uint8_t* begin, const uint8_t* end, const uint8_t* own, const secret& s,
                    const std::string& where, std::vector<std::string>& found) {
    if (s.size < shortest) return;
    const auto* chars = static_cast<const uint8_t*>(s.bytes);
    const std::size_t cut = std::min<std::size_t>(16, s.size - shortest);
    const std::size_t forms = s.text ? std::size(text_forms) : 1;
    for (std::size_t f = 0; f < forms; ++f) {
        const copy_form& form = text_forms[f];
        // The page of the values searched for is left out.
        const bool own_inside = own >= begin && own < end;
        const std::pair<const uint8_t*, const uint8_t*> parts[] = {{begin, own_inside ? own : end},
                                                                   {own_inside ? own + 4096 : end, end}};
        const uint8_t* at = nullptr;
        for (auto [from, to] : parts)
            if (from < to && (at = find_in(from, to, chars + cut, s.size - cut, form)) != nullptr) break;
        if (at == nullptr) continue;
        const uint8_t* start = at - cut * form.stride;
        const bool whole = start >= begin && matches_at(start, chars, cut, form);
        found.push_back(std::string(s.name) + " as " + form.name + (whole ? "" : " (cut)") + " in " + where);
    }
}

// Searches process (a pid, or "self") in place; another process's memory
// is read through its mem file first.
std::vector<std::string> search_process(const std::string& process, const std::vector<secret>& wanted,
                                        const void* own_page) {
    std::vector<std::string> found;
    FILE* maps = std::fopen(("/proc/" + process + "/maps").c_str(), "r");
    if (maps == nullptr) return {"/proc/" + process + "/maps cannot be read"};
    int mem = process == "self" ? -1 : open(("/proc/" + process + "/mem").c_str(), O_RDONLY | O_CLOEXEC);
    if (process != "self" && mem < 0) {
        std::fclose(maps);
        return {"/proc/" + process + "/mem cannot be read"};
    }
    char line[512];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long from = 0, to = 0;
        char perms[8] = "";
        char name[256] = "";
        if (std::sscanf(line, "%lx-%lx %7s %*s %*s %*s %255[^\n]", &from, &to, perms, name) < 3) continue;
        if (perms[0] != 'r' || perms[1] != 'w' || perms[3] != 'p') continue;
        // Huge mappings are the sanitizer's shadow memory.
        if (to - from > (256ul << 20) || std::strstr(name, "[vvar")) continue;
        const std::string where = name[0] ? name : "an anonymous mapping";
        std::vector<uint8_t> copy(mem >= 0 ? to - from : 0);
        if (mem >= 0 && pread(mem, copy.data(), copy.size(), static_cast<off_t>(from)) != static_cast<ssize_t>(copy.size()))
            found.push_back(where + " cannot be read");
        const auto* begin = mem >= 0 ? copy.data() : reinterpret_cast<const uint8_t*>(from);
        for (const secret& s : wanted)
            search_mapping(begin, begin + (to - from), static_cast<const uint8_t*>(own_page), s, where, found);
    }
    if (mem >= 0) close(mem);
    std::fclose(maps);
    return found;
}

}  // namespace

std::vector<std::string> copies_left(const std::vector<secret>& wanted, const void* own_page) {
    return search_process("self", wanted, own_page);
}

std::vector<std::string> copies_left_in(pid_t pid, const std::vector<secret>& wanted) {
    return search_process(std::to_string(pid), wanted, nullptr);
}
