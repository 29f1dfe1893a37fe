#include "clipboard/pipe_to_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Writes all of text; a child that has ended (or never started) only makes
// the write fail with EPIPE: SIGPIPE is ignored for the duration, so it
// cannot end this process.
void write_all(int fd, const char* text, size_t length) {
    struct sigaction ignore{}, previous{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous);
    while (length > 0) {
        ssize_t written = write(fd, text, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        text += written;
        length -= static_cast<size_t>(written);
    }
    sigaction(SIGPIPE, &previous, nullptr);
}

[[noreturn]] void run_child(const char* path, int read_end) {
    dup2(read_end, STDIN_FILENO);
    // Nothing but the terminal and the text is the child's business.
    close_range(3, ~0U, 0);
    execl(path, path, static_cast<char*>(nullptr));
    // Not executable: end quietly. _exit, so that none of the parent's exit
    // handlers or buffered output run twice.
    _exit(0);
}

}  // namespace

int pipe_to_program(const char* path, const char* text) {
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
        run_child(path, ends[0]);
    }
    close(ends[0]);
    write_all(ends[1], text, strlen(text));
    close(ends[1]);
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return 0;
}
