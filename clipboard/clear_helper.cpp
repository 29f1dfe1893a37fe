#include "clipboard/clear_helper.h"

#include <fcntl.h>
#include <nettle/hmac.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <vector>

#include "clipboard/copy_to_selections.h"
#include "clipboard/deadline.h"
#include "clipboard/pipe_to_program.h"
#include "clipboard/socket_passing.h"
#include "clipboard/x_selection.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

namespace {

constexpr char xclip_path[] = "/usr/bin/xclip";

// How long a selection's owner may take to hand its text over: one that
// never answers must not keep the helper, and its key, for ever.
constexpr int read_limit_ms = 10000;

// Everything the helper holds of the copy, in one locked block that is
// left out of core dumps and wiped when it is released.
struct clear_secrets {
    clear_handover handed;
    hmac_sha256_ctx mac;  // holds up to a block of what it hashes
    uint8_t digest[SHA256_DIGEST_SIZE];
    uint8_t chunk[4096];  // the selection's text, a piece at a time
};

// Leaves the terminal: a session of its own (no hang-up or Ctrl-C from the
// terminal reaches it), and standard input, output and error on /dev/null
// (nothing it or xclip writes lands on the terminal). False when it stays
// in the terminal's session.
bool detach() {
    bool apart = setsid() >= 0;
    int null = open("/dev/null", O_RDWR);
    if (null < 0) return apart;
    for (int fd = 0; fd < 3; ++fd) dup2(null, fd);
    if (null > 2) close(null);
    return apart;
}

// Takes the handover over a socket made here, one end sent to kdbrowse over
// first: a process that took a copy of first before this one became not
// dumpable reaches only first, never what kdbrowse writes into the new
// socket. Its end, the cancel socket, or -1 when the handover did not
// come whole in time.
int take_handover(int first, clear_handover& handed) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return -1;
    bool sent = send_descriptor(first, ends[1]);
    close(ends[1]);
    if (sent && read_before(ends[0], &handed, sizeof handed, deadline_in(handover_limit_ms)) &&
        send(ends[0], &handover_taken, 1, MSG_NOSIGNAL) == 1)
        return ends[0];
    close(ends[0]);
    return -1;
}

// Waits seconds, counted on the boot-time clock so that a suspended machine
// does not hold the copy longer (a poll's own time-out stops during a
// suspend; the timer wakes it on resume). True when a byte came on
// cancel_fd first; its end of file only stops it being watched.
bool cancelled(int cancel_fd, int seconds) {
    const deadline limit = deadline_in(seconds * 1000);
    int timer = timerfd_create(CLOCK_BOOTTIME, TFD_CLOEXEC);
    itimerspec when{};
    when.it_value = limit.at;
    if (timer >= 0) timerfd_settime(timer, TFD_TIMER_ABSTIME, &when, nullptr);
    pollfd watched[2] = {{cancel_fd, POLLIN, 0}, {timer, POLLIN, 0}};
    for (;;) {
        int ready = poll_before(watched, 2, limit);
        if (ready < 0) clock_nanosleep(CLOCK_BOOTTIME, TIMER_ABSTIME, &limit.at, nullptr);
        if (ready <= 0 || watched[1].revents != 0) return false;
        char byte;
        ssize_t n = read(cancel_fd, &byte, 1);
        if (n == 1) return true;
        if (n == 0 || errno != EINTR) watched[0].fd = -1;
    }
}

// Hashes what comes on fd until its end, a piece at a time in the locked
// block. False when the owner takes longer than read_limit_ms for a piece.
bool hash_output(int fd, clear_secrets& s) {
    for (;;) {
        pollfd readable = {fd, POLLIN, 0};
        int ready = poll(&readable, 1, read_limit_ms);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        ssize_t n = read(fd, s.chunk, sizeof s.chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        hmac_sha256_update(&s.mac, static_cast<size_t>(n), s.chunk);
    }
}

// Whether the selection still holds the copied text: xclip -o's whole
// output, from a run that ended with status 0, has the handed-over HMAC.
// A selection that cannot be read (no owner, no X server) has changed.
bool still_holds(const x_selection& selection, clear_secrets& s) {
    std::vector<char*> argv = {const_cast<char*>(xclip_path), const_cast<char*>("-o")};
    for (const char* word : selection.xclip_words) argv.push_back(const_cast<char*>(word));
    argv.push_back(nullptr);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], STDOUT_FILENO);
        execv(xclip_path, argv.data());
        _exit(127);
    }
    close(ends[1]);
    hmac_sha256_set_key(&s.mac, sizeof s.handed.key, s.handed.key);
    bool whole = child > 0 && hash_output(ends[0], s);
    close(ends[0]);
    int status = -1;
    if (child > 0) {
        if (!whole) kill(child, SIGKILL);
        status = wait_for_program(child);
    }
    hmac_sha256_digest(&s.mac, sizeof s.digest, s.digest);
    bool same = whole && status == 0 && kpass_secrets_equal(s.digest, s.handed.mac, sizeof s.digest);
    kpass_wipe(&s.mac, sizeof s.mac);
    kpass_wipe(s.digest, sizeof s.digest);
    kpass_wipe(s.chunk, sizeof s.chunk);
    kpass_clear_vector_registers();  // the hash's copies of the selection's blocks
    return same;
}

}  // namespace

bool asks_for_clear_helper(int argc, char** argv) {
    struct stat input{};
    return argc > 1 && std::strcmp(argv[1], clear_helper_word) == 0 && fstat(STDIN_FILENO, &input) == 0 &&
           S_ISSOCK(input.st_mode);
}

[[noreturn]] void run_clear_helper(int argc, char** argv) {
    // exec made the process dumpable again; the locked pages are those it
    // touches, so that a large mapping (a sanitizer's shadow) is never
    // filled. Failure leaves the block below, locked on its own.
    prctl(PR_SET_DUMPABLE, 0);
    mlockall(MCL_CURRENT | MCL_FUTURE | MCL_ONFAULT);
    int seconds = 0;
    if (argc < 4 || !read_clear_after(argv[2], &seconds)) std::exit(2);
    std::vector<const x_selection*> selections;
    for (int i = 3; i < argc; ++i) {
        selections.push_back(find_selection(argv[i]));
        if (selections.back() == nullptr) std::exit(2);
    }
    clear_secrets* s = nullptr;
    try {
        s = new (kpass_secure_allocate(sizeof(clear_secrets))) clear_secrets;
    } catch (const std::bad_alloc&) {
        std::exit(1);
    }
    // Off descriptor 0 before detach() puts /dev/null there.
    int first = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    bool apart = detach();
    int cancel_fd = apart && first >= 0 ? take_handover(first, s->handed) : -1;
    if (first >= 0) close(first);
    if (cancel_fd < 0) {
        for (const x_selection* selection : selections) pipe_to_program(xclip_path, "", selection->xclip_words);
    } else if (!cancelled(cancel_fd, seconds)) {
        for (const x_selection* selection : selections)
            if (still_holds(*selection, *s)) pipe_to_program(xclip_path, "", selection->xclip_words);
    }
    kpass_secure_release(s, sizeof(clear_secrets));
    std::exit(0);
}
