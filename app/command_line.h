// The command line: kdbrowse [-k KEYFILE] [-c SECONDS] [-s SELECTION]
// [database.kdb]. It is read, and
// help, the version or a usage error answered, before anything touches the
// terminal.
#pragma once

#include <string>

#include "clipboard/copy_to_selections.h"

enum class command_line_action { run, help, version, usage_error };

struct command_line {
    command_line_action action = command_line_action::run;
    const char* database_path = nullptr;  // the first argument that is no option; null when none
    const char* key_file_path = nullptr;  // -k, --key-file; null when none
    copy_settings copy;                   // -c, --clear-after; -s, --selection
    std::string error;                    // a usage error's line, without "kdbrowse: " and the newline
};

// Reads argv with getopt_long: options anywhere before "--", unique
// prefixes of long options. Every argument is read first; then the first
// usage error (an unknown option, an option without its value, a value
// given to an option that takes none, a value an option does not take)
// decides, else --help, else
// --version. Arguments after the first that is no option are ignored. The
// returned pointers point into argv (which getopt_long may reorder).
command_line parse_command_line(int argc, char** argv);

// Answers a command line that asks for no run: help or the version on
// standard output, status 0; a usage error as its line and the usage line
// on standard error, status 2. Standard output that cannot be written gives
// status 1. Returns only for command_line_action::run.
void answer_command_line(const command_line& line);
