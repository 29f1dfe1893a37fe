// Terminal sizes that take a dialog's room away while it is open: the
// terminal shrinks below the dialog and grows back. Curses shrinks or moves
// the dialog's windows with the screen, even leaves them beyond its edge;
// the dialog must still be closable with the keys it always takes, and no
// key may be read from (so no window refreshed in) a window whose corner
// lies beyond the screen, which makes curses read outside its arrays.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/entry_dialog.h"
#include "dialogs/prompts.h"
#include "key_probe.h"
#include "kpass/kpass.h"
#include "support/virtual_terminal.h"

namespace {


// Resizes the terminal to rows x cols just before read number at.
struct resize_step {
    int at, rows, cols;
};

void resize_at(virtual_terminal& vt, std::vector<resize_step> steps, int give_up) {
    before_key_read = [&vt, steps, give_up](int read_index) {
        if (read_index >= give_up) {
            std::fprintf(stderr, "the dialog is still open after %d keys\n", give_up);
            std::_Exit(1);
        }
        for (const resize_step& step : steps)
            if (step.at == read_index) vt.resize(step.rows, step.cols);
    };
}

// The corner of the window every key was read from lay on the screen of
// that moment. A read that gave KEY_RESIZE is left out: the probe resizes
// just before it, where a real resize comes after the window was refreshed.
void expect_every_read_on_screen() {
    for (size_t i = 0; i < key_reads.size(); ++i) {
        const key_read& read = key_reads[i];
        if (read.key == KEY_RESIZE) continue;
        ASSERT_FALSE(read.rows.empty());
        EXPECT_LT(read.top, static_cast<int>(read.rows.size())) << "read " << i;
        EXPECT_LT(read.left, static_cast<int>(read.rows[0].size())) << "read " << i;
    }
}

struct one_entry {
    char text[8] = "x";
    kpass_group group{};
    kpass_group* groups[1]{&group};
    kpass_entry entry{};
    kpass_entry* entries[1]{&entry};
    kpass_db db{};
    one_entry() {
        group.id = 1;
        group.name = text;
        entry.group_id = 1;
        entry.title = entry.url = entry.username = entry.password = entry.notes = entry.description = text;
        db.group_count = 1;
        db.entry_count = 1;
        db.groups = groups;
        db.entries = entries;
    }
};

TEST(resize_hostile, entry_dialog_closes_after_the_terminal_shrank_below_it_and_grew_back) {
    virtual_terminal vt(64, 96);
    one_entry e;
    resize_at(vt, {{0, 2, 96}, {1, 24, 80}}, 40);
    // Thirteen Enters reach a button from any field.
    for (int i = 0; i < 13; ++i) vt.type(keys::enter);
    int result = show_entry_dialog(&e.db, &e.entry);
    EXPECT_TRUE(result == 0 || result == 1);
    // Once there was room again the dialog had its own size back, centred.
    ASSERT_GE(key_reads.size(), 3u);
    EXPECT_EQ(key_reads[2].height, 19);
    EXPECT_EQ(key_reads[2].width, 58);
    EXPECT_EQ(key_reads[2].top, 2);
    EXPECT_EQ(key_reads[2].left, 11);
    expect_every_read_on_screen();
}

TEST(resize_hostile, prompt_closes_after_the_terminal_shrank_below_it_and_grew_back) {
    virtual_terminal vt(24, 80);
    resize_at(vt, {{0, 3, 10}, {1, 24, 80}}, 20);
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::enter);
    char buffer[64] = "untouched";
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "untouched");
    expect_every_read_on_screen();
}

TEST(resize_hostile, prompt_cut_off_by_a_narrow_screen_waits_on_the_standard_screen) {
    // On 16 x 14 curses leaves the prompt's window at column 14, just past
    // the screen's edge. The prompt waits for room instead, then comes back
    // whole and centred, and takes its keys as before.
    virtual_terminal vt(24, 80);
    resize_at(vt, {{0, 16, 14}, {1, 24, 80}}, 20);
    vt.type(keys::tab);
    vt.type(keys::tab);
    vt.type(keys::enter);
    char buffer[64] = "untouched";
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 1);
    ASSERT_EQ(key_reads.size(), 5u);
    EXPECT_TRUE(key_reads[1].from_stdscr);
    EXPECT_EQ(key_reads[2].top, 8);
    EXPECT_EQ(key_reads[2].left, 14);
    EXPECT_EQ(key_reads[2].height, 7);
    EXPECT_EQ(key_reads[2].width, 51);
    expect_every_read_on_screen();
}

