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
    };
    const parse_case cases[] = {
        {{}, nullptr, nullptr},
        {{"a.kdb", "b.kdb"}, "a.kdb", nullptr},
        {{"-k", "k.key", "a.kdb"}, "a.kdb", "k.key"},
        {{"a.kdb", "--key-file=k.key"}, "a.kdb", "k.key"},
        {{"--key", "k.key", "a.kdb"}, "a.kdb", "k.key"},
        {{"-kk.key", "--", "-odd.kdb"}, "-odd.kdb", "k.key"},
        {{"--", "-k", "x"}, "-k", nullptr},
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
    }
}

}  // namespace
