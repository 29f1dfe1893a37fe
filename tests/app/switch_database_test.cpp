#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "browse_fixture.h"
#include "app/key_loop.h"
#include "app/lifecycle.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"
#include "screen/layout.h"
#include "support/virtual_terminal.h"

namespace {

// Two databases on disk, the first one open and shown; "open" is typed into
// the virtual terminal as a user would. Run under AddressSanitizer, these
// tests also prove that every record is released and freed exactly once.
class SwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kdbrowse-switch-XXXXXX";
        dir_ = mkdtemp(pattern);
        first_ = write("first.kdb", "one", "alpha", 3);
        second_ = write("second.kdb", "two", "beta", 2);
        terminal_ = new virtual_terminal(24, 100);
        init_keymaps();
        app_.current_db = load(first_, "one");
        app_.current_db_loaded = true;
        std::strcpy(app_.database_path, first_.c_str());
        show_first_screen(&app_);
    }
    void TearDown() override {
        release_record(app_);
        end_terminal_session(terminal_);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    std::string write(const std::string& name, const std::string& password, const std::string& group_name,
                      int groups) {
        kdb_write_options options;
        options.rounds = 5;
        std::vector<kdb_group_spec> group_list;
        std::vector<kdb_entry_spec> entries;
        for (int i = 0; i < groups; ++i) {
            kdb_group_spec g;
            g.id = static_cast<uint32_t>(i + 1);
            g.name = group_name + std::to_string(i);
            group_list.push_back(g);
            for (int j = 0; j < 3; ++j) {
                kdb_entry_spec e;
                e.group_id = g.id;
                e.title = g.name + "-entry" + std::to_string(j);
                e.password = "secret" + std::to_string(j);
                entries.push_back(e);
            }
        }
        std::string path = dir_ + "/" + name;
        EXPECT_TRUE(kdb_save(path, kdb_write(options, group_list, entries, password)));
        return path;
    }

    kpass_db* load(const std::string& path, const char* password) {
        kpass_db* db = allocate_record();
        std::vector<uint8_t> bytes;
        FILE* f = fopen(path.c_str(), "rb");
        for (int c; (c = fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
        fclose(f);
        EXPECT_EQ(kpass_init_db(db, bytes.data(), static_cast<int>(bytes.size())), 0);
        uint8_t key[kpass_key_size];
        kpass_hash_pw(password, key);
        EXPECT_EQ(kpass_decrypt_db(db, key), 0);
        return db;
    }

    void press(int key) { handle_key(&app_, key); }
    std::string title() { return screen_row(0).substr(0, 60); }
    std::string padded(const std::string& text) { return (text + std::string(60, ' ')).substr(0, 60); }
    bool table_highlighted(int row) { return cell_attrs(entries_list, row, 0) & A_REVERSE; }
    bool tree_highlighted(int row) { return cell_attrs(groups_list, row, 0) & A_REVERSE; }

    // Moves into the table of the second group, onto its third entry, and
    // reveals its password.
    void into_table() {
        press(KEY_DOWN);
        press('\t');
        press(KEY_DOWN);
        press(KEY_DOWN);
        press('r');
        ASSERT_EQ(row_text(entries_list, 2).substr(42, 7), "secret2");
    }

    std::string dir_, first_, second_;
    virtual_terminal* terminal_ = nullptr;
    app_state app_{};
};

TEST_F(SwitchTest, CancelledInTheTreeChangesNothing) {
    press(KEY_DOWN);
    kpass_db* before = app_.current_db;
    terminal_->type("\t\t\r");  // Tab to "[CANCEL]"
    press('o');
    EXPECT_EQ(app_.current_db, before);
    EXPECT_EQ(title(), padded(first_));
    EXPECT_EQ(app_.browse.focus, 0);
    EXPECT_EQ(app_.browse.group_cursor, 1);
    EXPECT_TRUE(tree_highlighted(1));
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 13), "alpha1-entry0");
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 11), "a:add-group");
}

