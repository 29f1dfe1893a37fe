#include <gtest/gtest.h>

#include <string>

#include "dialogs/prompts.h"
#include "key_probe.h"
#include "support/virtual_terminal.h"

namespace {

void expect_box(int top, int left, const std::string& text, int ok_col) {
    int width = static_cast<int>(text.size()) + 4;
    EXPECT_EQ(screen_char(top, left), acs(ACS_ULCORNER));
    EXPECT_EQ(screen_char(top, left + width - 1), acs(ACS_URCORNER));
    EXPECT_EQ(screen_char(top + 6, left), acs(ACS_LLCORNER));
    EXPECT_EQ(screen_char(top + 6, left + width - 1), acs(ACS_LRCORNER));
    EXPECT_EQ(screen_char(top + 3, left), acs(ACS_VLINE));
    EXPECT_EQ(screen_char(top, left + 1), acs(ACS_HLINE));
    EXPECT_EQ(screen_row(top + 1).substr(left + 1, width - 2), std::string(width - 2, ' '));
    EXPECT_EQ(screen_row(top + 2).substr(left + 1, width - 2), " " + text + " ");
    EXPECT_EQ(screen_row(top + 4).substr(left + 1, width - 2),
              std::string(ok_col - 1, ' ') + "[OK]" + std::string(width - 2 - ok_col - 3, ' '));
    for (int col = left; col < left + width; ++col) {
        bool on_ok = col >= left + ok_col && col < left + ok_col + 4;
        EXPECT_EQ(screen_attrs(top + 4, col) & A_REVERSE, on_ok ? A_REVERSE : 0u) << col;
        EXPECT_EQ(screen_attrs(top + 2, col) & A_REVERSE, 0u) << col;
    }
}

// Only the key code 10 closes the box; everything else, the keypad's Enter
// (KEY_ENTER) and a resize included, is read and dropped.
TEST(message_box, closes_only_on_enter) {
    virtual_terminal vt(24, 80);
    set_escdelay(10);
    before_key_read = [&vt](int read_index) {
        if (read_index == 3) vt.resize(30, 100);
    };
    vt.type("x");
    vt.type("\033OM");  // keypad Enter
    vt.type(keys::tab);
    vt.type(keys::escape);
    vt.type(keys::enter);
    message_box("Couldn't read.");
    ASSERT_EQ(key_reads.size(), 6u);
    EXPECT_EQ(key_reads[0].key, 'x');
    EXPECT_EQ(key_reads[1].key, KEY_ENTER);
    EXPECT_EQ(key_reads[2].key, 9);
    EXPECT_EQ(key_reads[3].key, KEY_RESIZE);
    EXPECT_EQ(key_reads[4].key, 27);
    EXPECT_EQ(key_reads[5].key, 10);
    for (const key_read& read : key_reads) {
        EXPECT_EQ(read.top, 8);
        EXPECT_EQ(read.left, 31);
    }
    expect_box(8, 31, "Couldn't read.", 7);
}

TEST(message_box, couldnt_read_is_18_wide_with_ok_at_column_7) {
    virtual_terminal vt(24, 80);
    vt.type(keys::enter);
    message_box("Couldn't read.");
    ASSERT_EQ(key_reads.size(), 1u);
    EXPECT_EQ(key_reads[0].height, 7);
    EXPECT_EQ(key_reads[0].width, 18);
    EXPECT_EQ(key_reads[0].top, 8);
    EXPECT_EQ(key_reads[0].left, 31);
    expect_box(8, 31, "Couldn't read.", 7);
}

TEST(message_box, password_mismatch_is_28_wide_with_ok_at_column_12_on_odd_screen) {
    virtual_terminal vt(25, 81);
    vt.type(keys::enter);
    message_box("Password does not match.");
    ASSERT_EQ(key_reads.size(), 1u);
    EXPECT_EQ(key_reads[0].width, 28);
    EXPECT_EQ(key_reads[0].top, 9);
    EXPECT_EQ(key_reads[0].left, 26);
    expect_box(9, 26, "Password does not match.", 12);
}

TEST(message_box, leaves_cursor_visibility_as_it_was) {
    virtual_terminal vt(24, 80);
    vt.type(keys::enter);
    vt.type(keys::enter);
    curs_set(0);
    message_box("Couldn't read.");
    EXPECT_EQ(key_reads[0].cursor_visible, 0);
    EXPECT_EQ(curs_set(1), 0);
    message_box("Couldn't read.");
    EXPECT_EQ(key_reads[1].cursor_visible, 1);
    EXPECT_EQ(curs_set(0), 1);
}

// Too small a screen: keys are read from stdscr; Enter still closes the box.
TEST(message_box, enter_closes_it_on_a_tiny_screen) {
    virtual_terminal vt(5, 10);
    vt.type("x");
    vt.type(keys::enter);
    message_box("Couldn't read.");
    ASSERT_EQ(key_reads.size(), 2u);
    EXPECT_TRUE(key_reads[0].from_stdscr);
    EXPECT_TRUE(key_reads[1].from_stdscr);
    EXPECT_EQ(key_reads[1].key, 10);
}

TEST(message_box, opens_once_a_resize_makes_room) {
    virtual_terminal vt(5, 10);
    before_key_read = [&vt](int read_index) {
        if (read_index == 0) vt.resize(24, 80);
    };
    vt.type("\033OM");
    vt.type(keys::enter);
    message_box("Couldn't read.");
    ASSERT_EQ(key_reads.size(), 3u);
    EXPECT_TRUE(key_reads[0].from_stdscr);
    EXPECT_EQ(key_reads[0].key, KEY_RESIZE);
    EXPECT_FALSE(key_reads[1].from_stdscr);
    EXPECT_EQ(key_reads[1].key, KEY_ENTER);
    expect_box(8, 31, "Couldn't read.", 7);
}

}  // namespace
