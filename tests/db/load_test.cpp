#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "db/load.h"
#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"
#include "support/virtual_terminal.h"

namespace {

int open_descriptors() {
    int n = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir)) ++n;
    closedir(dir);
    return n;
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kdbrowse-load-XXXXXX";
        dir_ = mkdtemp(pattern);
        db_ = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)));
    }
    void TearDown() override {
        std::free(db_);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string write_text(const std::string& name, const std::string& text) {
        std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string write_database(const std::string& password) {
        kdb_write_options options;
        options.rounds = 10;
        kdb_group_spec group;
        group.id = 1;
        group.name = "g";
        kdb_entry_spec entry;
        entry.group_id = 1;
        entry.title = "t";
        std::string path = dir_ + "/db.kdb";
        EXPECT_TRUE(kdb_save(path, kdb_write(options, {group}, {entry}, password)));
        return path;
    }
    std::string dir_;
    kpass_db* db_ = nullptr;
};

TEST_F(LoadTest, WhatIsNotARegularReadableFileGivesItsErrorNumber) {
    int before = open_descriptors();
    EXPECT_EQ(load_database_file(db_, (dir_ + "/missing.kdb").c_str()), ENOENT);
    EXPECT_GT(load_database_file(db_, write_text("empty.kdb", "").c_str()), 0);
    EXPECT_GT(load_database_file(db_, dir_.c_str()), 0);
    EXPECT_GT(load_database_file(db_, "/dev/null"), 0);
    // A FIFO nobody writes to must not block the program.
    std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_GT(load_database_file(db_, fifo.c_str()), 0);
    EXPECT_EQ(open_descriptors(), before);
}

TEST_F(LoadTest, TheLibraryRefusingTheBytesGivesMinusOne) {
    int before = open_descriptors();
    EXPECT_EQ(load_database_file(db_, write_text("notes.txt", std::string(400, 'x')).c_str()), -1);
    EXPECT_EQ(open_descriptors(), before);
}

TEST_F(LoadTest, ADatabaseIsAcceptedAndNothingOfTheFileStaysOpen) {
    std::string path = write_database("pw");
    int before = open_descriptors();
    ASSERT_EQ(load_database_file(db_, path.c_str()), 0);
    EXPECT_EQ(open_descriptors(), before);
    kpass_free_db(db_);
    // The storage takes a second load after its release.
    ASSERT_EQ(load_database_file(db_, path.c_str()), 0);
    kpass_free_db(db_);
}

// open_database talks to the user: its dialogs read the keys typed here.
class OpenDatabaseTest : public LoadTest {
protected:
    // The next key typed after the ones open_database should consume: it is
    // still waiting when open_database took no more than it should.
    int next_key() {
        nodelay(stdscr, TRUE);
        return wgetch(stdscr);
    }
    virtual_terminal terminal_{24, 80};
};

TEST_F(OpenDatabaseTest, TheRightPasswordUnlocks) {
    std::string path = write_database("pw");
    terminal_.type("pw\r#");
    ASSERT_EQ(open_database(db_, path.c_str()), 0);
    EXPECT_EQ(db_->group_count, 1u);
    EXPECT_STREQ(db_->entries[0]->title, "t");
    EXPECT_EQ(next_key(), '#');
    kpass_free_db(db_);
}

TEST_F(OpenDatabaseTest, WrongPasswordsAreRetriedUntilTheRightOne) {
    std::string path = write_database("right");
    // Each wrong password brings a message box, closed with Enter.
    terminal_.type("wrong1\r\rwrong2\r\r\r\rright\r#");
    ASSERT_EQ(open_database(db_, path.c_str()), 0);
    EXPECT_EQ(next_key(), '#');
    kpass_free_db(db_);
}

TEST_F(OpenDatabaseTest, TheEmptyPasswordIsTriedLikeAnyOther) {
    std::string path = write_database("");
    terminal_.type("\r#");
    ASSERT_EQ(open_database(db_, path.c_str()), 0);
    EXPECT_EQ(next_key(), '#');
    kpass_free_db(db_);
}

TEST_F(OpenDatabaseTest, CancellingThePromptLeavesTheRecordLoadedAndLocked) {
    std::string path = write_database("pw");
    terminal_.type("abc\t\t\r#");  // Tab to "[OK]", Tab to "[CANCEL]", Enter
    ASSERT_EQ(open_database(db_, path.c_str()), -1);
    EXPECT_EQ(next_key(), '#');  // no message box took a key
    kpass_free_db(db_);
}

TEST_F(OpenDatabaseTest, CancellingAfterAWrongPassword) {
    std::string path = write_database("pw");
    terminal_.type("no\r\r\t\t\r#");
    ASSERT_EQ(open_database(db_, path.c_str()), -1);
    EXPECT_EQ(next_key(), '#');
    kpass_free_db(db_);
}

TEST_F(OpenDatabaseTest, AnUnreadableFileShowsTheMessageAndNoPrompt) {
    // The only key taken is the Enter that closes "Couldn't read.".
    terminal_.type("\r#");
    EXPECT_EQ(open_database(db_, write_text("notes.txt", "hello").c_str()), 1);
    EXPECT_EQ(next_key(), '#');
    terminal_.type("\r#");
    EXPECT_EQ(open_database(db_, (dir_ + "/missing").c_str()), 1);
    EXPECT_EQ(next_key(), '#');
}

}  // namespace
