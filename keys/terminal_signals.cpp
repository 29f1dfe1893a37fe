#include "keys/terminal_signals.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

#include <curses.h>
#include <term.h>

#include "screen/blank_screen.h"

namespace {

constexpr int ending_signals[] = {SIGINT, SIGTERM, SIGQUIT};

// Bytes prepared for a handler to write.
struct prepared_bytes {
    char* data;
    std::size_t capacity;
    std::size_t size;
};

// The bytes that give the terminal back to the shell. The rows stop short
// of the room kept for the strings that follow them: a terminal of
// thousands of rows gets its first ones blanked, and the terminal its modes
// back all the same.
char leaving_storage[1 << 16];
prepared_bytes leaving{leaving_storage, sizeof leaving_storage, 0};
constexpr std::size_t room_after_rows = 256;
bool rows_cut = false;

// The bytes that give it back to the program: smcup and smkx, then the
// cursor as curs_set(0), (1) and (2) leave it (civis, cnorm, cvvis).
char entering_storage[256];
prepared_bytes entering{entering_storage, sizeof entering_storage, 0};
char visibility_storage[3][64];
prepared_bytes visibility_bytes[3] = {{visibility_storage[0], sizeof visibility_storage[0], 0},
                                      {visibility_storage[1], sizeof visibility_storage[1], 0},
                                      {visibility_storage[2], sizeof visibility_storage[2], 0}};

prepared_bytes* filling = &leaving;  // where tputs hands its bytes

int shell_modes_fd = -1;
termios shell_modes;
termios program_modes;
bool have_program_modes = false;

std::atomic<bool> entering_ready{false};  // prepared, and curses has the terminal
std::atomic<int> cursor_visibility{1};
std::atomic<bool> continued{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "read and set from signal handlers");

sigset_t handled_signals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal_number : ending_signals) sigaddset(&set, signal_number);
    sigaddset(&set, SIGTSTP);
    sigaddset(&set, SIGCONT);
    return set;
}

// The handlers are held off while what they use changes: they never see
// half of it.
struct signals_held {
    sigset_t before;
    signals_held() {
        const sigset_t held = handled_signals();
        sigprocmask(SIG_BLOCK, &held, &before);
    }
    ~signals_held() { sigprocmask(SIG_SETMASK, &before, nullptr); }
    signals_held(const signals_held&) = delete;
    signals_held& operator=(const signals_held&) = delete;
};

int add_prepared_byte(int byte) {
    if (filling->size < filling->capacity) filling->data[filling->size++] = static_cast<char>(byte);
    return byte;
}

// One control string, whole or not at all: true when it fits with
// room_kept bytes to spare.
bool add_whole(prepared_bytes& bytes, const char* control, std::size_t room_kept) {
    const std::size_t before = bytes.size;
    filling = &bytes;
    tputs(control, 1, add_prepared_byte);
    if (bytes.size + room_kept < bytes.capacity) return true;
    bytes.size = before;
    return false;
}

void add_named(prepared_bytes& bytes, const char* name) {
    if (const char* control = terminal_string(name)) add_whole(bytes, control, 0);
}

void add_row_string(const char* control) {
    if (!rows_cut) rows_cut = !add_whole(leaving, control, room_after_rows);
}

// Straight to the terminal: curses' output buffer may hold half a redraw
// that the signal interrupted. A signal that arrives while curses is
// writing can garble that output, never the bytes that follow it.
void write_bytes(const prepared_bytes& bytes) {
    for (std::size_t done = 0; done < bytes.size;) {
        ssize_t n = write(STDOUT_FILENO, bytes.data + done, bytes.size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
}

void leave_terminal() {
    write_bytes(leaving);
    if (shell_modes_fd >= 0) tcsetattr(shell_modes_fd, TCSADRAIN, &shell_modes);
}

// The modes first: a program continued in the background is stopped there
// (SIGTTOU) until it is in the foreground again, and writes nothing over
// the shell's screen before. Until the next key read repaints it, the
// screen the program draws on is the alternate one, and typed keys are
// not echoed: done at the next key read only, a key being made for seconds
// left the first browsing screen on the normal screen (and in the
// scrollback, after the program ended) and echoed what was typed.
void enter_terminal() {
    if (!entering_ready) return;
    if (have_program_modes) tcsetattr(shell_modes_fd, TCSADRAIN, &program_modes);
    write_bytes(entering);
    const int visibility = cursor_visibility;
    if (visibility >= 0 && visibility <= 2) write_bytes(visibility_bytes[visibility]);
}

extern "C" void end_on_signal(int) {
    leave_terminal();
    _exit(1);
}

// The stop itself is SIGTSTP's default action, raised again once this
// handler has stepped aside; it ends when the program is continued.
// SIGCONT is held off meanwhile: one that came before the stop is dropped
// by the stop, and the one that ends it stays pending until this handler
// returns, when its own handler gives the terminal back to the program. A
// stop that never came (an orphaned group) leaves nothing pending: the
// terminal is given back here.
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
    sigset_t pending;
    if (sigpending(&pending) != 0 || sigismember(&pending, SIGCONT) != 1) enter_terminal();
    continued = true;
    errno = saved_errno;
}

// Also after a stop that this program did not ask for (SIGSTOP), from
// which the shell may have given the terminal its own modes.
extern "C" void continue_on_signal(int) {
    const int saved_errno = errno;
    enter_terminal();
    continued = true;
    errno = saved_errno;
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
    handle(SIGCONT, continue_on_signal);
}

void prepare_leaving_bytes() {
    signals_held held;
    leaving.size = 0;
    rows_cut = false;
    add_named(leaving, "sgr0");
    emit_blank_rows(add_row_string);
    for (const char* name : {"sgr0", "cnorm", "rmkx", "rmcup"}) add_named(leaving, name);
    entering.size = 0;
    for (const char* name : {"smcup", "smkx"}) add_named(entering, name);
    const char* visibility_names[] = {"civis", "cnorm", "cvvis"};
    for (int i = 0; i < 3; ++i) {
        visibility_bytes[i].size = 0;
        add_named(visibility_bytes[i], visibility_names[i]);
    }
    have_program_modes = shell_modes_fd >= 0 && tcgetattr(shell_modes_fd, &program_modes) == 0;
    entering_ready = true;
}

// Held off, so that a handler never gives the terminal a visibility that
// curses no longer believes it has.
int set_cursor_visibility(int visibility) {
    signals_held held;
    const int before = curs_set(visibility);
    if (before != ERR) cursor_visibility = visibility;
    return before;
}

void stop_entering() { entering_ready = false; }

void resume_after_stop() {
    if (!continued.exchange(false) || stdscr == nullptr || isendwin()) return;
    repaint_screen();
}
