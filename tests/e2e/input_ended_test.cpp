// A terminal whose input has ended (here: standard input at end of file)
// can never give another key: the program ends by itself, as if every
// dialog were cancelled, with status 0 and the terminal restored, instead
// of spinning on the error curses returns at once.
#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

TEST(input_ended, the_program_ends_by_itself) {
    temp_dir dir;
    tmux_session session;
    std::string demo = std::string(KDBROWSE_SOURCE_DIR) + "/examples/demo.kdb";
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {demo}, {}, 80, 24, "/dev/null"));
    EXPECT_EQ(wait_for_exit(session), 0) << screen_dump(session);
    EXPECT_TRUE(terminal_restored(session));
}

}  // namespace
