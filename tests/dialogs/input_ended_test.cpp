#include <gtest/gtest.h>

#include <cstring>

#include "dialogs/entry_dialog.h"
#include "dialogs/prompts.h"
#include "kpass/kpass.h"
#include "support/virtual_terminal.h"

namespace {

// Once the terminal's input has ended no key can come: every dialog ends as
// its cancel does instead of waiting (or spinning) forever.
TEST(input_ended, prompts_cancel_and_leave_the_buffer_untouched) {
    virtual_terminal vt(24, 80);
    vt.type("typed but never confirmed");
    vt.close_input();
    char buffer[64] = "earlier";
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "earlier");
    EXPECT_EQ(prompt_password(buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "earlier");
}

TEST(input_ended, the_message_box_closes) {
    virtual_terminal vt(24, 80);
    vt.type("x");
    vt.close_input();
    message_box("Couldn't read.");
    SUCCEED();
}

TEST(input_ended, the_entry_dialog_closes_as_cancelled) {
    virtual_terminal vt(24, 80);
    vt.close_input();
    char empty[] = "";
    char name[] = "group";
    kpass_group group{};
    group.id = 1;
    group.name = name;
    kpass_group* groups[] = {&group};
    kpass_entry entry{};
    entry.group_id = 1;
    entry.title = entry.url = entry.username = entry.password = entry.notes = entry.description = empty;
    kpass_entry* entries[] = {&entry};
    kpass_db db{};
    db.group_count = db.entry_count = 1;
    db.groups = groups;
    db.entries = entries;
    EXPECT_EQ(show_entry_dialog(&db, &entry), 1);
}

TEST(input_ended, a_dialog_waiting_for_room_gives_up) {
    virtual_terminal vt(5, 20);
    vt.close_input();
    char buffer[16] = "kept";
    EXPECT_EQ(prompt_database_path(buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "kept");
    message_box("Password does not match.");
}

}  // namespace
