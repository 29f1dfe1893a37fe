#include <gtest/gtest.h>

#include "keys/input.h"
#include "support/virtual_terminal.h"

namespace {

TEST(ReadKey, KeysComeAsCursesGivesThemThenTheEndOfTheInput) {
    virtual_terminal terminal(24, 80);
    WINDOW* window = newwin(5, 10, 0, 0);
    keypad(window, TRUE);
    terminal.type("a");
    terminal.type(keys::up);
    terminal.close_input();
    EXPECT_EQ(read_key_from(window), 'a');
    EXPECT_EQ(read_key_from(window), KEY_UP);
    // From here on every read meets the end at once: no waiting, no spinning.
    EXPECT_EQ(read_key_from(window), key_input_ended);
    EXPECT_EQ(read_key_from(window), key_input_ended);
    delwin(window);
}

TEST(ReadKey, AResizeQueuedBeforeTheEndStillArrives) {
    virtual_terminal terminal(24, 80);
    terminal.close_input();
    terminal.resize(30, 100);
    EXPECT_EQ(read_key_from(stdscr), KEY_RESIZE);
    EXPECT_EQ(read_key_from(stdscr), key_input_ended);
}

}  // namespace
