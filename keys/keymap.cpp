#include "keys/keymap.h"

#include <curses.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "keys/input.h"

#include "keys/terminal_signals.h"

key_binding* group_keymap = nullptr;
key_binding* entry_keymap = nullptr;

namespace {

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

// One binding, as init_keymaps makes it.
struct key_command {
    int key;
    const char* command;
};

// Each map's bindings in the order they are made: keys of one command keep
// that order in the map, which bind_key sorts by command name only.
constexpr key_command group_keys[] = {
    {'o', command_open},      {'s', command_save},      {'a', command_add_group}, {KEY_UP, command_prev},
    {KEY_DOWN, command_next}, {key_tab, command_select}, {key_enter, command_select}, {'e', command_edit},
    {'q', command_quit},
};
constexpr key_command entry_keys[] = {
    {'o', command_open},      {'s', command_save},       {'a', command_add_entry},  {key_tab, command_groups},
    {KEY_UP, command_prev},   {KEY_DOWN, command_next},  {key_space, command_reveal}, {'r', command_reveal},
    {'e', command_edit},      {key_enter, command_edit}, {'q', command_quit},       {'x', command_xclip},
    {'v', command_view},      {'w', command_save_attachment}, {'u', command_copy_username}, {'U', command_copy_url},
};
// The keys both panes share for moving through a list and finding entries,
// bound after each pane's own.
constexpr key_command list_keys[] = {
    {KEY_NPAGE, command_page_down}, {KEY_PPAGE, command_page_up}, {KEY_HOME, command_home},
    {KEY_END, command_end},         {'/', command_find},          {'n', command_find_next},
    {'N', command_find_previous},
};

key_binding* new_map_of(std::span<const key_command> own) {
    key_binding* keymap = new_keymap();
    for (const key_command& binding : own) bind_key(&keymap, binding.key, binding.command);
    for (const key_command& binding : list_keys) bind_key(&keymap, binding.key, binding.command);
    return keymap;
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
    group_keymap = new_map_of(group_keys);
    entry_keymap = new_map_of(entry_keys);
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
