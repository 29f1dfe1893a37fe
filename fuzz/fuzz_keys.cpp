// Key sequences with resizes through the key loop and the dialogs, on a
// curses terminal inside the process, over a database written at start-up.
//
// After every key the navigation state must keep its invariants, every
// browsing window must lie on the screen, and nothing the database holds may reach
// the terminal as a control sequence: the bytes curses wrote are scanned for
// BEL, OSC (ESC ]) and the 8-bit CSI and OSC. After every sequence the
// library's secure blocks are back where they started.
//
// No window is refreshed, or read from, while its top left corner lies
// beyond the screen: after a resize to a smaller screen curses can leave a
// window there, and refreshing it reads outside curses' own arrays (out of
// sight of AddressSanitizer, as curses is not instrumented). A window that
// only runs past the right or bottom edge is clipped by curses; the dialogs
// make such windows on purpose when the screen is one row or column too
// small.
// wrefresh and wnoutrefresh are wrapped at link time for this check, and
// the wgetch wrapper makes it too.
//
// Quitting ends a sequence (handle_key's true). "xclip" never starts a
// program: the clipboard call is wrapped at link time, checks that it was
// given a text, and fails for sequences of odd length, so that the failed
// copy ("Couldn't copy." and the redraw after it) is fuzzed too. "w"
// saves attachments into a scratch folder only, emptied after every
// sequence: the file call is wrapped at link time too (see below).
#include <curses.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <type_traits>

#include "app/app_state.h"
#include "app/key_loop.h"
#include "app/lifecycle.h"
#include "app/write_new_file.h"
#include "clipboard/pipe_to_program.h"
#include "db/load.h"
#include "db/queries.h"
#include "fixtures.h"
#include "key_feed.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "screen/layout.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_keys: %s\n", what);
    std::abort();
}

std::string directory;
std::string saves;  // where "w" writes: directory/saves
std::string database_path;
bool copies_fail = false;
int output_fd = -1;
off_t output_checked = 0;
uint8_t key[kpass_key_size];
app_state app{};

void write_databases() {
    char pattern[] = "/tmp/fuzz-keys-XXXXXX";
    if (mkdtemp(pattern) == nullptr) fail("mkdtemp");
    directory = pattern;
    database_path = directory + "/browse.kdb";
    std::string other_path = directory + "/groupless.kdb";
    if (!kdb_save(database_path, kdb_write(fuzz_write_options(), browse_groups(), browse_entries(), fuzz_password)) ||
        !kdb_save(other_path, kdb_write(fuzz_write_options(), {}, groupless_entries(), fuzz_password)))
        fail("cannot write the databases");
    key_feed_set_texts({database_path, other_path, directory, fuzz_password});
    saves = directory + "/saves";
    if (mkdir(saves.c_str(), 0700) != 0) fail("mkdir");
    // "~/" in the "Save as:" prompt stands for $HOME.
    setenv("HOME", saves.c_str(), 1);
}

// What "w" saved, so that every sequence finds the folder empty.
void empty_saves() {
    std::error_code ignored;
    for (const auto& file : std::filesystem::directory_iterator(saves, ignored)) std::filesystem::remove(file, ignored);
}

void remove_databases() {
    unlink((directory + "/browse.kdb").c_str());
    unlink((directory + "/groupless.kdb").c_str());
    empty_saves();
    rmdir(saves.c_str());
    rmdir(directory.c_str());
}

// A terminal whose output goes to a file that is scanned after every key;
// its input is a pipe nothing is written to (every key comes through the
// wgetch wrapper), non-blocking so that a stray read cannot hang. Each
// sequence gets a terminal of its own, so that a crash reproduces from its
// input alone.
FILE* terminal_out = nullptr;
FILE* terminal_in = nullptr;
int terminal_write_end = -1;
SCREEN* screen = nullptr;

void open_terminal_files() {
    std::string output_path = directory + "/output";
    terminal_out = std::fopen(output_path.c_str(), "w+");
    int fds[2];
    if (terminal_out == nullptr || pipe(fds) != 0) fail("terminal files");
    unlink(output_path.c_str());
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    terminal_in = fdopen(fds[0], "r");
    terminal_write_end = fds[1];
    output_fd = fileno(terminal_out);
}