TEST_F(SwitchTest, CancelledOrFailedInTheTableKeepsTheEntryAndMasks) {
    into_table();
    terminal_->type("\t\t\r");
    press('o');
    EXPECT_EQ(app_.browse.focus, 1);
    EXPECT_EQ(app_.browse.entry_cursor, 2);
    EXPECT_FALSE(app_.browse.reveal);
    EXPECT_TRUE(table_highlighted(2));
    EXPECT_FALSE(tree_highlighted(1));
    EXPECT_EQ(row_text(entries_list, 2).substr(42, 8), "********");
    EXPECT_EQ(title(), padded(first_));
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 11), "a:add-entry");

    // A path that cannot be read: "Couldn't read.", closed with Enter.
    press('r');
    terminal_->type(dir_ + "/missing.kdb\r\r");
    press('o');
    EXPECT_EQ(app_.browse.focus, 1);
    EXPECT_FALSE(app_.browse.reveal);
    EXPECT_EQ(row_text(entries_list, 2).substr(42, 8), "********");
    EXPECT_EQ(title(), padded(first_));

    // The password prompt cancelled after a wrong password.
    terminal_->type(second_ + "\rwrong\r\r\t\t\r");
    press('o');
    EXPECT_EQ(app_.browse.focus, 1);
    EXPECT_EQ(title(), padded(first_));
    EXPECT_EQ(app_.browse.entry_cursor, 2);
}

TEST_F(SwitchTest, UnlockedFromTheTreeReplacesTheDatabase) {
    press(KEY_DOWN);
    terminal_->type(second_ + "\rtwo\r");
    press('o');
    EXPECT_EQ(title(), padded(second_));
    EXPECT_STREQ(app_.database_path, second_.c_str());
    EXPECT_EQ(app_.browse.group_cursor, 0);
    EXPECT_EQ(app_.browse.focus, 0);
    EXPECT_TRUE(tree_highlighted(0));
    EXPECT_EQ(row_text(groups_list, 0).substr(0, 5), "beta0");
    EXPECT_EQ(row_text(entries_list, 0).substr(0, 12), "beta0-entry0");
}

TEST_F(SwitchTest, UnlockedFromTheTableGivesTheTreeFocus) {
    into_table();
    terminal_->type(second_ + "\rtwo\r");
    press('o');
    const browse_state& b = app_.browse;
    EXPECT_EQ(b.focus, 0);
    EXPECT_FALSE(b.reveal);
    EXPECT_EQ(b.group_cursor + b.group_first_row + b.shown_group + b.entry_cursor + b.entry_first_position, 0);
    EXPECT_EQ(title(), padded(second_));
    EXPECT_TRUE(tree_highlighted(0));
    EXPECT_FALSE(table_highlighted(0));
    EXPECT_EQ(row_text(help_bar, 0).substr(0, 11), "a:add-group");
    // The key loop reads from the tree again.
    EXPECT_EQ(lookup_key(group_keymap, '\n'), command_select);
}

TEST_F(SwitchTest, TheSameFileTwiceAsksForThePasswordAgain) {
    kpass_db* before = app_.current_db;
    terminal_->type(first_ + "\rone\r");
    press('o');
    EXPECT_NE(app_.current_db, before);
    EXPECT_EQ(title(), padded(first_));
    EXPECT_EQ(row_text(groups_list, 2).substr(0, 6), "alpha2");
    terminal_->type(first_ + "\rone\r");
    press('o');
    EXPECT_EQ(row_text(groups_list, 0).substr(0, 6), "alpha0");
}

TEST_F(SwitchTest, AShorterPathLeavesNoTraceOfTheLongerOne) {
    std::string shorter = dir_ + "/s.kdb";
    ASSERT_EQ(std::rename(second_.c_str(), shorter.c_str()), 0);
    terminal_->type(shorter + "\rtwo\r");
    press('o');
    EXPECT_EQ(title(), padded(shorter));
}

}  // namespace
