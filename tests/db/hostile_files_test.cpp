// Files from elsewhere, opened the way the program opens them: through
// open_database, with the password typed into its prompt. Each one is
// refused cleanly, with "Couldn't read." (the file cannot be loaded, or the
// contents behind a key that matched do not parse) or "Password does not
// match." (it loads, but nothing unlocks it), and with no
// block allocated from a count in the header; or it opens as KeePass 1.x
// would open it.
//
// What the user saw is told from the keys the dialogs took: the keys typed
// are the password, Enter, Enter, Tab, Tab, Enter and a marker. A file that
// cannot be loaded shows "Couldn't read.", which drops the password and
// closes on the first Enter (result 1). A file that loads takes the
// password; a refusal shows "Password does not match." (closed by the second
// Enter), and the prompt that follows is cancelled with Tab Tab Enter
// (result -1, the marker next). A file that unlocks returns 0 at once.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "db/load.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "kpass/writer/kdb_writer.h"
#include "support/virtual_terminal.h"

namespace {

enum class seen { couldnt_read, password_does_not_match, opened, something_else };

size_t largest_secure_block = 0;
void note_block(const void*, size_t size) { largest_secure_block = std::max(largest_secure_block, size); }

class HostileFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kdbrowse-hostile-XXXXXX";
        dir_ = mkdtemp(pattern);
        db_ = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)));
        largest_secure_block = 0;
        kpass_release_hook = note_block;
        blocks_before_ = kpass_secure_blocks_in_use();
    }
    void TearDown() override {
        kpass_release_hook = nullptr;
        std::free(db_);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    std::string save(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = dir_ + "/" + name;
        EXPECT_TRUE(kdb_save(path, bytes));
        return path;
    }

    // Opens path as the program does, typing password; the record is
    // released again afterwards, whatever happened.
    seen open_with(const std::string& path, const std::string& password) {
        terminal_.type(password + "\r\r\t\t\r#");
        int result = open_database(db_, path.c_str());
        if (result != 1) kpass_free_db(db_);
        // What the dialogs left of the typed keys.
        nodelay(stdscr, TRUE);
        std::string left;
        for (int key; (key = wgetch(stdscr)) != ERR;) left += static_cast<char>(key);
        nodelay(stdscr, FALSE);
        EXPECT_EQ(kpass_secure_blocks_in_use(), blocks_before_) << "a secure block outlived the record";
        if (result == 1) return seen::couldnt_read;
        if (result == -1 && left == "#") return seen::password_does_not_match;
        if (result == 0 && left == "\n\t\t\n#") return seen::opened;
        return seen::something_else;
    }

    // A sealed file of one group whose contents are given as they are.
    std::string sealed(const std::string& name, uint32_t groups, uint32_t entries,
                       const std::vector<uint8_t>& contents, uint32_t rounds = 3) {
        kdb_write_options options;
        options.rounds = rounds;
        return save(name, kdb_seal(options, groups, entries, contents, "pw"));
    }

    std::string dir_;
    kpass_db* db_ = nullptr;
    size_t blocks_before_ = 0;
    virtual_terminal terminal_{24, 80};
};

std::vector<uint8_t> one_group_contents(const std::vector<uint8_t>& name_bytes = {'g', 0}) {
    std::vector<uint8_t> contents;
    kdb_add_u32(contents, kdb_group_id, 1);
    kdb_add_field(contents, kdb_group_name, name_bytes);
    kdb_end_record(contents);
    return contents;
}

TEST_F(HostileFilesTest, CountsFarBeyondTheContentsAreRefusedWithoutAllocatingFromThem) {
    std::vector<uint8_t> contents = one_group_contents();
    for (uint32_t groups : {0xFFFFFFFFu, 0x80000000u, 0x10000000u, 2u}) {
        SCOPED_TRACE(groups);
        EXPECT_EQ(open_with(sealed("counts.kdb", groups, 0, contents), "pw"), seen::couldnt_read);
    }
    EXPECT_EQ(open_with(sealed("entries.kdb", 1, 0xFFFFFFFFu, contents), "pw"), seen::couldnt_read);
    // The largest block is the copy of the file or its decrypted contents.
    EXPECT_LE(largest_secure_block, 4096u);
}