void start_terminal() {
    // With no real terminal to ask, curses takes the size from these.
    setenv("LINES", "24", 1);
    setenv("COLUMNS", "80", 1);
    screen = newterm("xterm", terminal_out, terminal_in);
    if (screen == nullptr) fail("newterm");
    set_term(screen);
    set_escdelay(0);
    start_color();
    cbreak();
    noecho();
    curs_set(0);
    keypad(stdscr, TRUE);
}

void end_terminal() {
    endwin();
    delscreen(screen);
    screen = nullptr;
    // The windows went with the screen.
    title_bar = groups_frame = groups_list = entries_frame = entries_list = help_bar = nullptr;
}

bool has_control_sequence(const unsigned char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\a' || bytes[i] == 0x9b || bytes[i] == 0x9d) return true;
        if (bytes[i] == 0x1b && i + 1 < size && bytes[i + 1] == ']') return true;
    }
    return false;
}

// The bytes curses wrote since the last check.
void check_output() {
    off_t end = lseek(output_fd, 0, SEEK_END);
    if (end < output_checked) output_checked = 0;
    static unsigned char buffer[1 << 16];
    // Start one byte early, so that an ESC ] split across checks is seen.
    off_t at = output_checked > 0 ? output_checked - 1 : 0;
    while (at < end) {
        size_t want = static_cast<size_t>(end - at) < sizeof buffer ? static_cast<size_t>(end - at) : sizeof buffer;
        ssize_t n = pread(output_fd, buffer, want, at);
        if (n <= 0) break;
        if (has_control_sequence(buffer, static_cast<size_t>(n))) fail("a control sequence reached the terminal");
        if (at + n >= end) break;
        at += n > 1 ? n - 1 : 1;
    }
    output_checked = end;
}

void reset_output() {
    if (ftruncate(output_fd, 0) != 0) fail("ftruncate");
    lseek(output_fd, 0, SEEK_SET);
    output_checked = 0;
}

void check_window(const WINDOW* window) {
    if (window == nullptr) return;
    int top = getbegy(window), left = getbegx(window);
    if (top < 0 || left < 0 || top + getmaxy(window) > LINES || left + getmaxx(window) > COLS) {
        std::fprintf(stderr, "fuzz_keys: window at %d,%d of %d x %d on a screen of %d x %d\n", top, left,
                     getmaxy(window), getmaxx(window), LINES, COLS);
        fail("a window lies outside the screen");
    }
}

void check_state() {
    const browse_state& b = app.browse;
    const kpass_db* db = app.current_db;
    if (db == nullptr || !app.current_db_loaded || db->groups == nullptr) fail("no unlocked database");
    if (b.focus != 0 && b.focus != 1) fail("focus is neither pane");
    if (b.group_first_row < 0 || b.group_first_row > b.group_cursor) fail("group_first_row > group_cursor");
    if (b.entry_first_position < 0 || b.entry_first_position > b.entry_cursor)
        fail("entry_first_position > entry_cursor");
    int group_count = static_cast<int>(db->group_count);
    if (group_count == 0 ? b.group_cursor != 0 : b.group_cursor >= group_count) fail("group_cursor out of range");
    if (b.focus == 1) {
        if (b.shown_group != b.group_cursor) fail("the table shows another group than the tree cursor's");
        if (b.shown_entry_count != static_cast<int>(count_group_entries(db, b.shown_group)))
            fail("shown_entry_count is not the shown group's");
        if (b.shown_entry_count == 0 ? b.entry_cursor != 0 : b.entry_cursor >= b.shown_entry_count)
            fail("entry_cursor out of range");
    } else if (b.entry_cursor != 0 || b.entry_first_position != 0 || b.reveal) {
        fail("the tree has focus but the table keeps a cursor or a revealed password");
    }
    for (const WINDOW* window : {title_bar, groups_frame, groups_list, entries_frame, entries_list, help_bar})
        check_window(window);
    check_output();
}

