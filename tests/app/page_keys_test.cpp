#include <gtest/gtest.h>

#include "app/page_keys.h"
#include "keys/keymap.h"

// A page key that moves the cursor out of sight, past the ends of the
// list, or at all when there is no list window or no item.
TEST(page_move, moves_a_page_or_to_an_end_and_keeps_the_cursor_shown) {
    const struct { const char* command; int cursor, first, count, rows, cursor_after, first_after; } cases[] = {
        {command_page_down, 0, 0, 20, 5, 5, 5},
        {command_page_down, 17, 15, 20, 5, 19, 15},  // first stops at the last page
        {command_page_up, 7, 5, 20, 5, 2, 0},
        {command_home, 12, 10, 20, 5, 0, 0},
        {command_end, 0, 0, 3, 5, 2, 0},
        {command_page_up, 6, 2, 20, 3, 3, 1},  // a shrink left the cursor below the last row
        {command_page_down, 6, 2, 20, 3, 9, 7},
        {command_page_down, 4, 2, 20, 0, 4, 2},  // no list window, no items: nothing moves
        {command_end, 0, 0, 0, 5, 0, 0},
    };
    for (const auto& c : cases) {
        int cursor = c.cursor, first = c.first;
        page_move(c.command, &cursor, &first, c.count, c.rows);
        EXPECT_EQ(std::pair(cursor, first), std::pair(c.cursor_after, c.first_after)) << c.command << c.cursor;
    }
}
