#include "clipboard/pipe_to_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "kpass/secret_bytes.h"

const char* clipboard_program = "/usr/bin/xclip";

namespace {

// The status a shell gives a command that it cannot execute.
constexpr int cannot_execute = 127;

[[noreturn]] void run_child(const char* path, char* const* argv, int read_end) {
    dup2(read_end, STDIN_FILENO);
    // Nothing but the terminal and the text is the child's business.
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

}  // namespace

bool write_all(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    struct sigaction ignore{}, previous{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    sigaction(SIGPIPE, &previous, nullptr);
    return size == 0;
}

int pipe_to_program(const char* path, const char* text, std::span<const char* const> arguments) {
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
    close(ends[0]);
    write_all(ends[1], text, kpass_secret_length(text));
    close(ends[1]);
    return wait_for_program(child);
}

int wait_for_program(pid_t child) {
    int status = 0;
    for (;;) {
        if (waitpid(child, &status, 0) == child) return shell_status(status);
        if (errno != EINTR) return -1;
    }
}
