// Start-up end to end: the path from the command line or the database-file
// prompt, the password retries, and every failure leading back to the
// database-file prompt.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

// The message boxes are centred on the 80x24 screen: 7 rows from row 8,
// the text on row 10 from column 2 of the box, "[OK]" on row 12.
void expect_message_box(const tmux_session& session, const std::string& text) {
    size_t width = text.size() + 4;
    size_t left = (80 - width) / 2;
    std::string text_row = screen_row(session, 10);
    EXPECT_EQ(text_row.substr(left, 2 + text.size() + 2), "x " + text + " x") << screen_dump(session);
    EXPECT_EQ(screen_row(session, 12).substr(left + width / 2 - 2, 4), "[OK]") << screen_dump(session);
}

TEST(startup, three_wrong_passwords_then_the_right_one) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}));

    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE("wrong password " + std::to_string(attempt + 1));
        ASSERT_TRUE(enter_password(session, "wrong " + std::to_string(attempt))) << screen_dump(session);
        ASSERT_TRUE(wait_for_text(session, "Password does not match.")) << screen_dump(session);
        expect_message_box(session, "Password does not match.");
        send_keys(session, {"Enter"});
        ASSERT_TRUE(wait_for_text_gone(session, "Password does not match.")) << screen_dump(session);
    }
    ASSERT_TRUE(enter_password(session, sample_password));
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), path);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

TEST(startup, cancelled_password_brings_the_path_prompt_and_cancelling_that_exits) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}));

    ASSERT_TRUE(wait_for_text(session, "Password:")) << screen_dump(session);
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_reversed(session, "[OK]")) << screen_dump(session);
    send_keys(session, {"Tab"});
    ASSERT_TRUE(wait_for_reversed(session, "[CANCEL]")) << screen_dump(session);
    EXPECT_FALSE(shows_reversed(session, "[OK]"));
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    EXPECT_EQ(screen_dump(session).find("Password"), std::string::npos) << screen_dump(session);
    cancel_prompt(session);
    EXPECT_EQ(wait_for_exit(session), 0) << screen_dump(session);
    EXPECT_TRUE(terminal_restored(session));
}

TEST(startup, without_an_argument_the_path_prompt_comes_first) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {}));

    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    // The 7x51 prompt is centred: its label on row 10 from column 16.
    EXPECT_EQ(screen_row(session, 10).substr(16, 14), "Database File:") << screen_dump(session);
    EXPECT_EQ(screen_dump(session).find("Password:"), std::string::npos);
    // The typed path is used, then the password is asked for.
    ASSERT_TRUE(enter_path(session, path));
    ASSERT_TRUE(enter_password(session, sample_password)) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), path);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

TEST(startup, without_an_argument_cancelling_exits_at_once) {
    temp_dir dir;
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {}));
    ASSERT_TRUE(wait_for_text(session, "Database File:")) << screen_dump(session);
    cancel_prompt(session);
    EXPECT_EQ(wait_for_exit(session), 0) << screen_dump(session);
    EXPECT_TRUE(terminal_restored(session));
}

TEST(startup, only_the_first_of_two_arguments_is_used) {
    temp_dir dir;
    std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(path.empty());
    {
        SCOPED_TRACE("a database, then a missing file");
        tmux_session session;
        ASSERT_TRUE(start_unlocked(session, dir.path, path, sample_password)) << screen_dump(session);
        EXPECT_EQ(screen_row(session, 0), path);
        EXPECT_TRUE(quit_cleanly(session));
    }
    {
        SCOPED_TRACE("a missing file, then a database");
        tmux_session session;
        ASSERT_TRUE(start_kdbrowse(session, dir.path, {dir.path + "/missing.kdb", path}));
        ASSERT_TRUE(wait_for_text(session, "Couldn't read.")) << screen_dump(session);
        EXPECT_EQ(screen_dump(session).find("Password:"), std::string::npos);
    }
}

