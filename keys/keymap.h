// Key maps: which key gives which command in each pane, and the help bar
// that lists them.
#pragma once

// The commands. A key map points at these strings, and commands are told
// apart by comparing those pointers, never the texts.
extern const char command_open[];
extern const char command_save[];
extern const char command_add_group[];
extern const char command_add_entry[];
extern const char command_select[];
extern const char command_groups[];
extern const char command_edit[];
extern const char command_quit[];
extern const char command_reveal[];
extern const char command_prev[];
extern const char command_next[];
extern const char command_xclip[];
extern const char command_page_down[];
extern const char command_page_up[];
extern const char command_home[];
extern const char command_end[];
extern const char command_find[];
extern const char command_find_next[];
extern const char command_find_previous[];
extern const char command_view[];
extern const char command_save_attachment[];
extern const char command_copy_username[];
extern const char command_copy_url[];

// One slot of a key map. A slot whose key is 0 ends the map; its command is
// neither set nor read.
struct key_binding {
    int key;
    const char* command;
};

// The maps of the group tree pane and of the entry table pane: each one heap
// array, built once at start-up by init_keymaps and released with one free.
extern key_binding* group_keymap;
extern key_binding* entry_keymap;

// A new map holding only the end slot.
key_binding* new_keymap();

// Binds key (nonzero) to command in the map held by *keymap, keeping the
// slots in stable order of command name. May move the array.
void bind_key(key_binding** keymap, int key, const char* command);

// Builds group_keymap and entry_keymap.
void init_keymaps();

// The command bound to key in keymap, or null when there is none.
const char* lookup_key(const key_binding* keymap, int key);

// Lists the keys of group_keymap (which 0) or entry_keymap (which 1) on the
// help bar; any other value leaves it blank.
void draw_help_bar(int which);
