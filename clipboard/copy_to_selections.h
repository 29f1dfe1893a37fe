// The command "xclip": a text handed to xclip for one or both X
// selections, and taken out of them again later when the user asks for it.
#pragma once

// What "x" does, from the command line. The default is the single plain
// xclip call, which fills PRIMARY, and nothing cleared.
struct copy_settings {
    bool primary = true;     // fill PRIMARY (pasted with the middle button)
    bool clipboard = false;  // fill CLIPBOARD (pasted with Ctrl-V)
    int clear_after = 0;     // seconds after which a copy is taken out again; 0: never
};

inline constexpr int longest_clear_after = 3600;

// Whether text is a time --clear-after takes: decimal digits only (no
// sign, no blanks) for 1 to longest_clear_after seconds. Its value goes to
// *seconds, which is left alone otherwise.
bool read_clear_after(const char* text, int* seconds);

// Hands text to clipboard_program (pipe_to_program.h) once for each
// selection settings names, PRIMARY first. With clear_after, one waiting
// helper (clear_later.h) is then started for the selections whose run
// worked. *newest_wait is the newest wait's cancel socket, or -1; it is
// the only thing kept of the helpers. A copy whose every run worked ends
// that wait (the same text copied again must not be cleared
// early) and keeps its own instead. A copy with a failed run ends no wait:
// the selection that failed still holds the older text, whose helper goes
// on (only our end of its socket is closed, once a new wait replaces it).
// When the wait cannot start, the selections are emptied at once and the
// copy has failed. Returns 0 when every run worked, else the first failed
// run's result (-1 for the wait).
int copy_to_selections(const copy_settings& settings, int* newest_wait, const char* text);
