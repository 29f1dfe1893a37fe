// The command line: the answers kdbrowse gives before it touches the
// terminal (help, the version, usage errors, key files it cannot use), and
// a run with a key file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

TEST(command_line, answers_without_touching_the_terminal) {
    temp_dir dir;
    const std::string usage = "Usage: kdbrowse [-k KEYFILE] [database.kdb]\n";
    std::string missing = dir.path + "/missing.key", empty = write_file(dir, "empty.key", "");
    std::string fifo = dir.path + "/fifo.key";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct answer_case {
        std::vector<std::string> args;
        int status;
        std::string output_start, errors;
    };
    const answer_case cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"a.kdb", "-V"}, 0, "kdbrowse 0.", ""},
        {{"--help", "--bogus"}, 2, "", "kdbrowse: unknown option '--bogus'\n" + usage},
        {{"a.kdb", "-k"}, 2, "", "kdbrowse: option '-k' needs a value\n" + usage},
        {{"-k", missing, "--help"}, 0, usage, ""},
        {{"-k", missing}, 1, "", "kdbrowse: key file '" + missing + "': No such file or directory\n"},
        {{"--key-file", empty}, 1, "", "kdbrowse: key file '" + empty + "': empty\n"},
        {{"-k", dir.path}, 1, "", "kdbrowse: key file '" + dir.path + "': not a regular file\n"},
        {{"-k", fifo}, 1, "", "kdbrowse: key file '" + fifo + "': not a regular file\n"},
    };
    for (const answer_case& c : cases) {
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

// The key file unlocks the database it locks, and "open" takes a database
// that needs none in the same run, and the first one again.
TEST(command_line, a_key_file_unlocks_and_open_takes_a_file_without_one) {
    temp_dir dir;
    std::string key = "a key file of exactly 32 bytes!\n";
    kdb_write_options options;
    options.rounds = 100;
    options.file_key.emplace();
    std::copy(key.begin(), key.end(), options.file_key->begin());
    database_contents sample = sample_database();
    std::string path = dir.path + "/locked.kdb";
    ASSERT_TRUE(kdb_save(path, kdb_write(options, sample.groups, sample.entries, sample_password)));
    std::string other = write_database(dir, "other.kdb", other_database(), other_password);
    tmux_session session;
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path, "-k", write_file(dir, "my.key", key)}));
    ASSERT_TRUE(enter_password(session, sample_password));
    ASSERT_TRUE(wait_for_browsing(session)) << screen_dump(session);
    ASSERT_TRUE(open_database_file(session, other, other_password)) << screen_dump(session);
    ASSERT_TRUE(open_database_file(session, path, sample_password)) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

}  // namespace
