// Start-up and shut-down.
#pragma once

struct app_state;

// Turns core files off and makes the process not dumpable, so that no other
// process of the same user can read its memory. main calls it before the
// key file is read; start_curses calls it too.
void protect_process();

// Starts curses the way the whole program expects it (the process protected
// first, as protect_process does). A terminal that cannot
// move its cursor (TERM=dumb) is refused first: one line on standard error,
// exit status 1, as curses does for a TERM it does not know. The handlers of
// the terminal's signals (keys/terminal_signals.h) are installed before
// curses starts, so that they cover the first prompt. From here on, memory
// that runs out where nothing handles it (std::bad_alloc that nobody
// catches) ends the program as allocate_record says.
void start_curses();

// Allocates a database record (uninitialised storage, as the library
// expects). When memory is exhausted, ends the program cleanly: the
// terminal blanked and restored, "kdbrowse: out of memory" on standard
// error, status 1.
struct kpass_db* allocate_record();

// Obtains an unlocked database into app->current_db: from argument (may be
// null) or from the database-file prompt, until one unlocks. Cancelling the
// prompt runs shut_down.
void unlock_first_database(app_state* app, const char* argument);

// The one exit sequence: blanks the terminal row by row
// (screen/blank_screen.h: nothing of the database stays on a terminal
// without an alternate screen, and nothing goes into its scrollback), ends
// curses, frees the key maps, releases and frees the database record, exits
// with status 0.
[[noreturn]] void shut_down(app_state* app);
