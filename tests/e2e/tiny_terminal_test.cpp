// A terminal too small for the list windows: the program keeps waiting for
// keys without using the processor, still quits on "q", and a resize back
// restores the screen.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

// Processor time the program uses over about a second of waiting.
double cpu_seconds_while_idle(pid_t pid) {
    double before = cpu_seconds(pid);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    double after = cpu_seconds(pid);
    return before < 0 || after < 0 ? -1 : after - before;
}

TEST(tiny_terminal, waits_without_spinning_and_recovers_on_resize) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password)) << screen_dump(session);
    pid_t pid = program_pid(session);
    ASSERT_GT(pid, 0);

    // Five lines leave the lists no rows: their windows are absent, while
    // the help bar moves to the new last line.
    resize_window(session, 80, 5);
    ASSERT_TRUE(wait_for_row(session, 4, group_help)) << screen_dump(session);
    double used = cpu_seconds_while_idle(pid);
    ASSERT_GE(used, 0) << "cannot read /proc/" << pid << "/stat";
    EXPECT_LT(used, 0.3) << "the key loop spins while the list windows are absent";
    EXPECT_EQ(pane_format(session, "#{pane_dead}"), "0");

    // Keys that the focused pane binds still work, and a resize back
    // brings the whole screen again with the cursor where it was.
    send_keys(session, {"Down"});
    resize_window(session, 80, 24);
    ASSERT_TRUE(wait_for_row(session, 23, group_help)) << screen_dump(session);
    ASSERT_TRUE(wait_for_text_at(session, 4, 14, "Mail ")) << screen_dump(session);
    EXPECT_EQ(text_at(session, 5, 10, 1), "*") << screen_dump(session);

    resize_window(session, 80, 5);
    ASSERT_TRUE(wait_for_row(session, 4, group_help)) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

TEST(tiny_terminal, a_group_pane_as_wide_as_the_screen) {
    temp_dir dir;
    database_contents contents = sample_database();
    contents.groups[0].name = std::string(90, 'G');
    std::string path = write_database(dir, "wide.kdb", contents, sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password)) << screen_dump(session);
    pid_t pid = program_pid(session);
    ASSERT_GT(pid, 0);

    // Tab would give focus to the absent entry table.
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    double used = cpu_seconds_while_idle(pid);
    ASSERT_GE(used, 0);
    EXPECT_LT(used, 0.3) << "the key loop spins while the entry table is absent";
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_row(session, 23, group_help)) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

TEST(tiny_terminal, a_prompt_waits_for_room_at_start_up) {
    temp_dir dir;
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {}, {}, 80, 5));
    // The 7-row prompt cannot be shown on five lines; the program waits.
    pid_t pid = wait_for_program_waiting(session);
    ASSERT_GT(pid, 0) << "the program never waits for a key";
    double used = cpu_seconds_while_idle(pid);
    ASSERT_GE(used, 0);
    EXPECT_LT(used, 0.3) << "the prompt spins while its window cannot be created";
    EXPECT_EQ(screen_dump(session).find("Database File:"), std::string::npos) << screen_dump(session);

    resize_window(session, 80, 24);
    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    cancel_prompt(session);
    EXPECT_EQ(wait_for_exit(session), 0) << screen_dump(session);
    EXPECT_TRUE(terminal_restored(session));
}

}  // namespace
