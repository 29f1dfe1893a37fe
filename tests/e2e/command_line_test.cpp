// The command line: the answers kdbrowse gives before it touches the
// terminal (help, the version, usage errors, key files it cannot use), a
// run with a key file, and the bash completion.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"

// A wrong status or stream, a usage error that --help hides, a key file
// read when only help is asked for, escape sequences (curses started)
// before any answer.
TEST(command_line, answers_without_touching_the_terminal) {
    temp_dir dir;
    const std::string usage = "Usage: kdbrowse [-k KEYFILE] [-c SECONDS] [-s SELECTION] [database.kdb]\n";
    const std::string key_file = "kdbrowse: key file '";
    const std::string seconds = "kdbrowse: option '--clear-after' takes 1 to 3600 seconds, not '";
    const std::string selection = "kdbrowse: option '--selection' takes primary, clipboard or both, not '";
    std::string missing = dir.path + "/missing.key", empty = write_file(dir, "empty.key", ""), fifo = dir.path + "/f";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct { std::vector<std::string> args; int status; std::string output_start, errors; } cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"a.kdb", "-V"}, 0, "kdbrowse 0.", ""},
        {{"--help", "--bogus"}, 2, "", "kdbrowse: unknown option '--bogus'\n" + usage},
        {{"a.kdb", "-k"}, 2, "", "kdbrowse: option '-k' needs a value\n" + usage},
        {{"-k", missing, "--help"}, 0, usage, ""},
        {{"-k", missing, "--", "--help"}, 1, "", key_file + missing + "': No such file or directory\n"},
        {{"--key=" + empty}, 1, "", key_file + empty + "': empty\n"},
        {{"-k", dir.path}, 1, "", key_file + dir.path + "': not a regular file\n"},
        {{"a.kdb", "--key-file", fifo}, 1, "", key_file + fifo + "': not a regular file\n"},
        {{"-c", "0"}, 2, "", seconds + "0'\n" + usage},
        {{"-c", "+5"}, 2, "", seconds + "+5'\n" + usage},
        {{"--clear-after=3601", "--clear-after=5"}, 2, "", seconds + "3601'\n" + usage},
        {{"--clear=1 "}, 2, "", seconds + "1 '\n" + usage},
        {{"-s", "Primary", "--help"}, 2, "", selection + "Primary'\n" + usage},
        {{"--clear-selection-helper", "1", "primary"}, 2, "", "kdbrowse: unknown option '--clear-selection-helper'\n" + usage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::vector<std::string> argv = {KDBROWSE_BINARY};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        command_result result = run_command(argv, {"TERM=xterm"});
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.output.substr(0, c.output_start.size()), c.output_start);
        EXPECT_EQ(result.output.find('\x1b'), std::string::npos);
        EXPECT_EQ(result.errors, c.errors);
    }
}

// Help or the version into a pipe whose reader has gone (a FIFO opened
// for writing, its one reader then closed): a line that says so and status
// 1, not an end by SIGPIPE without a word.
TEST(command_line, help_into_a_closed_pipe_is_a_failure) {
    temp_dir dir;
    const std::string script = "mkfifo \"$2/p$1\" && exec 3<>\"$2/p$1\" 4>\"$2/p$1\" 3<&- && exec \"$0\" \"$1\" >&4";
    for (const char* option : {"--help", "-V"}) {
        command_result result = run_command({"sh", "-c", script, KDBROWSE_BINARY, option, dir.path});
        EXPECT_EQ(result.status, 1) << option;
        EXPECT_EQ(result.errors, "kdbrowse: cannot write to standard output\n") << option;
    }
}

// The key file unlocks the database it locks; "open" takes a database that
// needs none in the same run, and the first one again.
TEST(command_line, a_key_file_unlocks_and_open_takes_a_file_without_one) {
    temp_dir dir;
    std::string path = write_database(dir, "locked.kdb", sample_database(), sample_password, std::array<uint8_t, 32>{});
    std::string other = write_database(dir, "other.kdb", other_database(), other_password);
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path, "-k", write_file(dir, "my.key", std::string(32, '\0'))}));
    ASSERT_TRUE(enter_password(session, sample_password) && wait_for_browsing(session)) << screen_dump(session);
    ASSERT_TRUE(open_database_file(session, other, other_password)) << screen_dump(session);
    ASSERT_TRUE(open_database_file(session, path, sample_password)) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

// The completion, called as bash calls it, in a folder that holds a
// database and a text file.
TEST(command_line, completes_options_databases_and_key_files) {
    temp_dir dir;
    for (const char* name : {"a.kdb", "b.txt"}) write_file(dir, name, "");
    const std::string script =
        "source '" KDBROWSE_SOURCE_DIR "/completions/kdbrowse'; cd \"$0\"; eval \"COMP_WORDS=(kdbrowse $1)\";"
        " COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _kdbrowse; printf '%s\\n' \"${COMPREPLY[@]}\" | sort";
    const std::pair<std::string, std::string> cases[] = {  // the words after kdbrowse, the last one completed
        {"''", "a.kdb\n"},
        {"-", "--\n--clear-after\n--help\n--key-file\n--selection\n--version\n-V\n-c\n-h\n-k\n-s\n"},
        {"-s c", "clipboard\n"},
        {"--clear-after ''", "\n"},  // no words: printf prints one empty line
        {"-k ''", "a.kdb\nb.txt\n"},
        {"--key-file = b", "b.txt\n"},
    };
    for (const auto& [words, replies] : cases)
        EXPECT_EQ(run_command({"bash", "--norc", "-c", script, dir.path, words}, {"LC_ALL=C"}).output, replies);
}
