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

// Ctrl-Z: the screen blanked and the terminal given back to the shell. "fg":
// the screen as it was. Then "open" of the same file, cancelled at the
// password: the screen is cleared twice, and xterm's blanks, which take the
// background colour, would let curses clear it whole, which tmux keeps in
// its scrollback.
void stop_continue_and_open(const tmux_session& session, const std::string& path) {
    const std::string before = screen_dump(session);
    const std::string cursor_row = screen_rows(session, true).at(4);  // in reverse video
    send_keys(session, {"C-z"});
    ASSERT_TRUE(wait_for_text_gone(session, "add-entry")) << screen_dump(session);
    EXPECT_TRUE(poll_until([&] { return terminal_restored(session); }, 5));
    send_keys(session, {"Enter"});  // the shell's "fg"
    EXPECT_TRUE(wait_for_text(session, "forum-secret")) << screen_dump(session);
    EXPECT_EQ(screen_dump(session), before);
    EXPECT_EQ(screen_rows(session, true).at(4), cursor_row);
    EXPECT_EQ(pane_format(session, "#{cursor_flag}:#{keypad_cursor_flag}"), "0:1");  // curses' modes back
    send_keys(session, {"o"});
    ASSERT_TRUE(enter_path(session, path) && wait_for_text(session, "Password:")) << screen_dump(session);
    cancel_prompt(session);
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
}

// After the program has ended: no text of the database (nor the path, nor
// the keys typed) on the screen or in the scrollback.
void expect_nothing_left(const tmux_session& session, const std::vector<std::string>& texts) {
    std::string left = scrollback_and_screen(session);
    for (const std::string& text : texts)
        EXPECT_EQ(left.find(text), std::string::npos) << text << " is left on the terminal:\n" << left;
    for (const char* text : {"forum-secret", "Forum", "alice", "Internet", "Groups", "Username", "add-entry"})
        EXPECT_EQ(left.find(text), std::string::npos) << text << " is left on the terminal:\n" << left;
}

class leaving : public testing::TestWithParam<leaving_case> {};

TEST_P(leaving, leaves_nothing_of_the_database_on_the_terminal) {
    const leaving_case& c = GetParam();
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    session.alternate_screen = c.alternate_screen;
    session.job_control = c.signal_number == SIGTSTP;
    std::vector<std::string> env;
    if (*c.term != '\0') env.push_back(std::string("TERM=") + c.term);
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}, env));
    ASSERT_TRUE(enter_password(session, sample_password)) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    send_keys(session, {"Tab", "r"});
    ASSERT_TRUE(wait_for_text_at(session, 4, 56, "forum-secret")) << screen_dump(session);

    if (c.signal_number == SIGTSTP) stop_continue_and_open(session, path);
    if (c.signal_number == 0 || c.signal_number == SIGTSTP)
        send_keys(session, {"q"});
    else
        ASSERT_EQ(kill(program_pid(session), c.signal_number), 0);
    EXPECT_EQ(wait_for_exit(session), c.status) << screen_dump(session);
    EXPECT_TRUE(terminal_restored(session));
    expect_nothing_left(session, {path});
}

// "q" exits with status 0, also after a stop; SIGINT, SIGTERM and SIGQUIT
// with status 1.
INSTANTIATE_TEST_SUITE_P(
    leaving, leaving,
    testing::Values(leaving_case{"quit_vt100", "vt100", true, 0, 0},
                    leaving_case{"quit_alternate_screen_off", "", false, 0, 0},
                    leaving_case{"sigint_vt100", "vt100", true, SIGINT, 1},
                    leaving_case{"sigterm_alternate_screen_off", "", false, SIGTERM, 1},
                    leaving_case{"sigquit_alternate_screen_off", "", false, SIGQUIT, 1},
                    leaving_case{"ctrl_z_fg_open_xterm_alternate_screen_off", "xterm", false, SIGTSTP, 0}),
    [](const testing::TestParamInfo<leaving_case>& info) { return info.param.name; });

}  // namespace

namespace {

// Ctrl-Z while the key is being made (a file of many rounds: over a second),
// "fg", and keys typed at once: the program's modes and the alternate
// screen come back with the continue, not at the next key read after the
// key is made. So what is typed is not echoed, the first browsing screen is
// drawn on the alternate screen, and after "q" neither the screen nor the
// scrollback shows the database.
TEST(leaving, ctrl_z_while_the_key_is_made_then_fg_gives_the_program_its_screen_at_once) {
    temp_dir dir;
    std::string path = write_database(dir, "slow.kdb", sample_database(), sample_password, {}, 40'000'000);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    session.job_control = true;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}));
    const pid_t pid = wait_for_program_waiting(session);
    ASSERT_TRUE(pid > 0 && enter_password(session, sample_password)) << screen_dump(session);
    const double before = cpu_seconds(pid);
    ASSERT_TRUE(poll_until([&] { return cpu_seconds(pid) > before + 0.1; })) << "the key is not being made";
    send_keys(session, {"C-z"});
    ASSERT_TRUE(poll_until([&] { return process_state(pid) == 'T' && terminal_restored(session); }));
    send_keys(session, {"Enter"});  // the shell's "fg"
    ASSERT_TRUE(poll_until([&] { return process_state(pid) != 'T'; }));
    send_text(session, "typed-ahead");
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    EXPECT_EQ(pane_format(session, "#{alternate_on}:#{cursor_flag}:#{keypad_cursor_flag}"), "1:0:1");
    EXPECT_EQ(screen_dump(session).find("typed-ahead"), std::string::npos) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
    expect_nothing_left(session, {path, "typed-ahead"});
}

}  // namespace
