// Waits that must end by a given time, whatever the other side does: a
// stopped X server, a helper that never answers.
#pragma once

#include <poll.h>

#include <cstddef>
#include <ctime>

// A moment on the boot-time clock, which goes on while the machine is
// suspended: a wait for a copy's clearing counts the suspended time too.
struct deadline {
    timespec at;
};

// The moment ms milliseconds from now.
deadline deadline_in(int ms);

// Milliseconds from now to the deadline, rounded up; 0 once it has passed.
int ms_until(const deadline& limit);

// poll() on fds until one of them is ready or the deadline passes; an
// interrupted poll goes on. poll's result: > 0 when ready, 0 when the
// deadline has passed, -1 on a failure other than EINTR. poll's own
// time-out stops during a suspend: across one, the wait may end later than
// the deadline, by at most the time that was left.
int poll_before(pollfd* fds, nfds_t count, const deadline& limit);

// Reads exactly size bytes from fd into into, waiting at most until the
// deadline. False on end of file, a failure, or the deadline.
bool read_before(int fd, void* into, std::size_t size, const deadline& limit);
