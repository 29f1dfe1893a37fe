// What main owns for the whole run and hands down: the open database, the
// path buffers, the navigation state and what "x" does.
#pragma once

#include "app/browse_state.h"
#include "clipboard/copy_to_selections.h"

struct kpass_db;

inline constexpr int path_size = 2048;

struct app_state {
    kpass_db* current_db;           // the open database; unlocked while browsing
    bool current_db_loaded;         // current_db holds library data to release
    char database_path[path_size];  // its path, shown on the title bar
    char new_path[path_size];       // the path typed for "open"
    browse_state browse;
    copy_settings copy;             // what "x" fills, and when it is cleared
    int newest_clear_wait = -1;     // the newest clearing helper's cancel pipe (copy_to_selections.h)
};
