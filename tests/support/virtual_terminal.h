// A curses terminal inside the test process: output to /dev/null, input
// from a pipe that the test writes the bytes of real key presses into.
// Cells are read back from the windows or from curscr, what curses believes
// is on the screen.
#pragma once

#include <curses.h>

#include <string>
#include <string_view>

// Bytes an xterm sends in keypad mode.
namespace keys {
inline constexpr std::string_view up = "\033OA";
inline constexpr std::string_view down = "\033OB";
inline constexpr std::string_view right = "\033OC";
inline constexpr std::string_view left = "\033OD";
inline constexpr std::string_view home = "\033OH";
inline constexpr std::string_view backspace = "\177";
inline constexpr std::string_view tab = "\t";
inline constexpr std::string_view enter = "\r";
inline constexpr std::string_view escape = "\033";
}  // namespace keys

class virtual_terminal {
public:
    // Starts curses as the program does (cbreak, noecho, hidden cursor,
    // keypad on stdscr) on a rows x cols screen, with the character type
    // ctype ("C" or a UTF-8 locale such as "C.UTF-8"), which curses reads
    // when it starts. The destructor sets it back to "C".
    virtual_terminal(int rows, int cols, const char* ctype = "C");
    ~virtual_terminal();
    virtual_terminal(const virtual_terminal&) = delete;
    virtual_terminal& operator=(const virtual_terminal&) = delete;

    // Queues bytes as if typed.
    void type(std::string_view bytes);
    // Ends the input, as when the terminal goes away: once the bytes typed
    // so far are read, reading finds the end of the input.
    void close_input();
    // Changes the screen size; with queue_key, also queues KEY_RESIZE ahead of
    // typed bytes, as curses does after SIGWINCH.
    void resize(int rows, int cols, bool queue_key = true);

private:
    SCREEN* screen_ = nullptr;
    FILE* in_ = nullptr;
    FILE* out_ = nullptr;
    int write_fd_ = -1;
};

// The character (with A_ALTCHARSET for line drawing) and the attributes of a
// cell of a window; the window's cursor is left where it was.
chtype cell_char(WINDOW* window, int row, int col);
attr_t cell_attrs(WINDOW* window, int row, int col);
// A row of a window as text: ACS characters as '#', others as themselves.
std::string row_text(WINDOW* window, int row);
// The same for the whole screen as curses last drew it.
std::string screen_row(int row);
chtype screen_char(int row, int col);
attr_t screen_attrs(int row, int col);
// count cells of a window from (row, col) as UTF-8: every character of a
// cell (combining marks included), a wide character once for its two
// cells, line-drawing characters as '#'.
std::string cells_text(WINDOW* window, int row, int col, int count);
// The character part of an ACS constant, for comparisons with cell_char.
chtype acs(chtype acs_constant);
