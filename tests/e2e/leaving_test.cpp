// Leaving the program on a terminal without an alternate screen (TERM=vt100
// has none; tmux can ignore the switch to it): nothing of the database may
// stay on the screen or in the scrollback, however the program ends.
#include <signal.h>

#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

struct leaving_case {
    const char* name;
    const char* term;       // for the program; "" keeps tmux's own
    bool alternate_screen;  // tmux honours the switch to it
    int signal_number;      // 0: "q"
    int status;
};

void PrintTo(const leaving_case& c, std::ostream* out) { *out << c.name; }

class leaving : public testing::TestWithParam<leaving_case> {};

TEST_P(leaving, leaves_nothing_of_the_database_on_the_terminal) {
    const leaving_case& c = GetParam();
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    session.alternate_screen = c.alternate_screen;
    std::vector<std::string> env;
    if (*c.term != '\0') env.push_back(std::string("TERM=") + c.term);
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}, env));
    ASSERT_TRUE(enter_password(session, sample_password)) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    send_keys(session, {"Tab", "r"});
    ASSERT_TRUE(wait_for_text_at(session, 4, 56, "forum-secret")) << screen_dump(session);

    if (c.signal_number == 0)
        send_keys(session, {"q"});
    else
        ASSERT_EQ(kill(program_pid(session), c.signal_number), 0);
    EXPECT_EQ(wait_for_exit(session), c.status) << screen_dump(session);
    EXPECT_TRUE(terminal_restored(session));
    std::string left = scrollback_and_screen(session);
    for (const char* text : {"forum-secret", "Forum", "alice", "Internet", "Groups", "Username", "add-entry"})
        EXPECT_EQ(left.find(text), std::string::npos) << text << " is left on the terminal:\n" << left;
    EXPECT_EQ(left.find(path), std::string::npos) << "the path is left on the terminal:\n" << left;
}

// "q" exits with status 0; curses' own handlers end SIGINT and SIGTERM with
// status 1.
INSTANTIATE_TEST_SUITE_P(
    leaving, leaving,
    testing::Values(leaving_case{"quit_vt100", "vt100", true, 0, 0},
                    leaving_case{"quit_alternate_screen_off", "", false, 0, 0},
                    leaving_case{"sigint_vt100", "vt100", true, SIGINT, 1},
                    leaving_case{"sigterm_alternate_screen_off", "", false, SIGTERM, 1}),
    [](const testing::TestParamInfo<leaving_case>& info) { return info.param.name; });

}  // namespace