void open_browsed_database() {
    app.current_db = allocate_record();
    if (load_database_file(app.current_db, database_path.c_str()) != 0) fail("cannot load the database");
    if (kpass_decrypt_db(app.current_db, key) != kpass_success) fail("cannot unlock the database");
    app.current_db_loaded = true;
    std::snprintf(app.database_path, sizeof app.database_path, "%s", database_path.c_str());
}

void close_database() {
    kpass_free_db(app.current_db);
    std::free(app.current_db);
    app.current_db = nullptr;
    app.current_db_loaded = false;
}

}  // namespace

extern "C" int __real_wrefresh(WINDOW* window);
extern "C" int __real_wnoutrefresh(WINDOW* window);

namespace {

void check_refreshable(const WINDOW* window) {
    if (window == nullptr) return;
    int top = getbegy(window), left = getbegx(window);
    if (top < 0 || left < 0 || top >= LINES || left >= COLS) {
        std::fprintf(stderr, "fuzz_keys: refreshing a window at %d,%d of %d x %d on a screen of %d x %d\n", top,
                     left, getmaxy(window), getmaxx(window), LINES, COLS);
        fail("a window beyond the screen is refreshed");
    }
}

}  // namespace

extern "C" int __wrap_wrefresh(WINDOW* window) {
    check_refreshable(window);
    return __real_wrefresh(window);
}

extern "C" int __wrap_wnoutrefresh(WINDOW* window) {
    check_refreshable(window);
    return __real_wnoutrefresh(window);
}

// "xclip" comes here instead of starting a program: a process for each key
// would cost milliseconds under the sanitizers (5 ms for /bin/true). The wrap
// names pipe_to_program by its mangled name, which a change of signature
// would leave wrapping nothing, silently: the assertion stops the build then.
static_assert(std::is_same_v<decltype(&pipe_to_program), int (*)(const char*, const char*, std::span<const char* const>)>,
              "pipe_to_program changed: update its mangled name in fuzz/CMakeLists.txt");

extern "C" int __wrap__Z15pipe_to_programPKcS0_St4spanIKS0_Lm18446744073709551615EE(const char* path, const char* text,
                                                                                   std::span<const char* const>) {
    if (path != clipboard_program || text == nullptr) fail("the clipboard was not handed a text for its program");
    (void)std::strlen(text);
    return copies_fail ? 127 : 0;
}

// "w" comes here: a relative path (the working directory is libFuzzer's,
// whose corpus and artifact paths are relative to it) goes into the
// scratch folder instead, and a path that would lead out of it (absolute
// elsewhere, or through "..") fails as an unwritable one does, unwritten.
static_assert(std::is_same_v<decltype(&write_new_file), write_result (*)(const char*, std::span<const std::uint8_t>)>,
              "write_new_file changed: update its mangled name in fuzz/CMakeLists.txt");

extern "C" write_result __real__Z14write_new_filePKcSt4spanIKhLm18446744073709551615EE(const char* path,
                                                                                  std::span<const std::uint8_t> bytes);
extern "C" write_result __wrap__Z14write_new_filePKcSt4spanIKhLm18446744073709551615EE(const char* path,
                                                                                  std::span<const std::uint8_t> bytes) {
    const std::string target = path[0] == '/' ? std::string(path) : saves + "/" + path;
    if (target.rfind(saves + "/", 0) != 0 || target.find("..") != std::string::npos) return write_result::failed;
    return __real__Z14write_new_filePKcSt4spanIKhLm18446744073709551615EE(target.c_str(), bytes);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    write_databases();
    std::atexit(remove_databases);
    kpass_hash_pw(fuzz_password, key);
    open_terminal_files();
    init_keymaps();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return -1;
    size_t blocks_before = kpass_secure_blocks_in_use();
    copies_fail = size % 2 == 1;
    reset_output();
    start_terminal();
    open_browsed_database();
    show_first_screen(&app);
    check_state();
    key_feed_start(data, size);
    while (!key_feed_spent()) {
        if (handle_key(&app, read_key(&app))) break;
        check_state();
    }
    close_database();
    end_terminal();
    empty_saves();
    if (kpass_secure_blocks_in_use() != blocks_before) fail("a secure block outlived the session");
    return 0;
}
