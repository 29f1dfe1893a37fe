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

#include <signal.h>
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

// The registers where the search reads them. While one lives, SIGUSR2 is
// handled on an alternate stack of its own (memory the search reads, and
// that no later call runs on); save() raises it, so that the frame the
// kernel writes there keeps the general and vector registers (zmm16 to
// zmm31 too, where the processor has them) as they were: a secret left in
// a register is found as a copy. Make it before the code under test, since
// installing the handler overwrites vector registers itself, and call
// save() right after that code: any call in between may overwrite them too.
struct register_frames {
    register_frames();
    ~register_frames();
    void save() const;
    // copies_left's search, in the saved registers alone ("in the registers").
    std::vector<std::string> copies_in_registers(const std::vector<secret>& wanted) const;

    stack_t old_stack{};
    struct sigaction old_action{};
};

// The same search in another process, read through /proc/PID/mem (which
// takes root when that process is not dumpable).
std::vector<std::string> copies_left_in(pid_t pid, const std::vector<secret>& wanted);
