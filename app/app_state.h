// What main owns for the whole run and hands down: the open database, the
// path buffers, the navigation state, the key file's key, what "x" does
// and the last text searched for.
#pragma once

#include <cstdint>

#include "app/browse_state.h"
#include "kpass/secure_memory.h"
#include "clipboard/copy_to_selections.h"

struct kpass_db;

inline constexpr int path_size = 2048;
inline constexpr int find_text_size = 256;

struct app_state {
    kpass_db* current_db;           // the open database; unlocked while browsing
    bool current_db_loaded;         // current_db holds library data to release
    char database_path[path_size];  // its path, shown on the title bar
    char new_path[path_size];       // the path typed for "open"
    browse_state browse;
    char find_text[find_text_size];  // the last text "/" searched for, "" before the first
    secure_vector<uint8_t> file_key;  // the key file's key, for every database unlocked; empty without one
    copy_settings copy;             // what "x" fills, and when it is cleared
    int newest_clear_wait = -1;     // the newest clearing helper's cancel socket (copy_to_selections.h)
};

// The key file's key to unlock with, or null without a key file.
inline const uint8_t* key_file_key(const app_state* app) {
    return app->file_key.empty() ? nullptr : app->file_key.data();
}
