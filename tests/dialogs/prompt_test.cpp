#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "dialogs/prompts.h"
#include "key_probe.h"
#include "support/virtual_terminal.h"

namespace {

// Where a prompt's parts land on a screen, worked out from its window.
struct prompt_place {
    int top, left;    // the 7-row dialog window
    int input_col;    // first column of the input field on the screen
    int ok_col, cancel_col;
    int field_row() const { return top + 2; }
    int button_row() const { return top + 4; }
};

prompt_place password_place(int rows, int cols) {
    int top = (rows - 7) / 2, left = (cols - 30) / 2;
    return {top, left, left + 2 + 10, left + 2 + 4, left + 2 + 14};
}

prompt_place path_place(int rows, int cols) {
    int top = (rows - 7) / 2, left = (cols - 51) / 2;
    return {top, left, left + 2 + 15, left + 2 + 16, left + 2 + 26};
}

int cursor_visibility_now() {
    int visibility = curs_set(1);
    curs_set(visibility);
    return visibility;
}

std::string typed(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

void expect_border(int top, int left, int height, int width) {
    EXPECT_EQ(screen_char(top, left), acs(ACS_ULCORNER));
    EXPECT_EQ(screen_char(top, left + width - 1), acs(ACS_URCORNER));
    EXPECT_EQ(screen_char(top + height - 1, left), acs(ACS_LLCORNER));
    EXPECT_EQ(screen_char(top + height - 1, left + width - 1), acs(ACS_LRCORNER));
    for (int col = left + 1; col < left + width - 1; ++col) {
        EXPECT_EQ(screen_char(top, col), acs(ACS_HLINE)) << col;
        EXPECT_EQ(screen_char(top + height - 1, col), acs(ACS_HLINE)) << col;
    }
    for (int row = top + 1; row < top + height - 1; ++row) {
        EXPECT_EQ(screen_char(row, left), acs(ACS_VLINE)) << row;
        EXPECT_EQ(screen_char(row, left + width - 1), acs(ACS_VLINE)) << row;
    }
}

// The prompt as it first shows: border, label, blank underlined input with
// the cursor at its start, both buttons in normal video.
void expect_fresh_prompt(const key_read& first, const prompt_place& at, int width,
                         const std::string& label, int input_width) {
    EXPECT_FALSE(first.from_stdscr);
    EXPECT_EQ(first.top, at.top);
    EXPECT_EQ(first.left, at.left);
    EXPECT_EQ(first.height, 7);
    EXPECT_EQ(first.width, width);
    EXPECT_EQ(snapshot_text(first, at.field_row(), at.left + 2, static_cast<int>(label.size())),
              label);
    EXPECT_EQ(snapshot_text(first, at.field_row(), at.input_col, input_width),
              std::string(input_width, ' '));
    EXPECT_TRUE(all_have(first, at.field_row(), at.input_col, input_width, A_UNDERLINE));
    EXPECT_TRUE(none_have(first, at.field_row(), at.input_col - 1, 1, A_UNDERLINE));
    EXPECT_TRUE(none_have(first, at.field_row(), at.input_col + input_width, 1, A_UNDERLINE));
    EXPECT_EQ(snapshot_text(first, at.button_row(), at.ok_col, 4), "[OK]");
    EXPECT_EQ(snapshot_text(first, at.button_row(), at.cancel_col, 8), "[CANCEL]");
    EXPECT_TRUE(none_have(first, at.button_row(), at.left, width, A_REVERSE));
    EXPECT_EQ(first.cursor_visible, 1);
    EXPECT_EQ(first.cursor_row, at.field_row());
    EXPECT_EQ(first.cursor_col, at.input_col);
}

TEST(prompt_password, window_centred_with_border_label_input_and_buttons) {
    virtual_terminal vt(24, 80);
    vt.type(keys::enter);
    char buffer[256] = "old";
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");  // confirmed without typing: the empty text
    prompt_place at = password_place(24, 80);
    EXPECT_EQ(at.top, 8);
    EXPECT_EQ(at.left, 25);
    ASSERT_EQ(key_reads.size(), 1u);
    expect_fresh_prompt(key_reads[0], at, 30, "Password:", 16);
    expect_border(at.top, at.left, 7, 30);
    EXPECT_EQ(cursor_visibility_now(), 0);  // hidden again on closing
}

TEST(prompt_database_path, window_centred_on_even_and_odd_screens) {
    for (auto [rows, cols] : {std::array{24, 80}, std::array{23, 77}}) {
        key_reads.clear();
        virtual_terminal vt(rows, cols);
        vt.type(keys::enter);
        char buffer[2048];
        EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
        prompt_place at = path_place(rows, cols);
        ASSERT_EQ(key_reads.size(), 1u);
        expect_fresh_prompt(key_reads[0], at, 51, "Database File:", 32);
        expect_border(at.top, at.left, 7, 51);
    }
    prompt_place odd = path_place(23, 77);
    EXPECT_EQ(odd.top, 8);
    EXPECT_EQ(odd.left, 13);
}

TEST(prompt_password, centred_on_odd_screen) {
    virtual_terminal vt(25, 81);
    vt.type(keys::enter);
    char buffer[256];
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    prompt_place at = password_place(25, 81);
    EXPECT_EQ(at.top, 9);
    EXPECT_EQ(at.left, 25);
    expect_fresh_prompt(key_reads.at(0), at, 30, "Password:", 16);
    expect_border(at.top, at.left, 7, 30);
}

// Tab walks input, "[OK]", "[CANCEL]", input; a button is in reverse video
// and the cursor hidden exactly while that button is current.
TEST(prompt_database_path, tab_cycle_highlight_and_cursor) {
    virtual_terminal vt(24, 80);
    vt.type("abc");
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::enter);
    char buffer[2048];
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "abc");
    prompt_place at = path_place(24, 80);
    ASSERT_EQ(key_reads.size(), 7u);
    const key_read& on_ok = key_reads[4];
    EXPECT_EQ(on_ok.cursor_visible, 0);
    EXPECT_TRUE(all_have(on_ok, at.button_row(), at.ok_col, 4, A_REVERSE));
    EXPECT_TRUE(none_have(on_ok, at.button_row(), at.cancel_col, 8, A_REVERSE));
    const key_read& on_cancel = key_reads[5];
    EXPECT_EQ(on_cancel.cursor_visible, 0);
    EXPECT_TRUE(none_have(on_cancel, at.button_row(), at.ok_col, 4, A_REVERSE));
    EXPECT_TRUE(all_have(on_cancel, at.button_row(), at.cancel_col, 8, A_REVERSE));
    const key_read& back = key_reads[6];
    EXPECT_EQ(back.cursor_visible, 1);
    EXPECT_TRUE(none_have(back, at.button_row(), at.left, 51, A_REVERSE));
    EXPECT_EQ(back.cursor_row, at.field_row());
    EXPECT_EQ(back.cursor_col, at.input_col + 3);  // after the typed text
    EXPECT_EQ(snapshot_text(back, at.field_row(), at.input_col, 4), "abc ");
    EXPECT_EQ(cursor_visibility_now(), 0);
}

