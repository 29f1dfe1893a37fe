// kdbrowse: a full-screen terminal browser for KeePass 1.x password
// databases. Usage: kdbrowse [-k KEYFILE] [database.kdb]
#include "app/app_state.h"
#include "app/command_line.h"
#include "app/key_file.h"
#include "app/key_loop.h"
#include "app/lifecycle.h"
#include "keys/keymap.h"

int main(int argc, char** argv) {
    static app_state app{};
    command_line line = parse_command_line(argc, argv);
    answer_command_line(line);
    load_key_file(line.key_file_path, app.file_key);
    start_curses();
    init_keymaps();
    app.current_db = allocate_record();
    unlock_first_database(&app, line.database_path);
    show_first_screen(&app);
    key_loop(&app);
}
