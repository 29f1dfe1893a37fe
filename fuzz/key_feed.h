// The keys the key-sequence fuzzer hands to the program. Every wgetch the
// program makes (the key loop's and the dialogs') is wrapped at link time:
// the wrapper takes the next key from here, pushes it back into curses with
// ungetch and lets the real wgetch return it, so that curses still
// refreshes the window the way it does for a typed key. A resize is a
// SIGWINCH with the new size in LINES and COLUMNS, so that curses resizes
// the screen inside wgetch, after refreshing the window, as it does for a
// real one.
//
// Each input byte is one event: a key (arrows, page keys, Tab, Enter,
// backspace, the command letters, "/" and "n", printable text), a resize to a size taken from the next
// two bytes (down to 1 x 1), or a text typed whole (a database path, the
// password). Once the input is spent, the keys that close any dialog
// follow (see key_feed_next), so that a dialog never waits for ever.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct key_feed_texts {
    std::string database_path;   // the browsed database
    std::string other_path;      // a database without groups
    std::string unreadable_path; // a directory
    std::string password;        // opens both databases
};

void key_feed_set_texts(const key_feed_texts& texts);

// Starts a new sequence over data (which must outlive it).
void key_feed_start(const uint8_t* data, size_t size);

// True when every fuzzed event has been handed out.
bool key_feed_spent();

// Resizes handed out since the start.
unsigned long key_feed_resizes();

// The next key, or -2 for a resize (the wgetch wrapper makes curses carry
// it out and give KEY_RESIZE). After the input is spent: a resize to 24 x 80 (every dialog fits), then
// blocks of Tab Tab Enter and of 14 Enters in turn. Tab Tab Enter cancels a
// prompt that has just opened and closes a message box; 14 Enters close the
// entry dialog from any of its 12 fields and, being even, leave the prompt
// and message box that alternate after a wrong password as they found them.
// Stops the fuzzer when a dialog outlasts 3,000 such keys.
int key_feed_next();
