#include "clipboard/deadline.h"

#include <unistd.h>

#include <cerrno>

deadline deadline_in(int ms) {
    deadline limit{};
    clock_gettime(CLOCK_BOOTTIME, &limit.at);
    limit.at.tv_sec += ms / 1000;
    limit.at.tv_nsec += (ms % 1000) * 1000000L;
    if (limit.at.tv_nsec >= 1000000000L) {
        limit.at.tv_nsec -= 1000000000L;
        ++limit.at.tv_sec;
    }
    return limit;
}

int ms_until(const deadline& limit) {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    long long ns = (limit.at.tv_sec - now.tv_sec) * 1000000000LL + (limit.at.tv_nsec - now.tv_nsec);
    return ns <= 0 ? 0 : static_cast<int>((ns + 999999) / 1000000);
}

int poll_before(pollfd* fds, nfds_t count, const deadline& limit) {
    for (int left; (left = ms_until(limit)) > 0;) {
        int ready = poll(fds, count, left);
        if (ready != 0 && !(ready < 0 && errno == EINTR)) return ready;
    }
    return 0;
}

bool read_before(int fd, void* into, std::size_t size, const deadline& limit) {
    auto* bytes = static_cast<char*>(into);
    while (size > 0) {
        pollfd readable = {fd, POLLIN, 0};
        if (poll_before(&readable, 1, limit) <= 0) return false;
        ssize_t n = read(fd, bytes, size);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
