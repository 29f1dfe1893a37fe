#include "app/command_line.h"

#include <getopt.h>

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

// The option word as it was typed: a long option up to its '=', or the
// short option's letter after a '-'.
std::string option_word(char** argv, int optind_after, int letter) {
    const char* word = argv[optind_after - 1];
    if (letter == 0 || std::strncmp(word, "--", 2) == 0) return std::string(word, std::strcspn(word, "="));
    return std::string("-") + static_cast<char>(letter);
}

bool is_short_option(int letter) { return letter != ':' && std::strchr(short_options, letter) != nullptr; }

// The line for what getopt_long refused (its result, '?' or ':').
std::string refusal(char** argv, int result) {
    std::string word = option_word(argv, optind, optopt);
    if (result == ':') return "option '" + word + "' needs a value";
    if (optopt != 0 && is_short_option(optopt)) return "option '" + word + "' takes no value";
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
// that was shown).
[[noreturn]] void print_and_exit(const char* first, const char* second) {
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
    for (int result; (result = getopt_long(argc, argv, short_options, long_options, nullptr)) != -1;) {
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
            if (line.error.empty()) line.error = refusal(argv, result);
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
