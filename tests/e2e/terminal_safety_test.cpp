// Texts from a database file never reach the terminal as control
// sequences: a title or group name holding ESC ] 0 ; ... BEL would retitle
// the terminal, ESC k ... ESC \ would rename tmux's window, ESC [ 2 J would
// clear the screen. They must show as visible characters instead.
#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

const std::string retitle = "\x1b]0;pwned\x07";
const std::string rename_window = "\x1bkpwned\x1b\\";

database_contents hostile_database() {
    database_contents contents = sample_database();
    contents.groups[0].name = "Evil" + retitle;
    kdb_entry_spec& forum = contents.entries[0];
    forum.title = "T" + retitle;
    forum.username = rename_window;
    forum.url = "\x1b[2J\x9b" "1;1H\r\n\b\t" + retitle;
    forum.notes = "notes" + retitle;
    forum.description = rename_window;
    return contents;
}

std::string terminal_names(const tmux_session& session) {
    return pane_format(session, "title=#{pane_title} window=#{window_name}");
}

TEST(terminal_safety, control_sequences_in_texts_are_drawn_visibly) {
    temp_dir dir;
    std::string path = write_database(dir, "hostile.kdb", hostile_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}));
    ASSERT_TRUE(wait_for_text(session, "Password:")) << screen_dump(session);
    std::string names = terminal_names(session);
    ASSERT_EQ(names.find("pwned"), std::string::npos);
    send_text(session, sample_password);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);

    // The panes: the group name and the entry's texts.
    EXPECT_EQ(terminal_names(session), names)
        << "a text from the database reached the terminal as a control sequence (group tree or entry table)";
    EXPECT_NE(screen_row(session, 4).find("Evil"), std::string::npos) << screen_dump(session);
    EXPECT_NE(screen_row(session, 4).find("]0;pwned"), std::string::npos)
        << "the group name is not shown as visible characters\n"
        << screen_dump(session);
    EXPECT_NE(screen_row(session, 4).find("kpwned"), std::string::npos)
        << "the user name is not shown as visible characters\n"
        << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), path) << "something cleared or moved over the title bar";
    EXPECT_EQ(screen_row(session, 23), group_help);

    // The entry dialog shows the same texts in its fields.
    send_keys(session, {"Tab", "e"});
    ASSERT_TRUE(wait_for_text(session, "uuid:")) << screen_dump(session);
    ASSERT_TRUE(wait_for_text(session, "Notes:")) << screen_dump(session);
    EXPECT_EQ(terminal_names(session), names)
        << "a text from the database reached the terminal as a control sequence (entry dialog)";
    EXPECT_NE(screen_dump(session).find("]0;pwned"), std::string::npos) << screen_dump(session);
    send_keys(session, {"Up", "Enter"});
    ASSERT_TRUE(wait_for_text_gone(session, "uuid:")) << screen_dump(session);

    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
    EXPECT_EQ(terminal_names(session), names);
}

}  // namespace
