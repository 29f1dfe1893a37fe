// A private X server (Xvfb) for the clipboard tests, and its selections
// ("primary" or "clipboard") read and written with xclip, as another
// client would.
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

// The selection as `xclip -o` reads it from the server.
command_result read_selection(const xvfb_server& server, const std::string& selection = "primary");

// Polls until the selection reads as text, with status 0 (a selection that
// nobody holds reads as "" with status 1); last is what was read last.
bool wait_for_selection(const xvfb_server& server, const std::string& text, std::string& last,
                        const std::string& selection = "primary");

// Puts text into the selection; false when xclip failed.
bool set_selection(const xvfb_server& server, const std::string& text, const std::string& selection);
