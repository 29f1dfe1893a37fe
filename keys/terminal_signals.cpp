#include "keys/terminal_signals.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>

#include <curses.h>
#include <term.h>

#include "screen/blank_screen.h"

namespace {

constexpr int ending_signals[] = {SIGINT, SIGTERM, SIGQUIT};

// The bytes the handlers write. The rows stop short of the room kept for
// the strings that follow them: a terminal of thousands of rows gets its
// first ones blanked, and the terminal its modes back all the same.
char leaving_bytes[1 << 16];
std::size_t leaving_size = 0;
constexpr std::size_t room_after_rows = 256;
bool rows_cut = false;

int shell_modes_fd = -1;
termios shell_modes;

std::atomic<bool> continued{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

int add_leaving_byte(int byte) {
    if (leaving_size < sizeof leaving_bytes) leaving_bytes[leaving_size++] = static_cast<char>(byte);
    return byte;
}

// One control string of the rows, whole or not at all.
void add_row_string(const char* control) {
    if (rows_cut) return;
    const std::size_t before = leaving_size;
    tputs(control, 1, add_leaving_byte);
    if (leaving_size <= sizeof leaving_bytes - room_after_rows) return;
    leaving_size = before;
    rows_cut = true;
}

// Straight to the terminal: curses' output buffer may hold half a redraw
// that the signal interrupted. A signal that arrives while curses is
// writing can garble that output, never the blanks that follow it.
void leave_terminal() {
    for (std::size_t done = 0; done < leaving_size;) {
        ssize_t n = write(STDOUT_FILENO, leaving_bytes + done, leaving_size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (shell_modes_fd >= 0) tcsetattr(shell_modes_fd, TCSADRAIN, &shell_modes);
}

extern "C" void end_on_signal(int) {
    leave_terminal();
    _exit(1);
}

// The stop itself is SIGTSTP's default action, raised again once this
// handler has stepped aside; it ends when the program is continued.
extern "C" void stop_on_signal(int) {
    const int saved_errno = errno;
    leave_terminal();
    struct sigaction own{};
    struct sigaction stop{};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, &own);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
    raise(SIGTSTP);
    sigprocmask(SIG_BLOCK, &tstp, nullptr);
    sigaction(SIGTSTP, &own, nullptr);
    continued = true;
    errno = saved_errno;
}

extern "C" void note_continued(int) { continued = true; }

sigset_t handled_signals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal_number : ending_signals) sigaddset(&set, signal_number);
    sigaddset(&set, SIGTSTP);
    return set;
}

// Without SA_RESTART: a wait for a key is interrupted, and the key reading
// sees at once that the program was continued.
void handle(int signal_number, void (*handler)(int)) {
    struct sigaction action{};
    sigaction(signal_number, nullptr, &action);
    if (action.sa_handler == SIG_IGN) return;
    action = {};
    action.sa_handler = handler;
    action.sa_mask = handled_signals();
    sigaction(signal_number, &action, nullptr);
}

}  // namespace

void install_terminal_signals() {
    for (int fd : {STDOUT_FILENO, STDIN_FILENO, STDERR_FILENO}) {
        if (tcgetattr(fd, &shell_modes) != 0) continue;
        shell_modes_fd = fd;
        break;
    }
    for (int signal_number : ending_signals) handle(signal_number, end_on_signal);
    handle(SIGTSTP, stop_on_signal);
    handle(SIGCONT, note_continued);
}

// The handlers are held off meanwhile: they never see half the bytes.
void prepare_leaving_bytes() {
    const sigset_t held = handled_signals();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &held, &before);
    leaving_size = 0;
    rows_cut = false;
    if (const char* plain = terminal_string("sgr0")) tputs(plain, 1, add_leaving_byte);
    emit_blank_rows(add_row_string);
    for (const char* name : {"sgr0", "cnorm", "rmkx", "rmcup"})
        if (const char* control = terminal_string(name)) tputs(control, 1, add_leaving_byte);
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

void resume_after_stop() {
    if (!continued.exchange(false) || stdscr == nullptr || isendwin()) return;
    reset_prog_mode();  // the modes curses set, and the keypad's
    if (const char* alternate_screen = terminal_string("smcup")) putp(alternate_screen);
    std::fflush(stdout);
    // The handler showed the cursor; curses sends nothing for the
    // visibility it believes the cursor has already.
    const int visibility = curs_set(1);
    if (visibility != ERR && visibility != 1) curs_set(visibility);
    repaint_screen();
}
