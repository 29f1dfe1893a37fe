// The password prompt takes the text exactly as typed: a trailing blank
// kept, nothing lost to a resize that moves the dialog, and no key typed
// during the unlock taken as a command afterwards.
#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

TEST(password_prompt, a_blank_ended_password_typed_across_resizes_unlocks_and_type_ahead_is_dropped) {
    temp_dir dir;
    const std::string password = "secret ";
    std::string path = write_database(dir, "blank.kdb", sample_database(), password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}));
    ASSERT_TRUE(wait_for_text(session, "Password:")) << screen_dump(session);
    send_text(session, password);
    // On a 60 x 12 screen the 7 x 30 prompt has no room where it was: it is
    // made anew at (2, 15), and stays there when the screen grows again.
    resize_window(session, 60, 12);
    ASSERT_TRUE(wait_for_text_at(session, 4, 17, "Password:")) << screen_dump(session);
    resize_window(session, 80, 24);
    // "o" arrives with Enter, before the unlock has ended: it is dropped,
    // so the next key, Tab, selects a group instead of going to a prompt.
    send_keys(session, {"Enter", "o"});
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    EXPECT_EQ(screen_dump(session).find("Database File:"), std::string::npos) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

}  // namespace
