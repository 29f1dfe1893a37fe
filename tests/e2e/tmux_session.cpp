#include "e2e/tmux_session.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "e2e/child_process.h"

namespace {

// The tmux session (and window) that holds the program.
const std::string target = "kdbrowse";

// Settings that must not reach tmux or the program from the test's own
// surroundings: an enclosing tmux, an X display.
const std::vector<std::string> isolated_environment = {"TMUX", "TMUX_PANE", "DISPLAY"};

// Runs its arguments (with the standard input from the file its first
// argument names, when that is not empty), then shows
// "<exit_mark><status>]" and waits.
const std::string exit_mark = "[kdbrowse exit status ";
const std::string wrapper = "input=$1; shift; if [ -n \"$input\" ]; then \"$@\" <\"$input\"; else \"$@\"; fi; "
                            "printf '\\n" + exit_mark + "%s]\\n' \"$?\"; exec sleep 100000";

}  // namespace

bool poll_until(const std::function<bool()>& condition, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

namespace {

bool socket_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

command_result run_tmux(const tmux_session& session, const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"tmux", "-S", session.socket};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return run_command(argv, isolated_environment);
}

std::string trim_right(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool screen_contains(const tmux_session& session, std::string_view text) {
    return screen_dump(session).find(text) != std::string::npos;
}

// The server options every test relies on: a window whose process ends
// stays, so that its last screen can still be read; no status line takes
// a row of the window; the program sees a terminal type that every
// terminfo database has. The window keeps the name it was created with
// ("sh") unless an escape sequence renames it: tmux's automatic renaming
// would follow the wrapper's "exec sleep" once the program has ended, at a
// moment of tmux's choosing, while a rename from the program's output (ESC
// k) must still take effect, for the tests to see it.
bool configure_server(const tmux_session& session) {
    bool ready = poll_until([&] { return run_tmux(session, {"set-option", "-g", "remain-on-exit", "on"}).status == 0; },
                            5.0);
    std::vector<std::vector<std::string>> options = {
        {"set-option", "-g", "default-terminal", "screen"},
        {"set-option", "-g", "status", "off"},
        {"set-option", "-gw", "automatic-rename", "off"},
        {"set-option", "-gw", "allow-rename", "on"},
        {"set-option", "-gw", "alternate-screen", session.alternate_screen ? "on" : "off"},
    };
    for (const auto& option : options) ready = ready && run_tmux(session, option).status == 0;
    return ready;
}

}  // namespace

tmux_session::~tmux_session() {
    if (server <= 0) return;
    run_tmux(*this, {"kill-server"});
    stop_background(server);
}

bool start_kdbrowse(tmux_session& session, const std::string& dir, const std::vector<std::string>& args,
                    const std::vector<std::string>& env, int width, int height, const std::string& input) {
    session.socket = dir + "/tmux.sock";
    // -D keeps the server in the foreground, a child of this process.
    session.server = start_background({"tmux", "-D", "-S", session.socket, "-f", "/dev/null"}, isolated_environment);
    if (session.server <= 0 || !poll_until([&] { return socket_exists(session.socket); }, 5.0) ||
        !configure_server(session)) {
        std::fprintf(stderr, "tmux (3.2 or later) could not start a server on %s\n", session.socket.c_str());
        return false;
    }
    // More than one word after the options: tmux runs it directly, without
    // a shell parsing it, so the arguments reach the program byte for byte.
    // The program runs in the "C" locale unless env names another one, so
    // that the test's own surroundings cannot change what it draws.
    // The program runs under a shell that writes its exit status when it
    // ends and then keeps the terminal open, so that the modes the program
    // left behind can still be read (a dead pane's modes are tmux's own).
    std::vector<std::string> command = {"new-session", "-d", "-s", target, "-c", dir, "-x", std::to_string(width),
                                        "-y", std::to_string(height), "--", "/bin/sh", "-c", wrapper, "sh",
                                        input,         "/usr/bin/env", "-u", "LC_ALL", "-u", "LC_CTYPE", "-u", "LANG"};
    command.insert(command.end(), env.begin(), env.end());
    if (session.job_control) command.insert(command.end(), {"/bin/sh", "-mc", "\"$0\" \"$@\" || { read x; fg; }"});
    command.push_back(KDBROWSE_BINARY);
    command.insert(command.end(), args.begin(), args.end());
    return run_tmux(session, command).status == 0;
}

std::string tmux(const tmux_session& session, std::vector<std::string> arguments) {
    return run_tmux(session, arguments).output;
}

std::string pane_format(const tmux_session& session, const std::string& format) {
    std::string value = tmux(session, {"display-message", "-p", "-t", target, format});
    if (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

std::vector<std::string> screen_rows(const tmux_session& session, bool attributes) {
    std::vector<std::string> arguments = {"capture-pane", "-p", "-t", target};
    if (attributes) arguments.push_back("-e");
    std::istringstream text(tmux(session, arguments));
    std::vector<std::string> rows;
    for (std::string row; std::getline(text, row);) rows.push_back(attributes ? row : trim_right(row));
    return rows;
}

std::string screen_row(const tmux_session& session, int row) {
    std::vector<std::string> rows = screen_rows(session);
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? rows[static_cast<size_t>(row)] : "";
}

std::string screen_dump(const tmux_session& session) {
    std::string text;
    for (const std::string& row : screen_rows(session)) text += row + "\n";
    return text;
}

std::string scrollback_and_screen(const tmux_session& session) {
    return tmux(session, {"capture-pane", "-p", "-S", "-", "-t", target});
}

bool wait_for_text(const tmux_session& session, std::string_view text, double seconds) {
    return poll_until([&] { return screen_contains(session, text); }, seconds);
}

bool wait_for_text_gone(const tmux_session& session, std::string_view text, double seconds) {
    return poll_until([&] { return !screen_contains(session, text); }, seconds);
}

bool wait_for_row(const tmux_session& session, int row, std::string_view text, double seconds) {
    return poll_until([&] { return screen_row(session, row).starts_with(text); }, seconds);
}

bool wait_for_screen(const tmux_session& session, const std::vector<std::string>& rows, double seconds) {
    return poll_until([&] { return screen_rows(session, true) == rows; }, seconds);
}

bool wait_for_row_exactly(const tmux_session& session, int row, std::string_view text, double seconds) {
    return poll_until([&] { return screen_row(session, row) == text; }, seconds);
}

std::string text_at(const tmux_session& session, int row, int column, size_t length) {
    std::string line = screen_row(session, row);
    return static_cast<size_t>(column) < line.size() ? line.substr(static_cast<size_t>(column), length) : "";
}

bool wait_for_text_at(const tmux_session& session, int row, int column, std::string_view text, double seconds) {
    return poll_until([&] { return text_at(session, row, column, text.size()) == text; }, seconds);
}

bool shows_reversed(const tmux_session& session, std::string_view text) {
    std::string reversed = "\x1b[7m" + std::string(text);
    for (std::string row : screen_rows(session, true)) {
        // In the "C" locale tmux switches the line-drawing set in and out
        // (SO, SI) around the text.
        std::erase_if(row, [](char c) { return c == '\x0e' || c == '\x0f'; });
        if (row.find(reversed) != std::string::npos) return true;
    }
    return false;
}

bool wait_for_reversed(const tmux_session& session, std::string_view text, double seconds) {
    return poll_until([&] { return shows_reversed(session, text); }, seconds);
}

void send_text(const tmux_session& session, const std::string& text) {
    // tmux reads a ';' that ends an argument as the end of the command.
    bool ends_command = !text.empty() && text.back() == ';';
    std::string escaped = ends_command ? text.substr(0, text.size() - 1) + "\\;" : text;
    run_tmux(session, {"send-keys", "-t", target, "-l", "--", escaped});
}

void send_keys(const tmux_session& session, std::initializer_list<std::string> keys) {
    std::vector<std::string> arguments = {"send-keys", "-t", target};
    arguments.insert(arguments.end(), keys.begin(), keys.end());
    run_tmux(session, arguments);
}

void resize_window(const tmux_session& session, int width, int height) {
    run_tmux(session, {"resize-window", "-t", target, "-x", std::to_string(width), "-y", std::to_string(height)});
    // Curses notices a resize when a read of keys is interrupted by it, or
    // when the next read begins. One that arrives after curses has looked
    // and before it waits goes unnoticed until the next key, which may never
    // come: F12, which nothing in the program binds or types, is that key.
    // tmux may give the terminal its new size (which signals the program)
    // only after it has typed a key sent meanwhile, so the key waits until
    // the terminal has that size.
    const int tty = open(pane_format(session, "#{pane_tty}").c_str(), O_RDONLY | O_NOCTTY);
    winsize size{};
    poll_until([&] { return ioctl(tty, TIOCGWINSZ, &size) == 0 && size.ws_col == width && size.ws_row == height; }, 2);
    if (tty >= 0) close(tty);
    send_keys(session, {"F12"});
}

namespace {

long first_child(long pid) {
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    long child = -1;
    children >> child;
    return child;
}

std::string process_name(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace

pid_t program_pid(const tmux_session& session) {
    std::string shell = pane_format(session, "#{pane_pid}");
    if (shell.empty()) return -1;
    // Under job control a second shell stands between the pane's and the
    // program.
    long pid = first_child(std::atol(shell.c_str()));
    for (int depth = 0; depth < 2 && pid > 0 && process_name(pid) != "kdbrowse"; ++depth) {
        const long child = first_child(pid);
        if (child <= 0) break;
        pid = child;
    }
    return static_cast<pid_t>(pid);
}

char process_state(pid_t pid) {
    // The state follows the command name's closing parenthesis.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t end_of_name = text.rfind(") ");
    return end_of_name != std::string::npos && end_of_name + 2 < text.size() ? text[end_of_name + 2] : '\0';
}

pid_t wait_for_program_waiting(const tmux_session& session, double seconds) {
    pid_t pid = -1;
    bool waiting = poll_until(
        [&] {
            pid = program_pid(session);
            return pid > 0 && process_name(pid) == "kdbrowse" && process_state(pid) == 'S';
        },
        seconds);
    return waiting ? pid : -1;
}

std::optional<int> wait_for_exit(const tmux_session& session, double seconds) {
    std::optional<int> status;
    poll_until(
        [&] {
            // Only a whole mark counts: the screen may be read while the
            // wrapper is still writing it.
            std::string screen = screen_dump(session);
            size_t mark = screen.rfind(exit_mark);
            if (mark != std::string::npos) {
                size_t digits = mark + exit_mark.size();
                size_t end = screen.find(']', digits);
                if (end != std::string::npos && end > digits) status = std::atoi(screen.c_str() + digits);
            }
            return status.has_value() || pane_format(session, "#{pane_dead}") == "1";
        },
        seconds);
    return status;
}

bool terminal_restored(const tmux_session& session) {
    return pane_format(session, "#{alternate_on}:#{cursor_flag}:#{keypad_flag}:#{keypad_cursor_flag}") == "0:1:0:0";
}
