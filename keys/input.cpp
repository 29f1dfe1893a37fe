#include "keys/input.h"

#include <cerrno>

namespace {

// A blocking read gives the curses error value only when reading failed. A
// signal (the program continued after a stop) interrupts it with EINTR, and
// the next read waits as usual. Anything else, at the end of the input,
// comes back at once on every read: a few in a row, with no key between,
// mean the input has ended.
constexpr int errors_at_end = 3;

}  // namespace

int read_key_from(WINDOW* window) {
    int errors = 0;
    while (errors < errors_at_end) {
        errno = 0;
        int key = wgetch(window);
        if (key != ERR) return key;
        if (errno != EINTR) ++errors;
    }
    return key_input_ended;
}

void forget_typed_keys() {
    // Pushing keys back fills curses' queue from its last slot to its
    // first, over whatever it held, until no slot is left; then it is
    // emptied. The bound only guards against a queue that never fills.
    for (int i = 0; i < 4096 && ungetch(0) != ERR; ++i) {
    }
    flushinp();
}
