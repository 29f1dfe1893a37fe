#include "support/secret_search.h"

#include <curses.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

__attribute__((no_sanitize("address"))) bool found_in(const uint8_t* begin, const uint8_t* end, const uint8_t* chars,
                                                    std::size_t count, const copy_form& form) {
    const std::size_t span = (count - 1) * form.stride + form.unit;
    if (static_cast<std::size_t>(end - begin) < span) return false;
    for (const uint8_t* p = begin; p + span <= end; ++p) {
        if (*p != chars[0]) continue;
        std::size_t i = 0;
        while (i < count && unit_is(p + i * form.stride, form.unit, chars[i])) ++i;
        if (i == count) return true;
    }
    return false;
}

bool found_outside(const uint8_t* begin, const uint8_t* end, const uint8_t* own, const uint8_t* chars,
                   std::size_t count, const copy_form& form) {
    if (own >= begin && own < end) return found_in(begin, own, chars, count, form) || found_in(own + 4096, end, chars, count, form);
    return found_in(begin, end, chars, count, form);
}

// Allocators overwrite the start of a block they are given back (glibc two
// pointers, AddressSanitizer 16 bytes), so a text is first searched for
// without as many of its first characters as leave a run long enough: every
// copy, whole or cut, keeps that tail. Only a tail found costs a second
// pass, for a whole copy.
void search_mapping(const uint8_t* begin, const uint8_t* end, const uint8_t* own, const secret& s,
                    const std::string& where, std::vector<std::string>& found) {
    if (s.size < shortest) return;
    const auto* chars = static_cast<const uint8_t*>(s.bytes);
    const std::size_t forms = s.text ? std::size(text_forms) : 1;
    const std::size_t cut = std::min<std::size_t>(16, s.size - shortest);
    for (std::size_t f = 0; f < forms; ++f) {
        if (!found_outside(begin, end, own, chars + cut, s.size - cut, text_forms[f])) continue;
        const bool whole = found_outside(begin, end, own, chars, s.size, text_forms[f]);
        found.push_back(std::string(s.name) + " as " + text_forms[f].name + (whole ? "" : " (cut)") + " in " + where);
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

// The alternate stack: room for the frame with the largest register state
// (AVX-512's takes near 3 KiB) and for the handler.
alignas(64) static uint8_t frames[64 * 1024];

register_frames::register_frames() {
    const stack_t own{frames, 0, sizeof frames};
    struct sigaction handled{};
    handled.sa_handler = [](int) {};
    handled.sa_flags = SA_ONSTACK;
    if (sigaltstack(&own, &old_stack) != 0 || sigaction(SIGUSR2, &handled, &old_action) != 0) std::abort();
}

register_frames::~register_frames() {
    sigaction(SIGUSR2, &old_action, nullptr);
    sigaltstack(&old_stack, nullptr);
}

void register_frames::save() const { raise(SIGUSR2); }

std::vector<std::string> register_frames::copies_in_registers(const std::vector<secret>& wanted) const {
    std::vector<std::string> found;
    for (const secret& s : wanted) search_mapping(frames, frames + sizeof frames, nullptr, s, "the registers", found);
    return found;
}

std::vector<std::string> copies_left_in(pid_t pid, const std::vector<secret>& wanted) {
    return search_process(std::to_string(pid), wanted, nullptr);
}
