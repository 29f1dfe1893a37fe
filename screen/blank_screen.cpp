#include "screen/blank_screen.h"

#include <cstdio>

#include <curses.h>
#include <term.h>

namespace {

bool on_standard_output = false;

// putp writes to the standard output, which curses writes to as well, but
// through a buffer of its own that every update empties: these bytes are
// sent at once, so that they keep their place between curses' own.
void emit_to_terminal(const char* control) { putp(control); }

// The attributes of curses' blank, plain in the colours of its pair 0, as
// curses sets them for its own clear: blanks take the current background on
// most terminals, and the terminal may have been left in any attributes
// (curses ends an update in sgr0's, a shell after a stop in its own). What
// curses draws next in pair 0 comes out in these colours too. Only sgr0's
// when the program is leaving: the rows then stay for the shell.
void set_blank_attributes(bool leaving) {
    if (const char* plain = terminal_string("sgr0")) putp(plain);
    if (leaving) return;
    short foreground = -1;
    short background = -1;
    if (!has_colors() || pair_content(0, &foreground, &background) != OK) return;
    const char* setaf = terminal_string("setaf");
    const char* setab = terminal_string("setab");
    if (foreground >= 0 && setaf) putp(tiparm(setaf, foreground));
    if (background >= 0 && setab) putp(tiparm(setab, background));
}

// Blanks the terminal's rows in those attributes. The cursor is then put
// back where curses believes it stands: curses moves it relative to that
// place, and what it draws next would land elsewhere.
bool blank_terminal_rows(bool leaving = false) {
    if (terminal_string("cup") == nullptr || terminal_string("el") == nullptr) return false;
    if (!on_standard_output) return true;
    set_blank_attributes(leaving);
    emit_blank_rows(emit_to_terminal);
    putp(tiparm(terminal_string("cup"), getcury(curscr), getcurx(curscr)));
    std::fflush(stdout);
    return true;
}

// What curses is to believe the terminal shows once the rows are blanked.
// Where the terminal fills a cleared row with the current background (bce),
// or curses draws no colours, the blanks are the very ones curses' own
// clear gives: curses' picture is made blank. On a terminal that fills
// with its default background, curses draws its blanks itself, as spaces
// in its colours: the picture is made unknown, so that every cell curses
// draws next is sent, blanks included, as after its own clear there.
void believe_rows_blank() {
    if (tigetflag("bce") > 0 || !has_colors())
        werase(curscr);
    else
        redrawwin(curscr);
    clearok(curscr, FALSE);
}

}  // namespace

void blank_on_standard_output() { on_standard_output = true; }

const char* terminal_string(const char* name) {
    const char* capability = tigetstr(name);
    return capability == reinterpret_cast<const char*>(-1) ? nullptr : capability;
}

bool emit_blank_rows(void (*emit)(const char*)) {
    const char* move = terminal_string("cup");
    const char* clear_line = terminal_string("el");
    if (move == nullptr || clear_line == nullptr) return false;
    for (int row = 0; row < LINES; ++row) {
        emit(tiparm(move, row, 0));
        emit(clear_line);
    }
    return true;
}

// curses' picture of the screen is what it believes the terminal shows
// (curscr) and what is to be shown (newscr, which the windows are copied
// into). The one to be shown is made blank here, and the clear that a
// resize leaves pending is dropped: the terminal has been blanked already.
void blank_screen() {
    if (!blank_terminal_rows()) {
        wclear(stdscr);
        wrefresh(stdscr);
        return;
    }
    clearok(stdscr, FALSE);
    werase(stdscr);
    wnoutrefresh(stdscr);
    believe_rows_blank();
    doupdate();
}

// The picture to be shown (newscr) is kept and marked as changed all over:
// the update sends every cell of it that the terminal does not show, and
// clears nothing.
void repaint_screen() {
    if (!blank_terminal_rows()) {
        wrefresh(curscr);
        return;
    }
    believe_rows_blank();
    touchwin(newscr);
    doupdate();
}

void blank_before_leaving() {
    if (blank_terminal_rows(true)) return;
    wclear(stdscr);
    wrefresh(stdscr);
}
