#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/app_state.h"
#include "browse_fixture.h"
#include "app/lifecycle.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"
#include "support/virtual_terminal.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kdbrowse-start-XXXXXX";
        dir_ = mkdtemp(pattern);
        kdb_write_options options;
        options.rounds = 5;
        kdb_group_spec group;
        group.id = 1;
        group.name = "g";
        path_ = dir_ + "/db.kdb";
        ASSERT_TRUE(kdb_save(path_, kdb_write(options, {group}, {}, "pw")));
        terminal_ = new virtual_terminal(24, 80);
        init_keymaps();
        app_.current_db = allocate_record();
    }
    void TearDown() override {
        release_record(app_);
        end_terminal_session(terminal_);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string dir_, path_;
    virtual_terminal* terminal_ = nullptr;
    app_state app_{};
};

TEST_F(StartupTest, TheArgumentIsOpenedAndUnlocked) {
    terminal_->type("pw\r");
    unlock_first_database(&app_, path_.c_str());
    EXPECT_TRUE(app_.current_db_loaded);
    EXPECT_EQ(app_.current_db->group_count, 1u);
    EXPECT_EQ(std::string(app_.database_path), path_);
}

TEST_F(StartupTest, EveryFailureBringsBackTheDatabaseFilePrompt) {
    // Unreadable argument, message closed; then the prompt: a path whose
    // password prompt is cancelled; the prompt again: the right file.
    terminal_->type("\r");
    terminal_->type(path_ + "\r\t\t\r");
    terminal_->type(path_ + "\rpw\r");
    unlock_first_database(&app_, (dir_ + "/missing.kdb").c_str());
    EXPECT_TRUE(app_.current_db_loaded);
    EXPECT_EQ(std::string(app_.database_path), path_);
}

TEST_F(StartupTest, AnArgumentTooLongForThePathBufferIsRefusedNotCut) {
    std::string long_argument = path_ + "/" + std::string(path_size, 'x');
    terminal_->type("\r");  // "Couldn't read."
    terminal_->type(path_ + "\rpw\r");
    unlock_first_database(&app_, long_argument.c_str());
    EXPECT_EQ(std::string(app_.database_path), path_);
    EXPECT_TRUE(app_.current_db_loaded);
}

TEST_F(StartupTest, CancellingThePathPromptExitsWithStatusZero) {
    EXPECT_EXIT(
        {
            terminal_->type("\t\t\r");
            unlock_first_database(&app_, nullptr);
        },
        ::testing::ExitedWithCode(0), "");
    // After a cancelled password prompt the record is released once only.
    EXPECT_EXIT(
        {
            terminal_->type("pw-not-typed\t\t\r\t\t\r");
            unlock_first_database(&app_, path_.c_str());
        },
        ::testing::ExitedWithCode(0), "");
}

[[gnu::noinline]] void run_out_of_memory() { throw std::bad_alloc(); }

// Memory that runs out after start-up, wherever it does, ends the program
// the one way that blanks and restores the terminal and says why.
TEST(OutOfMemory, EndsThroughTheOneExit) {
    auto started_then_out_of_memory = []() noexcept {
        setenv("TERM", "xterm", 1);
        if (std::freopen("/dev/null", "w", stdout)) start_curses();
        run_out_of_memory();
    };
    EXPECT_EXIT(started_then_out_of_memory(), ::testing::ExitedWithCode(1), "^kdbrowse: out of memory\n$");
}

}  // namespace
