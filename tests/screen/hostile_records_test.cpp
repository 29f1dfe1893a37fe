// Odd records from a real file, read by the library and drawn: a group
// level that jumps (0, then 5), texts without their terminating NUL or with
// one inside, a level so deep that the group pane is far wider than the
// screen. Each is drawn by the panes' own rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cells.h"
#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"
#include "support/virtual_terminal.h"

namespace {

std::vector<uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

void add_group(std::vector<uint8_t>& contents, uint32_t id, const std::vector<uint8_t>& name, uint16_t level) {
    kdb_add_u32(contents, kdb_group_id, id);
    kdb_add_field(contents, kdb_group_name, name);
    kdb_add_u16(contents, kdb_group_level, level);
    kdb_end_record(contents);
}

void add_entry(std::vector<uint8_t>& contents, uint32_t group_id, const std::vector<uint8_t>& title) {
    kdb_add_u32(contents, kdb_entry_group_id, group_id);
    kdb_add_field(contents, kdb_entry_title, title);
    kdb_add_text(contents, kdb_entry_username, "user");
    kdb_add_text(contents, kdb_entry_password, "pw");
    kdb_end_record(contents);
}

// The records of a file sealed around contents, unlocked.
struct opened_file {
    kpass_db db{};
    opened_file(uint32_t groups, uint32_t entries, const std::vector<uint8_t>& contents) {
        kdb_write_options options;
        options.rounds = 1;
        std::vector<uint8_t> file = kdb_seal(options, groups, entries, contents, "pw");
        uint8_t key[kpass_key_size];
        kpass_hash_pw("pw", key);
        EXPECT_EQ(kpass_init_db(&db, file.data(), static_cast<int>(file.size())), 0);
        EXPECT_EQ(kpass_decrypt_db(&db, key), 0);
    }
    ~opened_file() { kpass_free_db(&db); }
};

TEST(hostile_records, a_level_jump_and_texts_without_or_with_a_nul_are_drawn_by_the_usual_rules) {
    std::vector<uint8_t> contents;
    add_group(contents, 1, bytes(std::string_view("top\0", 4)), 0);
    add_group(contents, 2, bytes(std::string_view("deep\0", 5)), 5);
    add_group(contents, 3, bytes("abc"), 0);                            // no NUL at all
    add_group(contents, 4, bytes(std::string_view("ab\0cd\0", 6)), 0);  // ends at the first NUL
    add_entry(contents, 1, bytes("no-nul-title"));
    add_entry(contents, 1, bytes(std::string_view("cut\0hidden", 10)));
    opened_file file(4, 2, contents);
    ASSERT_NE(file.db.groups, nullptr);

    virtual_terminal terminal(24, 80);
    // The widest indented name: "deep" at level 5, 4 + 15 columns, plus 5.
    EXPECT_EQ(groups_pane_width(&file.db), 24);
    build_layout(&file.db);
    draw_groups(&file.db, 0, 0, false);
    EXPECT_TRUE(row_is(groups_list, 0, "top                 *"));
    // Level 5 right under level 0: blanks up to column 12, the corner there,
    // no vertical line joining it to the group above.
    EXPECT_TRUE(row_is(groups_list, 1, "            L->deep"));
    EXPECT_TRUE(row_is(groups_list, 2, "abc"));
    EXPECT_TRUE(row_is(groups_list, 3, "ab"));

    draw_entries(&file.db, 0, 0, 0, true, false);
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 12), "no-nul-title");
    std::string second = row_text(entries_list, 1);
    EXPECT_EQ(second.substr(0, 4), "cut ");
    EXPECT_EQ(second.find("hidden"), std::string::npos);
}

TEST(hostile_records, the_deepest_level_makes_a_pane_wider_than_the_screen_and_nothing_breaks) {
    std::vector<uint8_t> contents;
    add_group(contents, 1, bytes(std::string_view("top\0", 4)), 0);
    add_group(contents, 2, bytes(std::string_view("abyss\0", 6)), 0xFFFF);
    add_group(contents, 3, bytes(std::string_view("back\0", 5)), 0);
    add_entry(contents, 1, bytes(std::string_view("title\0", 6)));
    opened_file file(3, 1, contents);
    ASSERT_NE(file.db.groups, nullptr);

    virtual_terminal terminal(24, 80);
    EXPECT_EQ(groups_pane_width(&file.db), 5 + 3 * 0xFFFF + 5);
    build_layout(&file.db);
    // The group pane is cut at the screen's edge; the entry pane is absent.
    EXPECT_EQ(entries_list, nullptr);
    ASSERT_NE(groups_list, nullptr);
    for (int cursor = 0; cursor < 3; ++cursor) draw_groups(&file.db, 0, cursor, true);
    draw_entries(&file.db, 0, 0, 0, true, true);
    EXPECT_EQ(row_text(groups_list, 0).substr(0, 4), "top ");
    EXPECT_EQ(row_text(groups_list, 2).substr(0, 5), "back ");
    // The deep group's row holds blanks as far as the screen shows.
    EXPECT_EQ(row_text(groups_list, 1), std::string(getmaxx(groups_list), ' '));
}

}  // namespace
