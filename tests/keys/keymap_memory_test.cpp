// A key map that cannot grow ends the program cleanly. The test program is
// linked with --wrap=realloc, so every realloc goes through the wrapper here.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "keys/keymap.h"
#include "support/virtual_terminal.h"

namespace {
bool fail_realloc = false;
}

extern "C" void* __real_realloc(void* block, std::size_t size);
extern "C" void* __wrap_realloc(void* block, std::size_t size) {
    return fail_realloc ? nullptr : __real_realloc(block, size);
}

TEST(bind_key_death, a_map_that_cannot_grow_ends_the_program) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            key_binding* keymap = new_keymap();
            bind_key(&keymap, 'o', command_open);
            fail_realloc = true;
            bind_key(&keymap, 's', command_save);
        },
        ::testing::ExitedWithCode(1), "^kdbrowse: out of memory\n$");
}

TEST(bind_key_death, ends_curses_before_it_says_so) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            virtual_terminal terminal(24, 80);
            std::atexit([] { std::fputs(isendwin() ? "curses ended\n" : "curses running\n", stderr); });
            key_binding* keymap = new_keymap();
            fail_realloc = true;
            bind_key(&keymap, 'o', command_open);
        },
        ::testing::ExitedWithCode(1), "^kdbrowse: out of memory\ncurses ended\n$");
}

TEST(bind_key_death, rebinding_needs_no_memory) {
    key_binding* keymap = new_keymap();
    bind_key(&keymap, 'o', command_open);
    fail_realloc = true;
    bind_key(&keymap, 'o', command_quit);
    fail_realloc = false;
    EXPECT_EQ(keymap[0].command, command_quit);
    EXPECT_EQ(keymap[1].key, 0);
    std::free(keymap);
}
