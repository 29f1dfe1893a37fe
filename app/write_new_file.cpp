#include "app/write_new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool write_all(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::size_t chunk = bytes.size() < SSIZE_MAX ? bytes.size() : SSIZE_MAX;
        const ssize_t written = write(fd, bytes.data(), chunk);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;  // a full disk gives ENOSPC, or 0
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool write_and_sync(int fd, std::span<const std::uint8_t> bytes) { return write_all(fd, bytes) && fsync(fd) == 0; }

// The folder a new file at path goes into.
std::string folder_of(const char* path) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return ".";
    if (slash == path) return "/";
    return std::string(path, static_cast<std::size_t>(slash - path));
}

// Anything at the name, a dangling symbolic link included. Checked first
// so that "File exists." does not wait for a large file to be written;
// the link or the exclusive open still decide.
bool taken(const char* path) {
    struct stat status;
    return fstatat(AT_FDCWD, path, &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// The signals that end the program, blocked for as long as this lives;
// one that comes meanwhile is delivered when they are let through again.
struct ending_signals_blocked {
    sigset_t before;
    ending_signals_blocked() {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (int signal : {SIGINT, SIGTERM, SIGQUIT, SIGHUP}) sigaddset(&blocked, signal);
        sigprocmask(SIG_BLOCK, &blocked, &before);
    }
    ~ending_signals_blocked() { sigprocmask(SIG_SETMASK, &before, nullptr); }
    ending_signals_blocked(const ending_signals_blocked&) = delete;
    ending_signals_blocked& operator=(const ending_signals_blocked&) = delete;
};

}  // namespace

write_result write_new_file(const char* path, std::span<const std::uint8_t> bytes) {
    if (taken(path)) return write_result::exists;
    if (access("/proc/self/fd", X_OK) != 0) return write_new_file_exclusive(path, bytes);
    // Without O_EXCL: that would make the file impossible to link.
    const int fd = open(folder_of(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR) return write_new_file_exclusive(path, bytes);
        return write_result::failed;
    }
    write_result result = write_result::failed;
    if (write_and_sync(fd, bytes)) {
        char link[48];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        if (linkat(AT_FDCWD, link, AT_FDCWD, path, AT_SYMLINK_FOLLOW) == 0)
            result = write_result::written;
        else if (errno == EEXIST)
            result = write_result::exists;
    }
    // Until it is linked the file has no name: closing it is all it takes
    // to leave nothing behind.
    if (close(fd) != 0 && result == write_result::written) {
        unlink(path);
        result = write_result::failed;
    }
    return result;
}

write_result write_new_file_exclusive(const char* path, std::span<const std::uint8_t> bytes) {
    const ending_signals_blocked blocked;
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EEXIST ? write_result::exists : write_result::failed;
    bool whole = write_and_sync(fd, bytes);
    whole = close(fd) == 0 && whole;
    if (whole) return write_result::written;
    unlink(path);
    return write_result::failed;
}
