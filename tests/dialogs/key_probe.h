// A look into dialogs while they run. This test program defines wgetch
// itself: every key the code under test reads passes through it, is
// recorded with the state of the screen just before the read, and is then
// read by the curses library's own wgetch. Before each read the window is
// refreshed, as wgetch does, so the snapshot shows what the user sees while
// the dialog waits for that key.
#pragma once

#include <curses.h>

#include <functional>
#include <string>
#include <vector>

struct key_read {
    bool from_stdscr = false;
    int top = 0, left = 0, height = 0, width = 0;  // the window read from
    int cursor_visible = 0;                         // as curs_set reports it
    int cursor_row = 0, cursor_col = 0;             // on the screen
    std::vector<std::string> rows;                  // curscr, ACS as '#'
    std::vector<std::vector<attr_t>> attrs;         // curscr attributes
    std::vector<std::vector<chtype>> chars;         // curscr characters
    int key = 0;                                    // what wgetch gave
};

// Every read so far, in order.
extern std::vector<key_read> key_reads;

// Called with the number of a read (0 for the first) before it happens, for
// instance to resize the terminal while a dialog waits.
extern std::function<void(int read_index)> before_key_read;

// Off: reads are still recorded (window, key), without the screen; for
// tests that type thousands of keys.
extern bool take_snapshots;

// Text and attributes of a stretch of a snapshot's row.
std::string snapshot_text(const key_read& read, int row, int col, int length);
bool all_have(const key_read& read, int row, int col, int length, attr_t attr);
bool none_have(const key_read& read, int row, int col, int length, attr_t attr);
