#include "app/command_line.h"

#include <getopt.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "clipboard/x_selection.h"

namespace {

// The options, in the three forms getopt_long takes them. A new option
// goes into all three and into help_text.
constexpr char short_options[] = ":k:c:s:hV";  // ':' first: a missing value is told apart
constexpr option long_options[] = {
    {"key-file", required_argument, nullptr, 'k'},
    {"clear-after", required_argument, nullptr, 'c'},
    {"selection", required_argument, nullptr, 's'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

constexpr char usage_line[] = "Usage: kdbrowse [-k KEYFILE] [-c SECONDS] [-s SELECTION] [database.kdb]\n";
constexpr char help_text[] =
    "Browse a KeePass 1.x password database (.kdb) in the terminal.\n"
    "Without a database, kdbrowse asks for one.\n"
    "\n"
    "  -k, --key-file=FILE  unlock with this key file too (an empty password\n"
    "                       then uses the key file alone)\n"
    "  -c, --clear-after=SECONDS\n"
    "                       after \"x\" (or \"u\", \"U\"), take the copy out of the X\n"
    "                       selection again once SECONDS (1 to 3600) have passed,\n"
    "                       unless it holds something else by then\n"
    "  -s, --selection=NAME the X selection \"x\" copies to: primary (the default,\n"
    "                       pasted with the middle button), clipboard (pasted\n"
    "                       with Ctrl-V) or both\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "\n"
    "Keys, the entry view (v), copying the user name or URL (u, U) and saving\n"
    "an attachment (w, which never replaces a file): see man kdbrowse.\n"
    "\n"
    "Exit status: 0 after quitting, 1 on a failure, 2 on a usage error.\n";

bool is_non_option(const char* word) { return word[0] != '-' || word[1] == '\0'; }

// The argument getopt_long refused, given optind before and after its call.
// getopt stays on a group of short options ("-xh") until its last letter:
// a refusal inside a group leaves optind on the group itself, past the
// non-options the call skipped (between before and after), while any other
// refusal has moved optind past the argument refused.
const char* refused_argument(char** argv, int before, int after) {
    bool inside_group = after == before || is_non_option(argv[after - 1]);
    return argv[inside_group ? after : after - 1];
}

// The line for what getopt_long refused (its result, '?' or ':'). A long
// option is named as typed, up to its '='; a short one by the letter at
// fault, optopt.
std::string refusal(const char* argument, int result) {
    bool is_long = std::strncmp(argument, "--", 2) == 0;
    std::string word = is_long ? std::string(argument, std::strcspn(argument, "="))
                               : std::string("-") + static_cast<char>(optopt);
    if (result == ':') return "option '" + word + "' needs a value";
    if (is_long && optopt != 0) return "option '" + word + "' takes no value";
    return "unknown option '" + word + "'";
}

// The selections --selection names: "primary", "clipboard" or "both",
// exactly. False for any other text.
bool read_selection(const char* name, copy_settings& copy) {
    const bool both = std::strcmp(name, "both") == 0;
    const x_selection* one = find_selection(name);
    if (!both && one == nullptr) return false;
    copy.primary = both || one == &primary_selection;
    copy.clipboard = both || one == &clipboard_selection;
    return true;
}

// Writes text to standard output and ends the program: 0, or 1 when it
// could not be written (a closed or full output must not look like help
// that was shown). SIGPIPE is ignored, so that a pipe whose reader has gone
// fails the write instead of ending the program without a word.
[[noreturn]] void print_and_exit(const char* first, const char* second) {
    std::signal(SIGPIPE, SIG_IGN);
    std::fputs(first, stdout);
    std::fputs(second, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("kdbrowse: cannot write to standard output\n", stderr);
        std::exit(1);
    }
    std::exit(0);
}

}  // namespace

command_line parse_command_line(int argc, char** argv) {
    command_line line;
    bool help = false, version = false;
    opterr = 0;  // the refusals are worded here, under the program's own name
    optind = 0;  // 0, not 1: getopt_long starts afresh on every call
    for (int before = 1, result; (result = getopt_long(argc, argv, short_options, long_options, nullptr)) != -1;
         before = optind) {
        switch (result) {
        case 'k': line.key_file_path = optarg; break;
        case 'c':
            if (!read_clear_after(optarg, &line.copy.clear_after) && line.error.empty())
                line.error = "option '--clear-after' takes 1 to 3600 seconds, not '" + std::string(optarg) + "'";
            break;
        case 's':
            if (!read_selection(optarg, line.copy) && line.error.empty())
                line.error = "option '--selection' takes primary, clipboard or both, not '" + std::string(optarg) + "'";
            break;
        case 'h': help = true; break;
        case 'V': version = true; break;
        default:
            if (line.error.empty()) line.error = refusal(refused_argument(argv, before, optind), result);
        }
    }
    if (optind < argc) line.database_path = argv[optind];
    if (!line.error.empty())
        line.action = command_line_action::usage_error;
    else if (help)
        line.action = command_line_action::help;
    else if (version)
        line.action = command_line_action::version;
    return line;
}

void answer_command_line(const command_line& line) {
    switch (line.action) {
    case command_line_action::run: return;
    case command_line_action::help: print_and_exit(usage_line, help_text);
    case command_line_action::version: print_and_exit("kdbrowse " KDBROWSE_VERSION, "\n");
    case command_line_action::usage_error:
        std::fprintf(stderr, "kdbrowse: %s\n%s", line.error.c_str(), usage_line);
        std::exit(2);
    }
}
