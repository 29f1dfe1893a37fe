// kdbrowse run in a tmux window of a private tmux server, for end-to-end
// tests: keys are typed with send-keys, the screen is read back with
// capture-pane; once the program has ended, a shell that ran it writes its
// exit status on the screen and keeps the terminal, whose modes tmux then
// reports as the program left them.
//
// The server runs in the foreground as a child of the test process, with a
// socket in the test's temporary folder; it is ended when the session goes
// out of scope, and also when the test process dies, so no tmux server or
// kdbrowse outlives a failed test.
#pragma once

#include <sys/types.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct tmux_session {
    std::string socket;          // the server's socket
    pid_t server = -1;           // the tmux server process
    bool alternate_screen = true;  // off: tmux ignores the program's switch to the alternate screen
    bool job_control = false;      // on: the program is a job of a shell that, after the job stops, reads a line and runs "fg"
    tmux_session() = default;
    tmux_session(const tmux_session&) = delete;
    tmux_session& operator=(const tmux_session&) = delete;
    ~tmux_session();
};

// How long the waits below poll before they give up, in seconds.
inline constexpr double screen_timeout = 10.0;

// Polls condition every 20 ms until it holds (true) or seconds have passed
// (false).
bool poll_until(const std::function<bool()>& condition, double seconds = screen_timeout);

// Starts a tmux server with its socket in dir, then runs the program built
// as KDBROWSE_BINARY with args in a width x height window. env holds
// "NAME=value" settings for the program, which otherwise runs with LC_ALL,
// LC_CTYPE and LANG unset (the "C" locale); input, when not empty, a file the
// program's standard input comes from instead of the terminal. false when
// tmux cannot start.
bool start_kdbrowse(tmux_session& session, const std::string& dir, const std::vector<std::string>& args,
                    const std::vector<std::string>& env = {}, int width = 80, int height = 24,
                    const std::string& input = "");

// Runs one tmux command against the session's server; its standard output.
std::string tmux(const tmux_session& session, std::vector<std::string> arguments);

// A tmux format expanded for the program's pane, e.g. "#{pane_dead}".
std::string pane_format(const tmux_session& session, const std::string& format);

// The screen, one string per row, trailing blanks removed. With attributes,
// the rows hold the escape sequences of their colours and attributes too.
std::vector<std::string> screen_rows(const tmux_session& session, bool attributes = false);
// One row of the screen ("" when past the last row).
std::string screen_row(const tmux_session& session, int row);
// The whole screen as one text, for failure messages.
std::string screen_dump(const tmux_session& session);
// The lines that scrolled off the top (the scrollback) and then the screen.
std::string scrollback_and_screen(const tmux_session& session);

// Polls until the screen shows text somewhere (or, for the second, no longer
// shows it); false after the timeout.
bool wait_for_text(const tmux_session& session, std::string_view text, double seconds = screen_timeout);
bool wait_for_text_gone(const tmux_session& session, std::string_view text, double seconds = screen_timeout);
// Polls until the screen, attributes included, is rows (as screen_rows
// gives them).
bool wait_for_screen(const tmux_session& session, const std::vector<std::string>& rows,
                     double seconds = screen_timeout);
// Polls until the given row starts with text; or, for the second, is text
// (trailing blanks aside).
bool wait_for_row(const tmux_session& session, int row, std::string_view text, double seconds = screen_timeout);
bool wait_for_row_exactly(const tmux_session& session, int row, std::string_view text,
                          double seconds = screen_timeout);
// The length bytes of the screen from (row, column), shorter when the row
// ends before; and a poll until they read text.
std::string text_at(const tmux_session& session, int row, int column, size_t length);
bool wait_for_text_at(const tmux_session& session, int row, int column, std::string_view text,
                      double seconds = screen_timeout);

// Whether the screen shows text starting right where reverse video starts
// (tmux writes the attribute as ESC [ 7 m); and a poll until it does.
bool shows_reversed(const tmux_session& session, std::string_view text);
bool wait_for_reversed(const tmux_session& session, std::string_view text, double seconds = screen_timeout);

// Types text literally.
void send_text(const tmux_session& session, const std::string& text);
// Presses named keys: "Enter", "Tab", "Up", "Down", "Space", "q"...
void send_keys(const tmux_session& session, std::initializer_list<std::string> keys);

// Resizes the window (the program gets a terminal resize), then presses
// F12, a key the program ignores everywhere, so that the resize is seen
// however it fell between the program's reads.
void resize_window(const tmux_session& session, int width, int height);

// The program's process id.
pid_t program_pid(const tmux_session& session);

// A process's state as /proc shows it ('S' sleeping, 'R' running, 'T'
// stopped...); 0 when it cannot be read.
char process_state(pid_t pid);

// Polls until the program runs (the wrapper has started it) and sleeps, as
// it does while it waits for a key; its process id, or -1 after the timeout.
pid_t wait_for_program_waiting(const tmux_session& session, double seconds = screen_timeout);

// Polls until the program has ended; its exit status (128 + the signal
// when a signal ended it), or nothing when it is still running after the
// timeout.
std::optional<int> wait_for_exit(const tmux_session& session, double seconds = screen_timeout);

// Whether the terminal was given back as it was: normal screen (not the
// alternate one), cursor shown, keypad in normal mode. Read after the exit.
bool terminal_restored(const tmux_session& session);
