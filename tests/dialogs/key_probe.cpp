#include "key_probe.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/virtual_terminal.h"

std::vector<key_read> key_reads;
std::function<void(int read_index)> before_key_read;
bool take_snapshots = true;

static int cursor_visibility() {
    int visibility = curs_set(1);
    curs_set(visibility);
    return visibility;
}

static key_read snapshot(WINDOW* window) {
    key_read read;
    read.from_stdscr = window == stdscr;
    getbegyx(window, read.top, read.left);
    getmaxyx(window, read.height, read.width);
    read.cursor_visible = cursor_visibility();
    getyx(curscr, read.cursor_row, read.cursor_col);
    if (!take_snapshots) return read;
    for (int row = 0; row < getmaxy(curscr); ++row) {
        read.rows.push_back(screen_row(row));
        std::vector<attr_t> attrs;
        std::vector<chtype> chars;
        for (int col = 0; col < getmaxx(curscr); ++col) {
            attrs.push_back(screen_attrs(row, col));
            chars.push_back(screen_char(row, col));
        }
        read.attrs.push_back(std::move(attrs));
        read.chars.push_back(std::move(chars));
    }
    return read;
}

extern "C" int wgetch(WINDOW* window) {
    using wgetch_type = int (*)(WINDOW*);
    static auto curses_wgetch = reinterpret_cast<wgetch_type>(dlsym(RTLD_NEXT, "wgetch"));
    if (!curses_wgetch) std::abort();
    if (before_key_read) before_key_read(static_cast<int>(key_reads.size()));
    if (window != stdscr && !is_pad(window)) wrefresh(window);
    key_read read = snapshot(window);
    read.key = curses_wgetch(window);
    key_reads.push_back(std::move(read));
    return key_reads.back().key;
}

std::string snapshot_text(const key_read& read, int row, int col, int length) {
    return read.rows.at(row).substr(col, length);
}

static int count_with(const key_read& read, int row, int col, int length, attr_t attr) {
    int count = 0;
    for (int i = 0; i < length; ++i)
        if (read.attrs.at(row).at(col + i) & attr) ++count;
    return count;
}

bool all_have(const key_read& read, int row, int col, int length, attr_t attr) {
    return count_with(read, row, col, length, attr) == length;
}

bool none_have(const key_read& read, int row, int col, int length, attr_t attr) {
    return count_with(read, row, col, length, attr) == 0;
}

// Each test starts with no reads, no action and snapshots on, even when all
// tests run in one process. A dialog that waits for keys nobody typed would
// block for ever: the alarm ends such a test before ctest's own limit
// (120 s). It is no time limit on the tests: the memory searches of the
// sanitizer build alone take 15 s and more on a busy machine.
namespace {
class reset_probe : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        key_reads.clear();
        before_key_read = nullptr;
        take_snapshots = true;
        alarm(100);
    }
};
const bool probe_reset_registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new reset_probe);
    return true;
}();
}  // namespace
