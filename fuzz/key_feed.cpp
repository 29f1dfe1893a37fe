#include "key_feed.h"

#include <curses.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

namespace {

key_feed_texts texts;
const uint8_t* input = nullptr;
size_t input_size = 0;
size_t position = 0;
std::deque<int> queued;  // the rest of a text being typed
size_t endgame_keys = 0;
unsigned long resizes = 0;

constexpr int key_tab = 9;
constexpr int key_enter = 10;
constexpr size_t endgame_limit = 3000;

// A resize goes the way a real one does: the new size is where curses
// looks when the terminal cannot tell (LINES and COLUMNS), and SIGWINCH
// makes the next wgetch refresh its window first, then resize the screen
// and give KEY_RESIZE.
int resize_rows = 0;
int resize_cols = 0;
constexpr int resize_event = -2;

int resize_to(int rows, int cols) {
    resize_rows = rows;
    resize_cols = cols;
    ++resizes;
    return resize_event;
}

uint8_t next_byte(uint8_t otherwise) { return position < input_size ? input[position++] : otherwise; }

void queue_text(const std::string& text) {
    for (unsigned char c : text) queued.push_back(c);
}

// One event from an operation number below 26. (Operations 24 and 25 came
// last, so that the seeds' bytes below 24 keep their meaning.)
int operation(int op) {
    switch (op) {
    case 0: return KEY_UP;
    case 1: return KEY_DOWN;
    case 2: return KEY_LEFT;
    case 3: return KEY_RIGHT;
    case 4: return KEY_BACKSPACE;
    case 5: return key_tab;
    case 6: return key_enter;
    case 7: return 'e';
    case 8: return 'x';
    case 9: return 'r';
    case 10: return 'o';
    case 11: return 's';
    case 12: return 'a';
    case 13: return ' ';
    case 14: return 'q';
    case 15: {
        int rows = 1 + next_byte(23) % 64;
        int cols = 1 + next_byte(79) % 160;
        return resize_to(rows, cols);
    }
    case 16: queue_text(texts.database_path); break;
    case 17: queue_text(texts.password); break;
    case 18: queue_text(texts.other_path); break;
    case 19: queue_text(texts.unreadable_path); break;
    case 20: return resize_to(LINES, COLS);  // a resize to the same size
    case 21: return KEY_HOME;
    case 22: return 0;
    case 23: return KEY_NPAGE;
    case 24: return KEY_PPAGE;
    default: return KEY_END;
    }
    if (queued.empty()) return 0;
    int key = queued.front();
    queued.pop_front();
    return key;
}

int endgame_key() {
    size_t n = endgame_keys++;
    if (n >= endgame_limit) {
        std::fprintf(stderr, "fuzz_keys: a dialog did not close after %zu keys\n", endgame_limit);
        std::abort();
    }
    if (n == 0) return resize_to(24, 80);
    size_t at = (n - 1) % 17;  // Tab Tab Enter, then 14 Enters
    return at < 2 ? key_tab : key_enter;
}

}  // namespace

void key_feed_set_texts(const key_feed_texts& new_texts) { texts = new_texts; }

void key_feed_start(const uint8_t* data, size_t size) {
    input = data;
    input_size = size;
    position = 0;
    queued.clear();
    endgame_keys = 0;
}

unsigned long key_feed_resizes() { return resizes; }

bool key_feed_spent() { return position >= input_size && queued.empty(); }

int key_feed_next() {
    if (!queued.empty()) {
        int key = queued.front();
        queued.pop_front();
        return key;
    }
    if (position >= input_size) return endgame_key();
    uint8_t byte = input[position++];
    // Printable ASCII is typed as it is (never ESC: a lone ESC would make
    // curses wait for the rest of an escape sequence); everything else is
    // an operation.
    if (byte >= 32 && byte < 127) return byte;
    return operation(byte % 26);
}

// The link-time wrappers (see the fuzz CMakeLists); the refresh wrappers
// check that the window lies on the screen.
extern "C" int __real_wgetch(WINDOW* window);
extern "C" int __wrap_wnoutrefresh(WINDOW* window);
extern "C" int __wrap_wgetch(WINDOW* window) {
    // wgetch refreshes the window first: it must lie on the screen.
    __wrap_wnoutrefresh(window);
    int key = key_feed_next();
    if (key != resize_event) {
        ungetch(key);
        return __real_wgetch(window);
    }
    setenv("LINES", std::to_string(resize_rows).c_str(), 1);
    setenv("COLUMNS", std::to_string(resize_cols).c_str(), 1);
    raise(SIGWINCH);
    key = __real_wgetch(window);
    if (key != KEY_RESIZE || LINES != resize_rows || COLS != resize_cols) {
        std::fprintf(stderr, "fuzz_keys: the resize to %d x %d gave key %d and %d x %d\n", resize_rows, resize_cols, key,
                     LINES, COLS);
        std::abort();
    }
    return key;
}
