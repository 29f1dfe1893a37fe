// The waiting helper of --clear-after: this program run again as
//   kdbrowse --clear-selection-helper SECONDS SELECTION...
// with a Unix socket on its standard input, over which it is handed, in
// this order: it sends kdbrowse one end of a fresh socket pair; kdbrowse
// writes a clear_handover into that socket; the helper answers
// handover_taken. The fresh socket is then the cancel socket. The helper
// holds the key and the HMAC, never the copied text.
#pragma once

#include <cstdint>

// The word that asks for the helper; --help does not list it.
inline constexpr char clear_helper_word[] = "--clear-selection-helper";

// What kdbrowse hands over before the wait.
struct clear_handover {
    uint8_t key[32];  // random, for this copy alone
    uint8_t mac[32];  // HMAC-SHA-256 of the copied text under key
};

// The helper's answer once it holds the handover.
inline constexpr char handover_taken = 'T';

// How long each side waits for the whole handover, from the helper's start.
inline constexpr int handover_limit_ms = 2000;

// Whether this run is the helper: the first argument is the word and the
// standard input a socket. Anything else (the word typed at a terminal) is
// an ordinary command line.
bool asks_for_clear_helper(int argc, char** argv);

// The helper's whole life; it never returns. It makes itself not dumpable
// and locks its memory, moves its socket off standard input, leaves the
// terminal's session with standard input, output and error on /dev/null,
// takes the handover, and waits SECONDS. A byte on the cancel socket ends
// the wait and the helper; its end of file (kdbrowse has ended) does not.
// Then, for each SELECTION ("primary" or "clipboard"), it reads the
// selection with /usr/bin/xclip -o into locked memory, hashes it under the
// key, wipes it, and when it is the copied text replaces it with the empty
// text (xclip with an empty standard input). A handover that is short or
// missing (kdbrowse gone, or past handover_limit_ms), or a session it could
// not leave, empties the selections at once instead: they were filled
// before it started. Arguments that are not these end it at once, status 2.
[[noreturn]] void run_clear_helper(int argc, char** argv);
