// A private X server (Xvfb) for the clipboard test, and reading its
// selection back with xclip.
#pragma once

#include <sys/types.h>

#include <string>

#include "e2e/child_process.h"

struct xvfb_server {
    pid_t pid = -1;
    std::string display;  // e.g. ":3"
    xvfb_server() = default;
    xvfb_server(const xvfb_server&) = delete;
    xvfb_server& operator=(const xvfb_server&) = delete;
    ~xvfb_server();
};

// Starts Xvfb on a display number that no other X server uses (Xvfb picks
// it and tells it through -displayfd). Returns "" when it runs, or why it
// cannot (Xvfb or /usr/bin/xclip missing, Xvfb did not start).
std::string start_xvfb(xvfb_server& server);

// The primary selection as `xclip -o` reads it from the server.
command_result read_selection(const xvfb_server& server);
