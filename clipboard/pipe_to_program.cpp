#include "clipboard/pipe_to_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "clipboard/deadline.h"
#include "kpass/secret_bytes.h"

const char* clipboard_program = "/usr/bin/xclip";

namespace {

// The status a shell gives a command that it cannot execute.
constexpr int cannot_execute = 127;

// A process group of its own, so that what is sent to the terminal's
// foreground group (Ctrl-Z, Ctrl-C) does not reach it: stopped along with
// this program, xclip would hold every paste until "fg". Standard output
// and error on /dev/null: nothing it writes lands on the screen, and a
// background group that writes to a terminal under "stty tostop" is
// stopped. The parent makes the same setpgid call, so that neither order
// of the two races.
[[noreturn]] void run_child(const char* path, char* const* argv, int read_end) {
    setpgid(0, 0);
    dup2(read_end, STDIN_FILENO);
    output_to_null();
    // Nothing but the text is the child's business.
    close_range(3, ~0U, 0);
    execv(path, argv);
    // Not executable: end with the shells' status for it, so that the
    // parent tells this failure apart from a copy that worked. _exit, so
    // that none of the parent's exit handlers or buffered output run twice.
    _exit(cannot_execute);
}

// A wait status as a shell reports it: the exit status, or 128 + the signal.
int shell_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Writes text into the pipe without blocking, a piece whenever poll finds
// room: a program that reads nothing (xclip talking to a stopped X server)
// fills the pipe, and a blocking write would then wait for ever. False
// when the deadline passed first; a reader that has ended only stops the
// writing (its status tells the rest).
bool write_before(int fd, const char* text, size_t size, const deadline& limit) {
    fcntl(fd, F_SETFL, O_NONBLOCK);
    struct sigaction ignore{}, previous{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous);
    bool in_time = true;
    while (size > 0) {
        ssize_t written = write(fd, text, size);
        if (written > 0) {
            text += written;
            size -= static_cast<size_t>(written);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) break;
        pollfd room = {fd, POLLOUT, 0};
        int ready = poll_before(&room, 1, limit);
        if (ready == 0) in_time = false;
        if (ready <= 0) break;
    }
    sigaction(SIGPIPE, &previous, nullptr);
    return in_time;
}

// Waits for child until the deadline: its result, or nothing (-2) when it
// is still running then. The wait sleeps in poll on a pidfd; without one
// (an old kernel) it looks every 10 ms.
constexpr int still_running = -2;
int wait_before(pid_t child, const deadline& limit) {
    pollfd ended = {static_cast<int>(syscall(SYS_pidfd_open, child, 0)), POLLIN, 0};
    int result = still_running;
    for (;;) {
        int status = 0;
        pid_t reaped = waitpid(child, &status, WNOHANG);
        if (reaped == child) result = shell_status(status);
        if (reaped < 0 && errno != EINTR) result = -1;
        int left = ms_until(limit);
        if (result != still_running || left == 0) break;
        poll(&ended, 1, ended.fd >= 0 ? left : std::min(left, 10));
    }
    if (ended.fd >= 0) close(ended.fd);
    return result;
}

}  // namespace

int pipe_to_program(const char* path, const char* text, std::span<const char* const> arguments) {
    return pipe_to_program_within(path, text, arguments, program_time_limit_ms);
}

int pipe_to_program_within(const char* path, const char* text, std::span<const char* const> arguments,
                           int time_limit_ms) {
    // Made before the fork: the child only execs.
    std::vector<char*> argv = {const_cast<char*>(path)};
    for (const char* word : arguments) argv.push_back(const_cast<char*>(word));
    argv.push_back(nullptr);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    pid_t child = fork();
    if (child < 0) {
        close(ends[0]);
        close(ends[1]);
        return -1;
    }
    if (child == 0) {
        close(ends[1]);
        run_child(path, argv.data(), ends[0]);
    }
    setpgid(child, child);  // EACCES once the child has exec'd: its own call did it
    close(ends[0]);
    const deadline limit = deadline_in(time_limit_ms);
    bool written = write_before(ends[1], text, kpass_secret_length(text), limit);
    close(ends[1]);
    int result = written ? wait_before(child, limit) : still_running;
    if (result != still_running) return result;
    // Past the limit: the whole group goes, the child xclip forks to serve
    // the selection with it, so that no copy can land later, unseen.
    if (kill(-child, SIGKILL) != 0) kill(child, SIGKILL);
    return wait_for_program(child);
}

void output_to_null() {
    int null = open("/dev/null", O_WRONLY);
    if (null < 0) return;
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO) close(null);
}

int wait_for_program(pid_t child) {
    int status = 0;
    for (;;) {
        if (waitpid(child, &status, 0) == child) return shell_status(status);
        if (errno != EINTR) return -1;
    }
}
