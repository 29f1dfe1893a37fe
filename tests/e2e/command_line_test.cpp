// The answers kdbrowse gives before it touches the terminal: help, the
// version, usage errors and key files it cannot use.
#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/test_files.h"

namespace {

TEST(command_line, answers_without_touching_the_terminal) {
    const std::string usage = "Usage: kdbrowse [-k KEYFILE] [-c SECONDS] [-s SELECTION] [database.kdb]\n";
    const std::string seconds = "kdbrowse: option '--clear-after' takes 1 to 3600 seconds, not '";
    const std::string selection = "kdbrowse: option '--selection' takes primary, clipboard or both, not '";
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
        {{"-c", "0"}, 2, "", seconds + "0'\n" + usage},
        {{"-c", "+5"}, 2, "", seconds + "+5'\n" + usage},
        {{"--clear-after=3601", "--clear-after=5"}, 2, "", seconds + "3601'\n" + usage},
        {{"--clear=1 "}, 2, "", seconds + "1 '\n" + usage},
        {{"-s", "Primary", "--help"}, 2, "", selection + "Primary'\n" + usage},
        {{"--clear-selection-helper", "1", "primary"}, 2, "", "kdbrowse: unknown option '--clear-selection-helper'\n" + usage},
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

}  // namespace
