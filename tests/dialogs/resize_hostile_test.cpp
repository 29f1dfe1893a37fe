// Terminal sizes that take a dialog's room away while it is open: the
// terminal shrinks below the dialog and grows back. Curses shrinks the
// dialog's windows with the screen; the dialog must still be closable with
// the keys it always takes.
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
}

TEST(resize_hostile, message_box_closes_after_the_terminal_shrank_below_it_and_grew_back) {
    virtual_terminal vt(24, 80);
    resize_at(vt, {{0, 1, 1}, {1, 24, 80}}, 10);
    vt.type(keys::enter);
    message_box("Couldn't read.");
}

}  // namespace
