// What main owns for the whole run and hands down: the open database, the
// path buffers and the navigation state.
#pragma once

#include "app/browse_state.h"

struct kpass_db;

inline constexpr int path_size = 2048;

struct app_state {
    kpass_db* current_db;           // the open database; unlocked while browsing
    bool current_db_loaded;         // current_db holds library data to release
    char database_path[path_size];  // its path, shown on the title bar
    char new_path[path_size];       // the path typed for "open"
    browse_state browse;
};
