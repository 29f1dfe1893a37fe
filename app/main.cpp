// kdbrowse: a full-screen terminal browser for KeePass 1.x password
// databases. Usage: kdbrowse [database.kdb]
#include "app/app_state.h"
#include "app/key_loop.h"
#include "app/lifecycle.h"
#include "keys/keymap.h"

int main(int argc, char** argv) {
    static app_state app{};
    start_curses();
    init_keymaps();
    app.current_db = allocate_record();
    unlock_first_database(&app, argc > 1 ? argv[1] : nullptr);
    show_first_screen(&app);
    key_loop(&app);
}
