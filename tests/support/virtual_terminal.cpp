#include "support/virtual_terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <climits>
#include <stdexcept>

virtual_terminal::virtual_terminal(int rows, int cols, const char* ctype) {
    if (std::setlocale(LC_CTYPE, ctype) == nullptr) throw std::runtime_error("no such locale");
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    write_fd_ = fds[1];
    in_ = fdopen(fds[0], "r");
    out_ = fopen("/dev/null", "w");
    if (!in_ || !out_) throw std::runtime_error("fdopen");
    screen_ = newterm("xterm", out_, in_);
    if (!screen_) throw std::runtime_error("newterm");
    set_term(screen_);
    resize_term(rows, cols);
    start_color();
    cbreak();
    noecho();
    curs_set(0);
    keypad(stdscr, TRUE);
    // A terminal of eight-bit characters, as a terminal device set to CS8
    // is: curses strips the eighth bit of input read from a pipe otherwise.
    meta(stdscr, TRUE);
}

virtual_terminal::~virtual_terminal() {
    endwin();
    delscreen(screen_);
    if (write_fd_ >= 0) close(write_fd_);
    if (in_) fclose(in_);
    if (out_) fclose(out_);
    std::setlocale(LC_CTYPE, "C");
}

void virtual_terminal::type(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(write_fd_, bytes.data(), bytes.size());
        if (n <= 0) throw std::runtime_error("write");
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void virtual_terminal::close_input() {
    if (write_fd_ >= 0) close(write_fd_);
    write_fd_ = -1;
}

void virtual_terminal::resize(int rows, int cols, bool queue_key) {
    resize_term(rows, cols);
    if (queue_key) ungetch(KEY_RESIZE);
}

chtype cell_char(WINDOW* window, int row, int col) {
    int y, x;
    getyx(window, y, x);
    chtype c = mvwinch(window, row, col);
    wmove(window, y, x);
    return c & (A_CHARTEXT | A_ALTCHARSET);
}

attr_t cell_attrs(WINDOW* window, int row, int col) {
    int y, x;
    getyx(window, y, x);
    chtype c = mvwinch(window, row, col);
    wmove(window, y, x);
    return c & (A_ATTRIBUTES & ~A_ALTCHARSET & ~A_COLOR);
}

static std::string text_of(WINDOW* window, int row) {
    std::string text;
    int width = getmaxx(window);
    for (int col = 0; col < width; ++col) {
        chtype c = cell_char(window, row, col);
        text += (c & A_ALTCHARSET) ? '#' : static_cast<char>(c & A_CHARTEXT);
    }
    return text;
}

std::string row_text(WINDOW* window, int row) { return text_of(window, row); }
std::string screen_row(int row) { return text_of(curscr, row); }
chtype screen_char(int row, int col) { return cell_char(curscr, row, col); }
attr_t screen_attrs(int row, int col) { return cell_attrs(curscr, row, col); }
chtype acs(chtype acs_constant) { return acs_constant & (A_CHARTEXT | A_ALTCHARSET); }

std::string cells_text(WINDOW* window, int row, int col, int count) {
    std::string text;
    int y, x;
    getyx(window, y, x);
    for (int c = col; c < col + count; ++c) {
        cchar_t cell;
        if (mvwin_wch(window, row, c, &cell) == ERR) break;
        wchar_t chars[CCHARW_MAX + 1] = {};
        attr_t attrs = 0;
        short pair = 0;
        getcchar(&cell, chars, &attrs, &pair, nullptr);
        if (attrs & A_ALTCHARSET) {
            text += '#';
            continue;
        }
        for (const wchar_t* w = chars; *w != 0; ++w) {
            char bytes[MB_LEN_MAX];
            std::mbstate_t state{};
            std::size_t size = std::wcrtomb(bytes, *w, &state);
            text.append(bytes, size == static_cast<std::size_t>(-1) ? 0 : size);
        }
        if (wcwidth(chars[0]) == 2) ++c;
    }
    wmove(window, y, x);
    return text;
}
