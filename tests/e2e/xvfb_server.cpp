#include "e2e/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "e2e/tmux_session.h"

namespace {

bool in_path(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        if (access((folders.substr(start, end - start) + "/" + name).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Reads what Xvfb writes on the descriptor: its display number and a
// newline, once it accepts connections. "" on end of file or time-out.
std::string read_display_number(int fd, int timeout_ms) {
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (text.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return "";
        pollfd pfd = {fd, POLLIN, 0};
        int ready = poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return "";
        char buffer[32];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) return "";
        text.append(buffer, static_cast<size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

}  // namespace

xvfb_server::~xvfb_server() { stop_background(pid); }

std::string start_xvfb(xvfb_server& server) {
    if (access("/usr/bin/xclip", X_OK) != 0) return "/usr/bin/xclip is not installed";
    if (!in_path("Xvfb")) return "Xvfb is not installed";
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return "no pipe for Xvfb";
    server.pid = start_background({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0",
                                   "320x240x24"},
                                  {}, fds[1]);
    close(fds[1]);
    std::string number = server.pid > 0 ? read_display_number(fds[0], 10000) : "";
    close(fds[0]);
    if (number.empty()) return "Xvfb did not start";
    server.display = ":" + number;
    return "";
}

command_result read_selection(const xvfb_server& server, const std::string& selection) {
    return run_command({"/usr/bin/xclip", "-o", "-selection", selection}, {"DISPLAY=" + server.display});
}

bool wait_for_selection(const xvfb_server& server, const std::string& text, std::string& last,
                        const std::string& selection) {
    return poll_until([&] {
        command_result read = read_selection(server, selection);
        last = read.output;
        return read.status == 0 && read.output == text;
    });
}

bool set_selection(const xvfb_server& server, const std::string& text, const std::string& selection) {
    // xclip stays behind to serve the text: its output must not hold the pipes open.
    return run_command({"sh", "-c", "printf %s \"$0\" | /usr/bin/xclip -selection $1 >/dev/null 2>&1", text, selection},
                       {"DISPLAY=" + server.display})
               .status == 0;
}
