#include "app/lifecycle.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include <curses.h>
#include <term.h>

#include "app/app_state.h"
#include "app/character_type.h"
#include "db/load.h"
#include "dialogs/prompts.h"
#include "keys/keymap.h"
#include "keys/terminal_signals.h"
#include "kpass/kpass.h"
#include "screen/blank_screen.h"

namespace {

// Ends the program when memory runs out: the terminal is blanked and
// restored, and the reason said.
[[noreturn]] void out_of_memory() {
    if (stdscr != nullptr && !isendwin()) {
        stop_entering();
        blank_before_leaving();
        endwin();
    }
    std::fputs("kdbrowse: out of memory\n", stderr);
    std::exit(1);
}

// Memory that runs out after start-up, wherever it does (a prompt's text,
// a form's fields, the buffer of a typed password), ends in
// std::bad_alloc that nothing catches: it goes through out_of_memory
// instead of aborting with the terminal in curses' modes. The library's own
// out-of-memory results (a file too large to decrypt) stay what they are,
// as a new-handler that exited would not let them.
std::terminate_handler default_terminate = nullptr;

[[noreturn]] void end_uncaught() {
    try {
        if (std::current_exception()) std::rethrow_exception(std::current_exception());
    } catch (const std::bad_alloc&) {
        out_of_memory();
    } catch (...) {
    }
    default_terminate();
    std::abort();
}

// A terminal that cannot move its cursor (TERM=dumb, a printing terminal)
// would get the whole screen as one garbled line. It is refused before
// curses starts, as curses refuses a TERM it does not know: one line on
// standard error, status 1. A TERM that terminfo does not know is left to
// initscr, which says so itself.
void refuse_terminal_without_cursor_addressing() {
    int error = 0;
    if (setupterm(nullptr, STDOUT_FILENO, &error) != OK) return;
    bool addressable = terminal_string("cup") != nullptr;
    del_curterm(cur_term);
    if (addressable) return;
    std::fputs("kdbrowse: the terminal cannot move its cursor (see TERM)\n", stderr);
    std::exit(1);
}

void release_current(app_state* app) {
    if (app->current_db_loaded) kpass_free_db(app->current_db);
    app->current_db_loaded = false;
}

// A first argument that does not fit database_path is refused, not cut:
// a cut path could name another file.
bool take_argument(app_state* app, const char* argument) {
    if (argument == nullptr) return false;
    if (std::strlen(argument) >= sizeof app->database_path) {
        blank_screen();
        message_box("Couldn't read.");
        blank_screen();
        return false;
    }
    std::strcpy(app->database_path, argument);
    return true;
}

}  // namespace

void protect_process() {
    // A password browser must never leave its memory in a core file, nor
    // let another process of the same user read it (/proc/PID/mem, a
    // debugger attaching): not dumpable also stops a core handler that
    // ignores the core limit, and keeps /proc/PID/ owned by root.
    struct rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void start_curses() {
    protect_process();
    choose_character_type();
    refuse_terminal_without_cursor_addressing();
    install_terminal_signals();
    if (initscr() == nullptr) {
        std::fputs("kdbrowse: cannot start the terminal\n", stderr);
        std::exit(1);
    }
    start_color();
    cbreak();
    noecho();
    set_cursor_visibility(0);
    keypad(stdscr, TRUE);
    blank_on_standard_output();
    prepare_leaving_bytes();
    default_terminate = std::set_terminate(end_uncaught);
}

kpass_db* allocate_record() {
    // Uninitialised storage of the record's size: the library fills it.
    auto* db = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)));
    if (db == nullptr) out_of_memory();
    return db;
}

void unlock_first_database(app_state* app, const char* argument) {
    bool have_path = take_argument(app, argument);
    for (;;) {
        if (!have_path && prompt_database_path(app->database_path, sizeof app->database_path) != 0)
            shut_down(app);
        have_path = false;
        int result = open_database(app->current_db, app->database_path, key_file_key(app));
        if (result == 0) {
            app->current_db_loaded = true;
            return;
        }
        if (result == -1) {
            // Loaded but locked: release it before the record is filled again.
            app->current_db_loaded = true;
            release_current(app);
        }
    }
}

void shut_down(app_state* app) {
    stop_entering();
    blank_before_leaving();
    endwin();
    std::free(group_keymap);
    group_keymap = nullptr;
    std::free(entry_keymap);
    entry_keymap = nullptr;
    release_current(app);
    std::free(app->current_db);
    app->current_db = nullptr;
    std::exit(0);
}
