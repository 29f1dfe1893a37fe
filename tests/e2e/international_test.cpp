// Real files with texts and passwords outside ASCII, in a UTF-8 terminal;
// and bytes outside ASCII typed in the "C" locale, which must not garble
// the prompt.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"
#include "support/peer_files.h"

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// KeePassX hashed "öäüß" as its Latin-1 bytes: typed as UTF-8, it unlocks.
// Then a file of KeePass 1.x, whose password "password with accents àéç"
// is revealed as its characters.
TEST(international, a_utf8_terminal_unlocks_and_shows_files_of_other_writers) {
    const std::string latin1 = peer_dir + "/kpx-latin1-password.kdb";
    const std::string accents = peer_dir + "/kp1-accents-nonlatin.kdb";
    if (!exists(latin1) || !exists(accents)) GTEST_SKIP() << "no " << peer_dir << ": cross-check skipped";
    temp_dir dir;
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {latin1}, {"LANG=C.UTF-8"}, 120, 24));
    ASSERT_TRUE(enter_password(session, "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f")) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    EXPECT_TRUE(screen_row(session, 4).starts_with("\xe2\x94\x82Internet")) << screen_dump(session);
    // Line drawing in Unicode box characters, in the same cells.
    EXPECT_EQ(screen_row(session, 1).substr(0, 3), "\xe2\x94\x8c") << screen_dump(session);

    ASSERT_TRUE(open_database_file(session, accents, "123")) << screen_dump(session);
    send_keys(session, {"Down", "Tab", "Down", "Down", "r"});
    const std::string password = "password with accents \xc3\xa0\xc3\xa9\xc3\xa7";
    ASSERT_TRUE(wait_for_text(session, password)) << screen_dump(session);
    EXPECT_NE(screen_row(session, 6).find(password), std::string::npos) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

// In the "C" locale every byte of "ä" is taken as a byte: the field shows
// "?" for each, the label stays whole, and the path tried is what was typed.
TEST(international, bytes_outside_ascii_in_the_c_locale_leave_the_prompt_whole) {
    temp_dir dir;
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {}));
    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    send_text(session, "ab\xc3\xa4" "c\xc3\xb6" "d");
    ASSERT_TRUE(wait_for_text(session, "Database File: ab??c??d")) << screen_dump(session);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_text(session, "Couldn't read.")) << screen_dump(session);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    cancel_prompt(session);
    EXPECT_EQ(wait_for_exit(session), 0);
}

}  // namespace
