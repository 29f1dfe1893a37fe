#include "e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

// This process's environment with the settings of env added or replaced
// ("NAME=value"), or removed (a bare "NAME").
std::vector<std::string> merged_environment(const std::vector<std::string>& env) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string setting = *entry;
        std::string name = setting.substr(0, setting.find('='));
        bool replaced = false;
        for (const std::string& own : env) replaced = replaced || own.substr(0, own.find('=')) == name;
        if (!replaced) result.push_back(setting);
    }
    for (const std::string& own : env) {
        if (own.find('=') != std::string::npos) result.push_back(own);
    }
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// In a forked child: replaces the process image, or ends the child.
[[noreturn]] void exec_in_child(std::vector<std::string> argv, std::vector<std::string> env) {
    std::vector<char*> argument_pointers = pointers(argv);
    std::vector<char*> environment_pointers = pointers(env);
    execvpe(argument_pointers[0], argument_pointers.data(), environment_pointers.data());
    _exit(127);
}

void redirect(int fd, int target) {
    if (fd != target) dup2(fd, target);
}

// Reads both pipes until each reaches end of file.
void drain(int out_fd, int err_fd, std::string& out, std::string& err) {
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open_count = 2;
    char buffer[4096];
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open_count;
            }
        }
    }
}

int wait_for_child(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

command_result run_command(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    command_result result;
    std::vector<std::string> environment = merged_environment(env);
    int out_pipe[2], err_pipe[2];
    if (pipe2(out_pipe, O_CLOEXEC) != 0) return result;
    if (pipe2(err_pipe, O_CLOEXEC) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        return result;
    }
    pid_t pid = fork();
    if (pid == 0) {
        int null_fd = open("/dev/null", O_RDONLY);
        redirect(null_fd, 0);
        redirect(out_pipe[1], 1);
        redirect(err_pipe[1], 2);
        exec_in_child(argv, environment);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (pid > 0) drain(out_pipe[0], err_pipe[0], result.output, result.errors);
    close(out_pipe[0]);
    close(err_pipe[0]);
    if (pid > 0) result.status = wait_for_child(pid);
    return result;
}

pid_t start_background(const std::vector<std::string>& argv, const std::vector<std::string>& env, int keep_fd) {
    std::vector<std::string> environment = merged_environment(env);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid != 0) return pid;
    // The child ends with the test process, even when that one is killed.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    setsid();
    int null_fd = open("/dev/null", O_RDWR);
    redirect(null_fd, 0);
    redirect(null_fd, 1);
    redirect(null_fd, 2);
    if (keep_fd >= 0) fcntl(keep_fd, F_SETFD, 0);
    exec_in_child(argv, environment);
}

void stop_background(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
