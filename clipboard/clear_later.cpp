#include "clipboard/clear_later.h"

#include <fcntl.h>
#include <nettle/hmac.h>
#include <sys/random.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "clipboard/clear_helper.h"
#include "clipboard/pipe_to_program.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

namespace {

// This program's own file, found afresh by the kernel: it stays right when
// the program was started through a relative path or has been replaced on
// disk since (an upgrade), as it runs the file this process runs.
constexpr char own_program[] = "/proc/self/exe";

// Writes a new key and the HMAC of text under it into fd; both are wiped
// here before it returns.
bool hand_over(int fd, const char* text) {
    wiped<clear_handover> handover;
    wiped<hmac_sha256_ctx> mac;
    clear_handover& h = handover.value;
    if (getrandom(h.key, sizeof h.key, 0) != static_cast<ssize_t>(sizeof h.key)) return false;
    hmac_sha256_set_key(&mac.value, sizeof h.key, h.key);
    hmac_sha256_update(&mac.value, kpass_secret_length(text), reinterpret_cast<const uint8_t*>(text));
    hmac_sha256_digest(&mac.value, sizeof h.mac, h.mac);
    return write_all(fd, &h, sizeof h);
}

// The helper's standard input is the pipe's read end, descriptor 3 (closed
// by the exec) tells the parent when the exec failed, and it gets no other
// descriptor of ours.
[[noreturn]] void exec_helper(char* const* argv, int read_end, int report) {
    if (read_end == STDIN_FILENO)
        fcntl(read_end, F_SETFD, 0);  // dup2 onto itself would leave it close-on-exec
    else
        dup2(read_end, STDIN_FILENO);
    if (report != 3) dup3(report, 3, O_CLOEXEC);
    close_range(4, ~0U, 0);
    execv(own_program, argv);
    [[maybe_unused]] ssize_t told = write(3, "", 1);
    _exit(127);
}

// The double fork: the child forks the helper and ends at once, so that the
// helper, orphaned, is reaped by init, and this process only reaps the
// child. True once the helper runs: its exec worked (without /proc, for
// one, it fails).
bool start_helper(char* const* argv, int read_end) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child == 0) {
        pid_t helper = fork();
        if (helper == 0) exec_helper(argv, read_end, report[1]);
        _exit(helper < 0 ? 1 : 0);
    }
    close(report[1]);
    char failed;
    bool exec_worked = child > 0 && wait_for_program(child) == 0 && read(report[0], &failed, 1) == 0;
    close(report[0]);
    return exec_worked;
}

}  // namespace

int start_clear_wait(const char* text, std::span<const x_selection* const> selections, int seconds) {
    // Made before the forks: the copies of this process only exec.
    std::string seconds_word = std::to_string(seconds);
    std::vector<char*> argv = {const_cast<char*>("kdbrowse"), const_cast<char*>(clear_helper_word),
                               seconds_word.data()};
    for (const x_selection* selection : selections) argv.push_back(const_cast<char*>(selection->name));
    argv.push_back(nullptr);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    bool started = hand_over(ends[1], text) && start_helper(argv.data(), ends[0]);
    close(ends[0]);
    if (started) return ends[1];
    close(ends[1]);
    return -1;
}

void end_clear_wait(int fd) { write_all(fd, "", 1); }
