#include "keys/keymap.h"

#include <curses.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using slots = std::vector<std::pair<int, const char*>>;

slots slots_of(const key_binding* keymap) {
    slots result;
    for (const key_binding* slot = keymap; slot->key != 0; ++slot) result.emplace_back(slot->key, slot->command);
    return result;
}

}  // namespace

TEST(keymaps, are_ordered_by_command_name_keeping_binding_order) {
    init_keymaps();
    const slots group = {{'a', command_add_group}, {'e', command_edit},     {KEY_END, command_end},
                         {'/', command_find},      {'n', command_find_next}, {'N', command_find_previous},
                         {KEY_HOME, command_home},
                         {KEY_DOWN, command_next}, {'o', command_open},     {KEY_NPAGE, command_page_down},
                         {KEY_PPAGE, command_page_up}, {KEY_UP, command_prev}, {'q', command_quit},
                         {'s', command_save},      {9, command_select},     {10, command_select}};
    const slots entry = {{'a', command_add_entry}, {'U', command_copy_url}, {'u', command_copy_username},
                         {'e', command_edit},     {10, command_edit},
                         {KEY_END, command_end},   {'/', command_find},     {'n', command_find_next},
                         {'N', command_find_previous},
                         {9, command_groups},      {KEY_HOME, command_home}, {KEY_DOWN, command_next},
                         {'o', command_open},      {KEY_NPAGE, command_page_down}, {KEY_PPAGE, command_page_up},
                         {KEY_UP, command_prev},   {'q', command_quit},     {32, command_reveal},
                         {'r', command_reveal},    {'s', command_save},     {'w', command_save_attachment},
                         {'v', command_view},      {'x', command_xclip}};
    EXPECT_EQ(slots_of(group_keymap), group);
    EXPECT_EQ(slots_of(entry_keymap), entry);
    std::free(group_keymap);
    std::free(entry_keymap);
}

TEST(keymaps, commands_are_distinct_names) {
    const char* const all[] = {command_open,   command_save, command_add_group, command_add_entry,
                               command_select, command_groups, command_edit,    command_quit,
                               command_reveal, command_prev, command_next,      command_xclip,
                               command_page_down, command_page_up, command_home, command_end,
                               command_find, command_find_next, command_find_previous, command_view,
                               command_save_attachment, command_copy_username, command_copy_url};
    const char* const names[] = {"open",  "save",   "add-group", "add-entry", "select", "groups",
                                 "edit",  "quit",   "reveal",    "prev",      "next",   "xclip",
                                 "page-down", "page-up", "home", "end", "find", "find-next",
                                 "find-previous", "view", "save-attachment", "copy-username", "copy-url"};
    for (int i = 0; i < 23; ++i) {
        EXPECT_STREQ(all[i], names[i]);
        for (int j = 0; j < i; ++j) EXPECT_NE(all[i], all[j]);
    }
}

TEST(bind_key, inserts_after_equal_and_smaller_names) {
    key_binding* keymap = new_keymap();
    EXPECT_TRUE(slots_of(keymap).empty());
    const char b[] = "b";
    const char a[] = "a";
    const char c[] = "c";
    bind_key(&keymap, 'x', b);
    bind_key(&keymap, 'y', a);
    bind_key(&keymap, 'z', b);
    bind_key(&keymap, 'w', a);
    bind_key(&keymap, 'v', c);
    bind_key(&keymap, 'u', a);
    EXPECT_EQ(slots_of(keymap), (slots{{'y', a}, {'w', a}, {'u', a}, {'x', b}, {'z', b}, {'v', c}}));
    std::free(keymap);
}

TEST(bind_key, rebinding_changes_only_that_slot) {
    key_binding* keymap = new_keymap();
    bind_key(&keymap, 'e', command_edit);
    bind_key(&keymap, 'o', command_open);
    bind_key(&keymap, 'q', command_quit);
    key_binding* before = keymap;
    bind_key(&keymap, 'e', command_xclip);
    EXPECT_EQ(keymap, before);  // nothing allocated
    EXPECT_EQ(slots_of(keymap), (slots{{'e', command_xclip}, {'o', command_open}, {'q', command_quit}}));
    // Key 0 ends a map and is never bound.
    bind_key(&keymap, 0, command_save);
    EXPECT_EQ(slots_of(keymap).size(), 3u);
    std::free(keymap);
}

TEST(lookup_key, finds_the_command_by_identity) {
    init_keymaps();
    EXPECT_EQ(lookup_key(group_keymap, 10), command_select);
    EXPECT_EQ(lookup_key(entry_keymap, 10), command_edit);
    EXPECT_EQ(lookup_key(entry_keymap, KEY_UP), command_prev);
    EXPECT_EQ(lookup_key(group_keymap, 'x'), nullptr);
    EXPECT_EQ(lookup_key(entry_keymap, 'z'), nullptr);
    EXPECT_EQ(lookup_key(entry_keymap, 0), nullptr);
    EXPECT_EQ(lookup_key(entry_keymap, ERR), nullptr);
    EXPECT_EQ(lookup_key(nullptr, 'q'), nullptr);

    // A command with the same text at another address is another command.
    key_binding* keymap = new_keymap();
    static const char other_edit[] = "edit";
    bind_key(&keymap, 'e', other_edit);
    EXPECT_EQ(lookup_key(keymap, 'e'), other_edit);
    EXPECT_NE(lookup_key(keymap, 'e'), command_edit);
    EXPECT_EQ(lookup_key(keymap, 0), nullptr);
    std::free(keymap);
    std::free(group_keymap);
    std::free(entry_keymap);
}