TEST(prompt_password, enter_on_input_and_on_ok_confirm) {
    virtual_terminal vt(24, 80);
    vt.type("one");
    vt.type(keys::enter);
    vt.type("two");
    vt.type(keys::tab);
    vt.type(keys::enter);
    char buffer[256] = "";
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "one");
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "two");
    EXPECT_EQ(cursor_visibility_now(), 0);
}

// Cancelling leaves every byte of the caller's buffer as it was.
TEST(prompts, cancel_leaves_buffer_untouched) {
    virtual_terminal vt(24, 80);
    vt.type("typed text");
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::enter);
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::enter);
    char buffer[2048];
    std::memset(buffer, 'Z', sizeof buffer);
    std::memcpy(buffer, "earlier\0contents", 16);
    char before[2048];
    std::memcpy(before, buffer, sizeof buffer);
    EXPECT_EQ(prompt_password(buffer, 256), 1);
    EXPECT_EQ(std::memcmp(buffer, before, sizeof buffer), 0);
    EXPECT_EQ(cursor_visibility_now(), 0);
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 1);
    EXPECT_EQ(std::memcmp(buffer, before, sizeof buffer), 0);
}

TEST(prompt_database_path, trailing_blanks_trimmed_leading_and_inner_kept) {
    virtual_terminal vt(24, 80);
    vt.type("  my  file.kdb   ");
    vt.type(keys::enter);
    vt.type("     ");
    vt.type(keys::enter);
    char buffer[2048];
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "  my  file.kdb");
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

TEST(prompts, text_as_long_as_the_field_handed_back_whole) {
    virtual_terminal vt(24, 80);
    vt.type(typed(16));
    vt.type(keys::enter);
    vt.type(typed(32));
    vt.type(keys::enter);
    char buffer[2048];
    EXPECT_EQ(prompt_password(buffer, 256), 0);
    EXPECT_EQ(std::string(buffer), typed(16));
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), typed(32));
}

// A path longer than the field scrolls inside its 32 columns: the end of
// the text stays in view and nothing spills past the field.
TEST(prompt_database_path, long_path_scrolls_and_comes_back_whole) {
    virtual_terminal vt(24, 80);
    std::string path = "/";
    path += typed(99);
    vt.type(path);
    vt.type(keys::enter);
    char buffer[2048];
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), path);
    prompt_place at = path_place(24, 80);
    const key_read& last = key_reads.back();
    std::string shown = snapshot_text(last, at.field_row(), at.input_col, 32);
    EXPECT_NE(shown.find(path.substr(path.size() - 20)), std::string::npos) << shown;
    EXPECT_EQ(shown.find('/'), std::string::npos) << shown;
    EXPECT_EQ(snapshot_text(last, at.field_row(), at.input_col + 32, 2), " #");  // then the border
    EXPECT_EQ(last.cursor_row, at.field_row());
    EXPECT_GE(last.cursor_col, at.input_col);
    EXPECT_LT(last.cursor_col, at.input_col + 32);
}

