// kdbrowse: a full-screen terminal browser for KeePass 1.x password
// databases. Usage: kdbrowse [-k KEYFILE] [-c SECONDS] [-s SELECTION] [database.kdb]
#include "app/app_state.h"
#include "app/command_line.h"
#include "app/key_file.h"
#include "app/key_loop.h"
#include "app/lifecycle.h"
#include "clipboard/clear_helper.h"
#include "keys/keymap.h"

int main(int argc, char** argv) {
    // The helper that clears a copy later is this program run again.
    if (asks_for_clear_helper(argc, argv)) run_clear_helper(argc, argv);
    static app_state app{};
    command_line line = parse_command_line(argc, argv);
    answer_command_line(line);
    protect_process();  // before the key file's key is in memory
    load_key_file(line.key_file_path, app.file_key);
    app.copy = line.copy;
    start_curses();
    init_keymaps();
    app.current_db = allocate_record();
    unlock_first_database(&app, line.database_path);
    show_first_screen(&app);
    key_loop(&app);
}