TEST_F(HostileFilesTest, AFieldSizeOf0xFFFFFFFFIsRefusedWithoutAllocatingFromIt) {
    for (uint16_t type : {kdb_group_name, kdb_group_id, uint16_t{0x1234}, kdb_end_field}) {
        SCOPED_TRACE(type);
        std::vector<uint8_t> contents;
        kdb_add_u32(contents, kdb_group_id, 1);
        kdb_add_field_sized(contents, type, 0xFFFFFFFFu, {'a', 'b', 'c', 0});
        kdb_end_record(contents);
        EXPECT_EQ(open_with(sealed("field.kdb", 1, 0, contents), "pw"), seen::couldnt_read);
    }
    // The same in an entry's text and attachment.
    for (uint16_t type : {kdb_entry_title, kdb_entry_binary}) {
        std::vector<uint8_t> contents = one_group_contents();
        kdb_add_u32(contents, kdb_entry_group_id, 1);
        kdb_add_field_sized(contents, type, 0xFFFFFFFFu, {'x'});
        kdb_end_record(contents);
        EXPECT_EQ(open_with(sealed("entry.kdb", 1, 1, contents), "pw"), seen::couldnt_read);
    }
    EXPECT_LE(largest_secure_block, 4096u);
}

TEST_F(HostileFilesTest, WhatIsNotARegularFileCannotBeRead) {
    std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(open_with(fifo, "pw"), seen::couldnt_read);
    // A FIFO that a writer holds open, with a whole database waiting in it.
    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    kdb_write_options options;
    options.rounds = 1;
    std::vector<uint8_t> database = kdb_write(options, {}, {}, "pw");
    ASSERT_EQ(write(writer, database.data(), database.size()), static_cast<ssize_t>(database.size()));
    EXPECT_EQ(open_with(fifo, "pw"), seen::couldnt_read);
    close(writer);
    close(reader);

    EXPECT_EQ(open_with("/dev/zero", "pw"), seen::couldnt_read);
    EXPECT_EQ(open_with("/dev/null", "pw"), seen::couldnt_read);
    EXPECT_EQ(open_with("/dev/urandom", "pw"), seen::couldnt_read);
    EXPECT_EQ(open_with(dir_, "pw"), seen::couldnt_read);
    EXPECT_EQ(open_with("/", "pw"), seen::couldnt_read);
    // /proc files are regular but say they are empty.
    EXPECT_EQ(open_with("/proc/self/status", "pw"), seen::couldnt_read);
}

