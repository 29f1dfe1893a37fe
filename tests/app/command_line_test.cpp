// What the command line names: the database, the key file and where and
// for how long a copy goes, wherever the options stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

// The run the words ask for: "database key-file primary clipboard
// clear-after", "-" for a path not given; a usage error's line; "no run"
// when they ask for none.
std::string parsed(std::vector<std::string> words) {
    words.insert(words.begin(), "kdbrowse");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    command_line l = parse_command_line(static_cast<int>(words.size()), argv.data());
    if (l.action == command_line_action::usage_error) return l.error;
    if (l.action != command_line_action::run) return "no run";
    return std::string(l.database_path ? l.database_path : "-") + " " + (l.key_file_path ? l.key_file_path : "-") +
           " " + std::to_string(l.copy.primary) + " " + std::to_string(l.copy.clipboard) + " " +
           std::to_string(l.copy.clear_after);
}

// A key file or database lost or swapped, a "--" not honoured, the last
// of repeated options not the one that counts.
TEST(CommandLine, NamesTheDatabaseAndTheKeyFile) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "- - 1 0 0"},
        {{"a.kdb", "b.kdb"}, "a.kdb - 1 0 0"},
        {{"-k", "k.key", "a.kdb"}, "a.kdb k.key 1 0 0"},
        {{"a.kdb", "--key-file=k.key"}, "a.kdb k.key 1 0 0"},
        {{"--key", "k.key", "a.kdb"}, "a.kdb k.key 1 0 0"},
        {{"-kk.key", "--", "-odd.kdb"}, "-odd.kdb k.key 1 0 0"},
        {{"--", "-k", "x"}, "-k - 1 0 0"},
        {{"-c", "30", "a.kdb", "--clear=0007", "-s", "both"}, "a.kdb - 1 1 7"},
        {{"--selection=clipboard", "-sprimary", "-s", "clipboard", "-c3600"}, "- - 0 1 3600"},
    };
    for (const auto& [args, want] : cases) EXPECT_EQ(parsed(args), want) << testing::PrintToString(args);
}

// The option at fault is named, not the argument before it, whatever mix
// of long options, non-options and groups of short ones comes first.
TEST(CommandLine, AUsageErrorNamesTheOptionAtFault) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--key-file=foo", "-xh"}, "unknown option '-x'"},
        {{"--sel=both", "-Zh"}, "unknown option '-Z'"},
        {{"--help", "a.kdb", "b.kdb", "-hx"}, "unknown option '-x'"},
        {{"-k", "k.key", "-Vk"}, "option '-k' needs a value"},
        {{"--bogus=1", "-xh"}, "unknown option '--bogus'"},
        {{"-h", "--help=x", "-h"}, "option '--help' takes no value"},
        {{"a.kdb", "--key"}, "option '--key' needs a value"},
    };
    for (const auto& [args, want] : cases) EXPECT_EQ(parsed(args), want) << testing::PrintToString(args);
}

}  // namespace