// The field takes size - 1 characters, so all it holds fits the buffer.
TEST(prompt_database_path, input_limited_to_size_minus_one) {
    virtual_terminal vt(24, 80);
    take_snapshots = false;
    std::string text = typed(2100);
    vt.type(text);
    vt.type(keys::enter);
    char buffer[2048];
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), text.substr(0, 2047));

    vt.type(typed(60));
    vt.type(keys::enter);
    char small[40];
    EXPECT_EQ(prompt_database_path(small, sizeof small), 0);
    EXPECT_EQ(std::string(small), typed(39));
}

TEST(prompt_password, input_limited_to_size_minus_one) {
    virtual_terminal vt(24, 80);
    take_snapshots = false;
    vt.type(typed(300));
    vt.type(keys::enter);
    char buffer[256];
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), typed(255));
}

TEST(prompt_database_path, editing_keys) {
    virtual_terminal vt(24, 80);
    vt.type(keys::backspace);  // at the first position: nothing, stays in the field
    vt.type("ac");
    vt.type(keys::left);
    vt.type("b");
    vt.type(keys::right);
    vt.type("dx");
    vt.type(keys::backspace);
    vt.type(keys::up);
    vt.type(keys::down);
    vt.type(keys::home);
    vt.type("e");
    vt.type(keys::enter);
    char buffer[2048];
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "abcde");
    prompt_place at = path_place(24, 80);
    // After the first backspace: still on the input, no button highlighted.
    const key_read& after_backspace = key_reads.at(1);
    EXPECT_EQ(after_backspace.cursor_visible, 1);
    EXPECT_EQ(after_backspace.cursor_row, at.field_row());
    EXPECT_EQ(after_backspace.cursor_col, at.input_col);
    for (const key_read& read : key_reads)
        EXPECT_TRUE(none_have(read, at.button_row(), at.left, 51, A_REVERSE));
}

TEST(prompt_password, typing_on_a_button_changes_nothing) {
    virtual_terminal vt(24, 80);
    vt.type("pw");
    vt.type(keys::tab);
    vt.type("xyz");
    vt.type(keys::backspace);
    vt.type(keys::enter);
    char buffer[256];
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "pw");
}

TEST(prompt_password, typed_text_never_shown) {
    virtual_terminal vt(24, 80);
    vt.type("secret");
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::enter);
    char buffer[256];
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "secret");
    prompt_place at = password_place(24, 80);
    for (const key_read& read : key_reads) {
        EXPECT_EQ(snapshot_text(read, at.field_row(), at.input_col, 16), std::string(16, ' '));
        EXPECT_TRUE(all_have(read, at.field_row(), at.input_col, 16, A_UNDERLINE));
        for (const std::string& row : read.rows) EXPECT_EQ(row.find("se"), std::string::npos);
    }
    for (int row = 0; row < 24; ++row) EXPECT_EQ(screen_row(row).find("se"), std::string::npos);
    EXPECT_EQ(screen_row(at.field_row()).substr(at.input_col, 17), std::string(17, ' '));
}

// A resize is read and dropped: the dialog keeps its size and place.
TEST(prompt_password, resize_dropped) {
    virtual_terminal vt(24, 80);
    before_key_read = [&vt](int read_index) {
        if (read_index == 1) vt.resize(30, 100);
    };
    vt.type("ab");
    vt.type(keys::enter);
    char buffer[256];
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "ab");
    ASSERT_EQ(key_reads.size(), 4u);
    EXPECT_EQ(key_reads[1].key, KEY_RESIZE);
    prompt_place at = password_place(24, 80);
    const key_read& after = key_reads[3];
    EXPECT_EQ(after.top, at.top);
    EXPECT_EQ(after.left, at.left);
    EXPECT_EQ(after.width, 30);
    EXPECT_EQ(snapshot_text(after, at.field_row(), at.left + 2, 9), "Password:");
    EXPECT_EQ(snapshot_text(after, at.button_row(), at.ok_col, 4), "[OK]");
}

// On a screen too small for the window, the prompt waits on stdscr, drops
// keys (all but Enter), and opens once a resize makes room.
TEST(prompt_password, waits_for_room_on_a_tiny_screen) {
    virtual_terminal vt(5, 20);
    before_key_read = [&vt](int read_index) {
        if (read_index == 1) vt.resize(6, 20);   // still too small
        if (read_index == 3) vt.resize(24, 80);  // room at last
    };
    vt.type("xy");
    vt.type("pw");
    vt.type(keys::enter);
    char buffer[256] = "kept?";
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "pw");
    ASSERT_EQ(key_reads.size(), 7u);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(key_reads[i].from_stdscr) << i;
    EXPECT_EQ(key_reads[0].key, 'x');
    EXPECT_EQ(key_reads[1].key, KEY_RESIZE);
    EXPECT_EQ(key_reads[2].key, 'y');
    EXPECT_EQ(key_reads[3].key, KEY_RESIZE);
    expect_fresh_prompt(key_reads[4], password_place(24, 80), 30, "Password:", 16);
    expect_border(8, 25, 7, 30);
}

}  // namespace