TEST_F(HostileFilesTest, SymbolicLinkLoopsAndDanglingLinksCannotBeRead) {
    std::string a = dir_ + "/a.kdb", b = dir_ + "/b.kdb", self = dir_ + "/self.kdb";
    ASSERT_EQ(symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(symlink(a.c_str(), b.c_str()), 0);
    ASSERT_EQ(symlink(self.c_str(), self.c_str()), 0);
    EXPECT_EQ(open_with(a, "pw"), seen::couldnt_read);
    EXPECT_EQ(open_with(self, "pw"), seen::couldnt_read);
    EXPECT_EQ(load_database_file(db_, a.c_str()), ELOOP);
    std::string dangling = dir_ + "/dangling.kdb";
    ASSERT_EQ(symlink((dir_ + "/nowhere").c_str(), dangling.c_str()), 0);
    EXPECT_EQ(open_with(dangling, "pw"), seen::couldnt_read);
    // A link to a database is followed.
    std::string real = sealed("real.kdb", 1, 0, one_group_contents());
    std::string link = dir_ + "/link.kdb";
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    EXPECT_EQ(open_with(link, "pw"), seen::opened);
}

TEST_F(HostileFilesTest, DamagedHeadersAndLengthsCannotBeRead) {
    kdb_write_options options;
    options.rounds = 1;
    std::vector<uint8_t> good = kdb_write(options, {}, {}, "pw");
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    EXPECT_EQ(open_with(save("cut.kdb", cut), "pw"), seen::couldnt_read);
    std::vector<uint8_t> header_only(good.begin(), good.begin() + kdb_header_size);
    EXPECT_EQ(open_with(save("header.kdb", header_only), "pw"), seen::couldnt_read);
    std::vector<uint8_t> bad_flags = good;
    kdb_set_u32(bad_flags, kdb_offset_flags, kpass_flag_arc4);
    EXPECT_EQ(open_with(save("arc4.kdb", bad_flags), "pw"), seen::couldnt_read);
    std::vector<uint8_t> bad_version = good;
    kdb_set_u32(bad_version, kdb_offset_version, 0xFFFFFFFF);
    EXPECT_EQ(open_with(save("version.kdb", bad_version), "pw"), seen::couldnt_read);
    EXPECT_EQ(open_with(save("empty.kdb", {}), "pw"), seen::couldnt_read);
}

TEST_F(HostileFilesTest, ZeroRoundsOpens) {
    EXPECT_EQ(open_with(sealed("zero.kdb", 1, 0, one_group_contents(), 0), "pw"), seen::opened);
    EXPECT_EQ(open_with(sealed("zero.kdb", 1, 0, one_group_contents(), 0), "other"), seen::password_does_not_match);
}

TEST_F(HostileFilesTest, TextsWithoutTheirNulOrWithOneInsideOpen) {
    std::string path = sealed("texts.kdb", 1, 0, one_group_contents({'a', 'b', 'c'}));
    terminal_.type("pw\r");
    ASSERT_EQ(open_database(db_, path.c_str()), 0);
    EXPECT_STREQ(db_->groups[0]->name, "abc");
    kpass_free_db(db_);
    path = sealed("nul.kdb", 1, 0, one_group_contents({'a', 'b', 0, 'c', 'd', 0}));
    terminal_.type("pw\r");
    ASSERT_EQ(open_database(db_, path.c_str()), 0);
    EXPECT_STREQ(db_->groups[0]->name, "ab");
    kpass_free_db(db_);
}

// True when process pid has target open or mapped.
bool holds_file(pid_t pid, const std::string& target) {
    std::string proc = "/proc/" + std::to_string(pid);
    if (DIR* fds = opendir((proc + "/fd").c_str())) {
        bool open = false;
        while (dirent* fd = readdir(fds)) {
            char link[4096];
            ssize_t n = readlink((proc + "/fd/" + fd->d_name).c_str(), link, sizeof link - 1);
            if (n > 0 && std::string(link, static_cast<size_t>(n)) == target) open = true;
        }
        closedir(fds);
        if (open) return true;
    }
    FILE* maps = std::fopen((proc + "/maps").c_str(), "r");
    if (maps == nullptr) return false;
    bool mapped = false;
    char line[4096];
    while (std::fgets(line, sizeof line, maps))
        if (std::strstr(line, target.c_str())) mapped = true;
    std::fclose(maps);
    return mapped;
}

// A file cut short while it is being loaded: the bytes past its new end can
// no longer be read, and reading a mapping of them raises SIGBUS. A child
// process truncates the file as soon as the test process has it open or
// mapped, while 64 MB of it are being copied. Whatever the timing, the
// load accepts the bytes, refuses them or fails with an error number, and
// the process lives on.
TEST_F(HostileFilesTest, AFileShrunkWhileItIsLoadedIsRefusedNotFatal) {
    std::string path = dir_ + "/shrinking.kdb";
    std::vector<uint8_t> file(kdb_header_size, 0);
    kdb_set_u32(file, kdb_offset_signature_1, kdb_signature_1);
    kdb_set_u32(file, kdb_offset_signature_2, kdb_signature_2);
    kdb_set_u32(file, kdb_offset_flags, kpass_flag_sha2 | kpass_flag_aes);
    kdb_set_u32(file, kdb_offset_version, 0x00030004);
    file.resize(kdb_header_size + (64u << 20), 0x5A);
    ASSERT_TRUE(kdb_save(path, file));
    EXPECT_EXIT(
        {
            pid_t parent = getpid();
            pid_t watcher = fork();
            if (watcher == 0) {
                for (int i = 0; i < 200000; ++i) {
                    if (holds_file(parent, path)) {
                        _exit(truncate(path.c_str(), kdb_header_size + 16) == 0 ? 0 : 1);
                    }
                }
                _exit(1);
            }
            int shrunk = 0;
            for (int attempt = 0; attempt < 50 && !shrunk; ++attempt) {
                int result = load_database_file(db_, path.c_str());
                if (result == 0) kpass_free_db(db_);
                struct stat st;
                shrunk = stat(path.c_str(), &st) == 0 && st.st_size < (1 << 20);
            }
            int status = 0;
            waitpid(watcher, &status, 0);
            std::exit(shrunk ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
