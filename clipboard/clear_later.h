// Starting and ending the helper that takes a copied text out of the X
// selections once a time has passed (clear_helper.h runs on its side).
#pragma once

#include <span>

#include "clipboard/x_selection.h"

// Starts the helper for text, copied to selections, to clear them after
// seconds unless they hold something else by then. The helper is this
// program re-executed, started by a double fork, so that there is nothing
// to reap and no process id to keep; every copy of this process that the
// forks make execs at once, or waits for the handover and ends, since a
// fork alone holds the unlocked database. It is handed a random key and the
// HMAC-SHA-256 of text under that key over a socket it made itself (see
// clear_helper.h); those are wiped here, and nothing else of text reaches
// it (not in its arguments, not in its environment). Returns that socket,
// the cancel socket (close-on-exec), or -1 when the helper did not start:
// no process, this program could not be run again, or the handover did not
// end with the helper's answer within handover_limit_ms.
int start_clear_wait(const char* text, std::span<const x_selection* const> selections, int seconds);

// Ends the wait of the helper whose cancel socket is fd, with a byte on it,
// without ever blocking; a helper that has ended already is no failure.
// Closing fd alone does not end the wait: that is what happens when this
// program ends.
void end_clear_wait(int fd);