TEST(resize_hostile, message_box_closes_after_the_terminal_shrank_below_it_and_grew_back) {
    virtual_terminal vt(24, 80);
    resize_at(vt, {{0, 1, 1}, {1, 24, 80}}, 10);
    vt.type(keys::enter);
    message_box("Couldn't read.");
    ASSERT_EQ(key_reads.size(), 3u);
    EXPECT_TRUE(key_reads[1].from_stdscr);
    EXPECT_EQ(key_reads[2].top, 8);
    EXPECT_EQ(key_reads[2].left, 31);
    EXPECT_EQ(key_reads[2].width, 18);
    expect_every_read_on_screen();
}

// A dialog that does not fit the screen wholly, when it opens (the entry
// dialog on 40 x 10, the message box on smaller screens) or once a resize
// leaves it no room (the path prompt on 50 columns), says so alone on the
// standard screen, wrapped at blanks, in plain attributes; Enter gives it up
// as its own way out would. A word wider than the screen is broken at its
// width; rows past the screen's last are left out.
TEST(resize_hostile, a_dialog_too_big_for_the_screen_says_so_and_enter_gives_it_up) {
    enum dialog { entry_details, path_prompt, box };
    const struct { dialog kind; int rows, cols; std::vector<std::string> lines; } cases[] = {
        {entry_details, 10, 40, {"Terminal too small: 58x19 needed. Enter:", "back."}},
        {path_prompt, 24, 50, {"Terminal too small: 51x7 needed. Enter: back."}},
        {box, 6, 34, {"Terminal too small: 18x7 needed.", "Enter: back."}},
        {box, 4, 16, {"Terminal too", "small: 18x7", "needed. Enter:", "back."}},
        {box, 2, 12, {"Terminal too", "small: 18x7"}},
        {box, 6, 5, {"Termi", "nal", "too", "small", ":", "18x7"}},
    };
    one_entry e;
    for (const auto& c : cases) {
        key_reads.clear();
        char buffer[64] = "untouched";
        virtual_terminal vt(c.kind == path_prompt ? 24 : c.rows, c.kind == path_prompt ? 80 : c.cols);
        if (c.kind == path_prompt) resize_at(vt, {{0, c.rows, c.cols}}, 4);
        vt.type(keys::enter);
        if (c.kind == box) message_box("Couldn't read.");
        else
            EXPECT_EQ(c.kind == entry_details ? show_entry_dialog(&e.db, &e.entry)
                                              : prompt_database_path(buffer, sizeof buffer), 1);
        EXPECT_STREQ(buffer, "untouched");
        const key_read& last = key_reads.back();
        EXPECT_TRUE(last.from_stdscr);
        ASSERT_EQ(last.rows.size(), static_cast<size_t>(c.rows));
        for (int row = 0; row < c.rows; ++row) {
            std::string line = row < static_cast<int>(c.lines.size()) ? c.lines[static_cast<size_t>(row)] : "";
            EXPECT_EQ(last.rows[static_cast<size_t>(row)], line + std::string(static_cast<size_t>(c.cols) - line.size(), ' '))
                << c.rows << "x" << c.cols << " row " << row;
            for (attr_t attrs : last.attrs[static_cast<size_t>(row)]) EXPECT_EQ(attrs, A_NORMAL);
        }
        before_key_read = nullptr;
    }
}

TEST(resize_hostile, message_box_left_beyond_a_narrow_screen_is_drawn_afresh) {
    virtual_terminal vt(24, 80);
    resize_at(vt, {{0, 16, 31}}, 10);
    vt.type(keys::enter);
    message_box("Couldn't read.");
    ASSERT_EQ(key_reads.size(), 2u);
    // Centred on the new screen: (16 - 7) / 2, (31 - 18) / 2.
    EXPECT_EQ(key_reads[1].top, 4);
    EXPECT_EQ(key_reads[1].left, 6);
    EXPECT_EQ(key_reads[1].width, 18);
    expect_every_read_on_screen();
}

}  // namespace
