#include "app/lifecycle.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include <curses.h>
#include <term.h>

#include "app/app_state.h"
#include "app/character_type.h"
#include "db/load.h"
#include "dialogs/prompts.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "screen/blank_screen.h"

namespace {

// Whether tigetstr found the string capability.
bool present(const char* capability) {
    return capability != nullptr && capability != reinterpret_cast<const char*>(-1);
}

// Blanks the terminal row by row before curses hands it back: a terminal
// without an alternate screen (the Linux console, vt100, tmux with
// alternate-screen off) would go on showing the database, a revealed
// password too, once the program has ended. Each row is blanked by "clear to
// end of line", never the whole screen at once: some terminals keep a screen
// that is cleared whole in their scrollback (tmux's scroll-on-clear, on by
// default; VTE), and the password would stay there. It is written before
// endwin, so that it lands on the alternate screen where there is one, and
// shows nothing there. Each control string goes to emit. False when the
// terminal lacks one of them.
bool blank_rows(void (*emit)(const char*)) {
    if (stdscr == nullptr || isendwin()) return true;
    const char* move = tigetstr("cup");
    const char* clear_line = tigetstr("el");
    const char* plain = tigetstr("sgr0");
    if (!present(move) || !present(clear_line)) return false;
    // Blanks take the current attributes on some terminals: none, first.
    if (present(plain)) emit(plain);
    for (int row = 0; row < LINES; ++row) {
        emit(tiparm(move, row, 0));
        emit(clear_line);
    }
    return true;
}

// Through curses' own output, to wherever curses writes.
void emit_through_curses(const char* control) { putp(control); }

void blank_terminal() {
    if (blank_rows(emit_through_curses)) return;
    wclear(stdscr);
    wrefresh(stdscr);
}

// From a signal handler, curses' output buffer is not written out (curses'
// handlers drop what it holds, a redraw the signal interrupted for
// instance): the bytes go to the terminal, the program's standard output,
// directly.
char signal_bytes[4096];
size_t signal_bytes_used = 0;

void write_signal_bytes() {
    for (size_t done = 0; done < signal_bytes_used;) {
        ssize_t n = write(STDOUT_FILENO, signal_bytes + done, signal_bytes_used - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    signal_bytes_used = 0;
}

int put_signal_byte(int byte) {
    if (signal_bytes_used == sizeof signal_bytes) write_signal_bytes();
    signal_bytes[signal_bytes_used++] = static_cast<char>(byte);
    return byte;
}

void emit_to_standard_output(const char* control) { tputs(control, 1, put_signal_byte); }

// Ends the program when memory runs out: the terminal is blanked and
// restored, and the reason said.
[[noreturn]] void out_of_memory() {
    if (stdscr != nullptr && !isendwin()) {
        blank_terminal();
        endwin();
    }
    std::fputs("kdbrowse: out of memory\n", stderr);
    std::exit(1);
}

// SIGINT (Ctrl-C) and SIGTERM end the program at once through curses' own
// handlers, which end curses and exit with status 1. Chained in front of
// them, the terminal is blanked first, as on "quit". Like curses' handlers,
// this writes to the terminal from a signal handler: a signal that arrives
// while curses is writing can garble that output, never the blanks that
// follow it. A signal that curses does not handle is left as it is: SIGHUP
// means the terminal has gone, and nothing can be shown on it any more.
constexpr int ending_signals[] = {SIGINT, SIGTERM};
struct sigaction curses_actions[std::size(ending_signals)];

extern "C" void blank_then_end(int signal_number) {
    blank_rows(emit_to_standard_output);
    write_signal_bytes();
    for (size_t i = 0; i < std::size(ending_signals); ++i)
        if (ending_signals[i] == signal_number) curses_actions[i].sa_handler(signal_number);
}

void blank_terminal_on_ending_signals() {
    for (size_t i = 0; i < std::size(ending_signals); ++i) {
        struct sigaction current{};
        sigaction(ending_signals[i], nullptr, &current);
        bool curses_handles = (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler != SIG_DFL &&
                              current.sa_handler != SIG_IGN && current.sa_handler != blank_then_end;
        if (!curses_handles) continue;
        curses_actions[i] = current;
        struct sigaction chained = current;
        chained.sa_handler = blank_then_end;
        for (int other : ending_signals) sigaddset(&chained.sa_mask, other);
        sigaction(ending_signals[i], &chained, nullptr);
    }
}

// A terminal that cannot move its cursor (TERM=dumb, a printing terminal)
// would get the whole screen as one garbled line. It is refused before
// curses starts, as curses refuses a TERM it does not know: one line on
// standard error, status 1. A TERM that terminfo does not know is left to
// initscr, which says so itself.
void refuse_terminal_without_cursor_addressing() {
    int error = 0;
    if (setupterm(nullptr, STDOUT_FILENO, &error) != OK) return;
    bool addressable = present(tigetstr("cup"));
    del_curterm(cur_term);
    if (addressable) return;
    std::fputs("kdbrowse: the terminal cannot move its cursor (see TERM)\n", stderr);
    std::exit(1);
}

void release_current(app_state* app) {
    if (app->current_db_loaded) kpass_free_db(app->current_db);
    app->current_db_loaded = false;
}

// A first argument that does not fit database_path is refused, not cut:
// a cut path could name another file.
bool take_argument(app_state* app, const char* argument) {
    if (argument == nullptr) return false;
    if (std::strlen(argument) >= sizeof app->database_path) {
        blank_screen();
        message_box("Couldn't read.");
        blank_screen();
        return false;
    }
    std::strcpy(app->database_path, argument);
    return true;
}

}  // namespace

void start_curses() {
    // A password browser must never leave its memory in a core file, nor
    // let another process of the same user read it (/proc/PID/mem, a
    // debugger attaching): not dumpable also stops a core handler that
    // ignores the core limit, and keeps /proc/PID/ owned by root.
    struct rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    choose_character_type();
    refuse_terminal_without_cursor_addressing();
    if (initscr() == nullptr) {
        std::fputs("kdbrowse: cannot start the terminal\n", stderr);
        std::exit(1);
    }
    start_color();
    cbreak();
    noecho();
    curs_set(0);
    keypad(stdscr, TRUE);
    blank_on_standard_output();
}

kpass_db* allocate_record() {
    // Uninitialised storage of the record's size: the library fills it.
    auto* db = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)));
    if (db == nullptr) out_of_memory();
    return db;
}

void unlock_first_database(app_state* app, const char* argument) {
    bool have_path = take_argument(app, argument);
    for (;;) {
        if (!have_path && prompt_database_path(app->database_path, sizeof app->database_path) != 0)
            shut_down(app);
        have_path = false;
        int result = open_database(app->current_db, app->database_path);
        if (result == 0) {
            app->current_db_loaded = true;
            // From here on the screen shows the database.
            blank_terminal_on_ending_signals();
            return;
        }
        if (result == -1) {
            // Loaded but locked: release it before the record is filled again.
            app->current_db_loaded = true;
            release_current(app);
        }
    }
}

void shut_down(app_state* app) {
    blank_terminal();
    endwin();
    std::free(group_keymap);
    group_keymap = nullptr;
    std::free(entry_keymap);
    entry_keymap = nullptr;
    release_current(app);
    std::free(app->current_db);
    app->current_db = nullptr;
    std::exit(0);
}
