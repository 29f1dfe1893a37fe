#include "clipboard/clear_later.h"

#include <fcntl.h>
#include <nettle/hmac.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "clipboard/clear_helper.h"
#include "clipboard/deadline.h"
#include "clipboard/pipe_to_program.h"
#include "clipboard/socket_passing.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

namespace {

// This program's own file, found afresh by the kernel: it stays right when
// the program was started through a relative path or has been replaced on
// disk since (an upgrade), as it runs the file this process runs.
constexpr char own_program[] = "/proc/self/exe";

// The helper's standard input is its end of the first socket, its output
// and error /dev/null (what it writes, or the loader's complaint when
// /proc/self/exe is not this program, must not land on the screen), and it
// gets no other descriptor of ours.
[[noreturn]] void exec_helper(char* const* argv, int first_end) {
    if (first_end == STDIN_FILENO)
        fcntl(first_end, F_SETFD, 0);  // dup2 onto itself would leave it close-on-exec
    else
        dup2(first_end, STDIN_FILENO);
    output_to_null();
    close_range(3, ~0U, 0);
    execv(own_program, argv);
    _exit(127);
}

// The middle process of the double fork: it forks the helper, tells its pid
// on told, and stays until this process is done with it (told's end of
// file), without reaping the helper. While it stays, the helper's pid is
// the helper's, even if the helper ended: a pid is freed only once its
// process is reaped, here by init after the middle process ends.
[[noreturn]] void run_middle(char* const* argv, int first_end, int told) {
    signal(SIGCHLD, SIG_DFL);  // an ignored SIGCHLD would reap the helper at once
    pid_t helper = fork();
    if (helper == 0) exec_helper(argv, first_end);
    close(first_end);
    if (helper > 0 && write(told, &helper, sizeof helper) == static_cast<ssize_t>(sizeof helper)) {
        char byte;
        while (read(told, &byte, 1) < 0 && errno == EINTR) {
        }
    }
    _exit(0);
}

// Writes a new key and the HMAC of text under it into fd; both are wiped
// here before it returns.
bool send_handover(int fd, const char* text) {
    wiped<clear_handover> handover;
    wiped<hmac_sha256_ctx> mac;
    clear_handover& h = handover.value;
    if (getrandom(h.key, sizeof h.key, 0) != static_cast<ssize_t>(sizeof h.key)) return false;
    hmac_sha256_set_key(&mac.value, sizeof h.key, h.key);
    hmac_sha256_update(&mac.value, kpass_secret_length(text), reinterpret_cast<const uint8_t*>(text));
    hmac_sha256_digest(&mac.value, sizeof h.mac, h.mac);
    kpass_clear_vector_registers();  // the hash's copies of the text's blocks
    return send(fd, &h, sizeof h, MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(sizeof h);
}

// The handover, all of it within handover_limit_ms: the helper's pid from
// the middle process, the helper's own socket over first, then the key and
// the HMAC into that socket, once its peer proves to be the helper, and
// the helper's answer. The socket is the one the helper made (SO_PEERCRED
// names who made it), and the middle process, still there after that
// check, proves that the pid was the helper's all along. The helper's
// socket, the cancel socket; -1 on anything else.
int hand_over(const char* text, pid_t middle, int first, int told) {
    const deadline limit = deadline_in(handover_limit_ms);
    pid_t helper = 0;
    if (!read_before(told, &helper, sizeof helper, limit)) return -1;
    int cancel = receive_descriptor(first, limit);
    if (cancel < 0) return -1;
    ucred peer{};
    socklen_t size = sizeof peer;
    char answer = 0;
    if (getsockopt(cancel, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
        peer.pid == helper && waitpid(middle, nullptr, WNOHANG) == 0 && send_handover(cancel, text) &&
        read_before(cancel, &answer, 1, limit) && answer == handover_taken)
        return cancel;
    close(cancel);
    return -1;
}

}  // namespace

int start_clear_wait(const char* text, std::span<const x_selection* const> selections, int seconds) {
    // Made before the forks: the copies of this process only exec, or wait.
    std::string seconds_word = std::to_string(seconds);
    std::vector<char*> argv = {const_cast<char*>("kdbrowse"), const_cast<char*>(clear_helper_word),
                               seconds_word.data()};
    for (const x_selection* selection : selections) argv.push_back(const_cast<char*>(selection->name));
    argv.push_back(nullptr);
    int first[2], told[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, first) != 0) return -1;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, told) != 0) {
        close(first[0]);
        close(first[1]);
        return -1;
    }
    pid_t middle = fork();
    if (middle == 0) {
        close(first[0]);
        close(told[0]);
        run_middle(argv.data(), first[1], told[1]);
    }
    close(first[1]);
    close(told[1]);
    int cancel = middle > 0 ? hand_over(text, middle, first[0], told[0]) : -1;
    close(first[0]);
    close(told[0]);
    if (middle > 0) {
        kill(middle, SIGKILL);  // also when stopped
        wait_for_program(middle);
    }
    return cancel;
}

void end_clear_wait(int fd) { send(fd, "", 1, MSG_NOSIGNAL | MSG_DONTWAIT); }
