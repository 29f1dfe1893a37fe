// Looks through the process's writable memory (heap, stacks, every other
// writable private mapping) for copies of secrets, in every form a copy
// takes: the plain bytes; for texts also UTF-16 and UTF-32 (wide strings,
// integer key codes) and curses cells (one character per cell struct, as
// ncursesw keeps windows and pads); and each of these without its first
// characters (up to 16, "(cut)"), since allocators overwrite the start of a
// freed block. Freed memory and sanitizer red zones are read too: that is where
// left-overs hide.
//
// The values searched for must not be copied by the test itself: keep them
// in a page of their own (mapped for them alone), which the search leaves
// out, and hand them to the code under test from there.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

struct secret {
    const char* name;
    const void* bytes;
    std::size_t size;
    bool text;  // a text of ASCII characters: searched in every form
};

// "<name> as <form> in <mapping>" for every copy found outside the page
// at own_page (4096 bytes).
std::vector<std::string> copies_left(const std::vector<secret>& wanted, const void* own_page);

// The same search in another process, read through /proc/PID/mem (which
// takes root when that process is not dumpable).
std::vector<std::string> copies_left_in(pid_t pid, const std::vector<secret>& wanted);
