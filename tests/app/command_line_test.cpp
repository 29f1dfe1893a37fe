// What the command line names: the database and the key file, wherever
// the options stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

TEST(CommandLine, NamesTheDatabaseAndTheKeyFile) {
    struct parse_case {
        std::vector<std::string> args;
        const char* database;  // null: none
        const char* key_file;
        copy_settings copy = {};
    };
    const parse_case cases[] = {
        {{}, nullptr, nullptr},
        {{"a.kdb", "b.kdb"}, "a.kdb", nullptr},
        {{"-k", "k.key", "a.kdb"}, "a.kdb", "k.key"},
        {{"a.kdb", "--key-file=k.key"}, "a.kdb", "k.key"},
        {{"--key", "k.key", "a.kdb"}, "a.kdb", "k.key"},
        {{"-kk.key", "--", "-odd.kdb"}, "-odd.kdb", "k.key"},
        {{"--", "-k", "x"}, "-k", nullptr},
        {{"-c", "30", "a.kdb", "--clear=0007", "-s", "both"}, "a.kdb", nullptr, {true, true, 7}},
        {{"--selection=clipboard", "-sprimary", "-s", "clipboard", "-c3600"}, nullptr, nullptr, {false, true, 3600}},
    };
    for (const parse_case& c : cases) {
        std::vector<std::string> words = {"kdbrowse"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        command_line line = parse_command_line(static_cast<int>(words.size()), argv.data());
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(line.action, command_line_action::run);
        EXPECT_EQ(std::string(line.database_path ? line.database_path : "-"), c.database ? c.database : "-");
        EXPECT_EQ(std::string(line.key_file_path ? line.key_file_path : "-"), c.key_file ? c.key_file : "-");
        EXPECT_EQ(line.copy.primary, c.copy.primary);
        EXPECT_EQ(line.copy.clipboard, c.copy.clipboard);
        EXPECT_EQ(line.copy.clear_after, c.copy.clear_after);
    }
}

}  // namespace