// Every unreadable path, given as the first argument, ends in "Couldn't
// read." and then the database-file prompt; a database typed there opens.
struct unreadable_case {
    const char* name;
    std::string (*make)(const temp_dir& dir, const std::string& database);
};

void PrintTo(const unreadable_case& c, std::ostream* out) { *out << c.name; }

std::string missing_file(const temp_dir& dir, const std::string&) { return dir.path + "/missing.kdb"; }
std::string empty_file(const temp_dir& dir, const std::string&) { return write_file(dir, "empty.kdb", ""); }
std::string a_directory(const temp_dir& dir, const std::string&) { return dir.path; }
std::string text_file(const temp_dir& dir, const std::string&) {
    return write_file(dir, "notes.txt", "These are not the bytes of a password database.\n");
}
std::string a_fifo(const temp_dir& dir, const std::string&) {
    std::string path = dir.path + "/pipe.kdb";
    return mkfifo(path.c_str(), 0600) == 0 ? path : "";
}
// 2048 bytes or more do not fit the path buffer; the path is refused even
// though it names the readable database.
std::string too_long_path(const temp_dir& dir, const std::string&) {
    std::string path = dir.path + "/";
    while (path.size() < 2100) path += "./";
    return path + "sample.kdb";
}

class unreadable : public testing::TestWithParam<unreadable_case> {};

TEST_P(unreadable, gives_couldnt_read_then_the_path_prompt) {
    temp_dir dir;
    std::string database = write_database(dir, "sample.kdb", sample_database(), sample_password);
    ASSERT_FALSE(database.empty());
    std::string path = GetParam().make(dir, database);
    ASSERT_FALSE(path.empty());
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}));

    ASSERT_TRUE(wait_for_text(session, "Couldn't read.")) << screen_dump(session);
    expect_message_box(session, "Couldn't read.");
    EXPECT_EQ(screen_dump(session).find("Password:"), std::string::npos);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(enter_path(session, database)) << screen_dump(session);
    ASSERT_TRUE(enter_password(session, sample_password)) << screen_dump(session);
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), database);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

INSTANTIATE_TEST_SUITE_P(startup, unreadable,
                         testing::Values(unreadable_case{"missing", missing_file},
                                         unreadable_case{"empty", empty_file},
                                         unreadable_case{"directory", a_directory},
                                         unreadable_case{"text", text_file}, unreadable_case{"fifo", a_fifo},
                                         unreadable_case{"too_long", too_long_path}),
                         [](const testing::TestParamInfo<unreadable_case>& info) { return info.param.name; });

// A terminal that cannot move its cursor: one line on standard error, exit
// status 1, and nothing drawn.
TEST(startup, a_terminal_that_cannot_move_its_cursor_is_refused) {
    const std::string refusal = "kdbrowse: the terminal cannot move its cursor (see TERM)";
    std::string demo = std::string(KDBROWSE_SOURCE_DIR) + "/examples/demo.kdb";
    command_result run = run_command({KDBROWSE_BINARY, demo}, {"TERM=dumb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, refusal + "\n");
    EXPECT_EQ(run.output, "");

    temp_dir dir;
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {demo}, {"TERM=dumb"}));
    EXPECT_EQ(wait_for_exit(session), 1) << screen_dump(session);
    std::vector<std::string> rows = screen_rows(session);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], refusal) << screen_dump(session);
    EXPECT_EQ(rows[1], "");
    EXPECT_EQ(rows[2], "[kdbrowse exit status 1]");
}

TEST(startup, the_demo_database_opens_with_its_password) {
    temp_dir dir;
    std::string demo = std::string(KDBROWSE_SOURCE_DIR) + "/examples/demo.kdb";
    tmux_session session;
    ASSERT_TRUE(start_unlocked(session, dir.path, demo, "demo")) << screen_dump(session);
    EXPECT_EQ(screen_row(session, 0), demo);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

}  // namespace
