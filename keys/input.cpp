#include "keys/input.h"

#include <cerrno>

#include "keys/terminal_signals.h"

namespace {

// A blocking read gives the curses error value only when reading failed. A
// signal (the program continued after a stop) interrupts it with EINTR;
// the screen is repainted if that was the end of a stop, and the next read
// waits as usual. Anything else, at the end of the input, comes back at
// once on every read: a few in a row, with no key between, mean the input
// has ended.
constexpr int errors_at_end = 3;

}  // namespace

int read_key_from(WINDOW* window) {
    int errors = 0;
    while (errors < errors_at_end) {
        resume_after_stop();
        errno = 0;
        int key = wgetch(window);
        // The signal handlers' bytes blank every row of the new size.
        if (key == KEY_RESIZE) prepare_leaving_bytes();
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
