#include "keys/keymap.h"

#include <curses.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "keys/terminal_signals.h"

key_binding* group_keymap = nullptr;
key_binding* entry_keymap = nullptr;

namespace {

constexpr int key_tab = 9;
constexpr int key_enter = 10;
constexpr int key_space = 32;

// A map that cannot be allocated or grown leaves the program nothing sound
// to go on with: give the terminal back and stop.
[[noreturn]] void out_of_memory() {
    if (stdscr != nullptr && !isendwin()) {
        stop_entering();
        endwin();
    }
    std::fputs("kdbrowse: out of memory\n", stderr);
    std::exit(1);
}

// The keys both panes share for moving through a list and finding entries.
void bind_list_keys(key_binding** keymap) {
    bind_key(keymap, KEY_NPAGE, command_page_down);
    bind_key(keymap, KEY_PPAGE, command_page_up);
    bind_key(keymap, KEY_HOME, command_home);
    bind_key(keymap, KEY_END, command_end);
    bind_key(keymap, '/', command_find);
    bind_key(keymap, 'n', command_find_next);
}

std::size_t binding_count(const key_binding* keymap) {
    std::size_t n = 0;
    while (keymap[n].key != 0) ++n;
    return n;
}

}  // namespace

key_binding* new_keymap() {
    auto* keymap = static_cast<key_binding*>(std::malloc(sizeof(key_binding)));
    if (keymap == nullptr) out_of_memory();
    keymap[0].key = 0;
    keymap[0].command = nullptr;
    return keymap;
}

void bind_key(key_binding** keymap, int key, const char* command) {
    if (key == 0) return;  // 0 marks the end of a map and cannot be bound
    if (*keymap == nullptr) *keymap = new_keymap();

    // A key that is bound already only changes its command, in place.
    for (key_binding* slot = *keymap; slot->key != 0; ++slot) {
        if (slot->key == key) {
            slot->command = command;
            return;
        }
    }

    const std::size_t n = binding_count(*keymap);
    if (n + 2 > SIZE_MAX / sizeof(key_binding)) out_of_memory();
    auto* grown = static_cast<key_binding*>(std::realloc(*keymap, (n + 2) * sizeof(key_binding)));
    if (grown == nullptr) out_of_memory();
    *keymap = grown;
    grown[n + 1].key = 0;
    grown[n + 1].command = nullptr;

    // Insert after every binding whose command name is smaller or equal,
    // so that bindings of one command keep the order they were made in.
    std::size_t p = n;
    while (p > 0 && std::strcmp(command, grown[p - 1].command) < 0) {
        grown[p] = grown[p - 1];
        --p;
    }
    grown[p].key = key;
    grown[p].command = command;
}

void init_keymaps() {
    group_keymap = new_keymap();
    bind_key(&group_keymap, 'o', command_open);
    bind_key(&group_keymap, 's', command_save);
    bind_key(&group_keymap, 'a', command_add_group);
    bind_key(&group_keymap, KEY_UP, command_prev);
    bind_key(&group_keymap, KEY_DOWN, command_next);
    bind_key(&group_keymap, key_tab, command_select);
    bind_key(&group_keymap, key_enter, command_select);
    bind_key(&group_keymap, 'e', command_edit);
    bind_key(&group_keymap, 'q', command_quit);
    bind_list_keys(&group_keymap);

    entry_keymap = new_keymap();
    bind_key(&entry_keymap, 'o', command_open);
    bind_key(&entry_keymap, 's', command_save);
    bind_key(&entry_keymap, 'a', command_add_entry);
    bind_key(&entry_keymap, key_tab, command_groups);
    bind_key(&entry_keymap, KEY_UP, command_prev);
    bind_key(&entry_keymap, KEY_DOWN, command_next);
    bind_key(&entry_keymap, key_space, command_reveal);
    bind_key(&entry_keymap, 'r', command_reveal);
    bind_key(&entry_keymap, 'e', command_edit);
    bind_key(&entry_keymap, key_enter, command_edit);
    bind_key(&entry_keymap, 'q', command_quit);
    bind_key(&entry_keymap, 'x', command_xclip);
    bind_list_keys(&entry_keymap);
}

const char* lookup_key(const key_binding* keymap, int key) {
    if (keymap == nullptr) return nullptr;
    // The end slot stops the scan before its key is compared, so 0 never
    // matches.
    for (const key_binding* slot = keymap; slot->key != 0; ++slot) {
        if (slot->key == key) return slot->command;
    }
    return nullptr;
}
