#include "app/lifecycle.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <curses.h>

#include "app/app_state.h"
#include "app/character_type.h"
#include "db/load.h"
#include "dialogs/prompts.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"

namespace {

// Ends the program when memory runs out before browsing can begin: the
// terminal is restored and the reason said.
[[noreturn]] void out_of_memory() {
    if (!isendwin()) endwin();
    std::fputs("kdbrowse: out of memory\n", stderr);
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
        wclear(stdscr);
        wrefresh(stdscr);
        message_box("Couldn't read.");
        wclear(stdscr);
        wrefresh(stdscr);
        return false;
    }
    std::strcpy(app->database_path, argument);
    return true;
}

}  // namespace

void start_curses() {
    // A password browser must never leave its memory in a core file, nor
    // let another process of the same user read it (/proc/PID/mem, a
    // debugger attaching): not dumpable also stops a core handler that
    // ignores the core limit, and keeps /proc/PID/ owned by root.
    struct rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    choose_character_type();
    if (initscr() == nullptr) {
        std::fputs("kdbrowse: cannot start the terminal\n", stderr);
        std::exit(1);
    }
    start_color();
    cbreak();
    noecho();
    curs_set(0);
    keypad(stdscr, TRUE);
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
        int result = open_database(app->current_db, app->database_path);
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
