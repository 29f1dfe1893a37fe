// Running outside programs from the end-to-end tests: tmux, Xvfb, xclip.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct command_result {
    int status = -1;     // exit status; -1 when it could not run or was killed
    std::string output;  // everything it wrote on standard output
    std::string errors;  // everything it wrote on standard error
};

// Runs argv[0] (searched in PATH) with the given arguments, standard input
// from /dev/null, and waits for it. env holds "NAME=value" settings added to
// (or replacing those of) this process's environment, and bare "NAME"s
// removed from it.
command_result run_command(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

// Starts argv[0] in the background: standard input, output and error on
// /dev/null, except that keep_fd (when not -1) stays open in the child.
// The child gets SIGTERM when this test process ends, however it ends, so
// that nothing outlives a failed or killed test. Returns its pid, or -1.
pid_t start_background(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                       int keep_fd = -1);

// Sends SIGTERM to a child started by start_background and reaps it
// (SIGKILL if it has not ended within about two seconds).
void stop_background(pid_t pid);
