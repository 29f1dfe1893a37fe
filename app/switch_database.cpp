#include "app/switch_database.h"

#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/browsing_screen.h"
#include "app/lifecycle.h"
#include "db/load.h"
#include "dialogs/prompts.h"
#include "kpass/kpass.h"

namespace {

// Unlocks new_path into a record of its own. Only when that succeeds does
// it replace the open database, which stays untouched until then.
bool try_switch(app_state* app) {
    kpass_db* record = allocate_record();
    int result = open_database(record, app->new_path, key_file_key(app));
    if (result != 0) {
        if (result == -1) kpass_free_db(record);  // loaded but locked
        std::free(record);
        return false;
    }
    kpass_free_db(app->current_db);
    std::free(app->current_db);
    app->current_db = record;
    std::memcpy(app->database_path, app->new_path, sizeof app->database_path);
    app->database_path[sizeof app->database_path - 1] = '\0';
    app->browse = browse_state{};
    return true;
}

}  // namespace

void switch_database(app_state* app) {
    bool from_table = app->browse.focus == 1;
    bool switched = false;
    if (prompt_database_path(app->new_path, sizeof app->new_path) == 0) switched = try_switch(app);
    if (!switched && from_table) app->browse.reveal = false;
    // Built and drawn afresh in every case: the dialogs have drawn over the
    // screen. A database that was unlocked gets the tree focused, at 0.
    draw_browsing_screen(app);
}
