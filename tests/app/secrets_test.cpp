// Secrets left behind: after each way a database is opened, refused,
// cancelled, switched with "open" or quit, the process's writable memory
// (heap, stacks, every other writable mapping) is searched for the master
// passwords (in every form a copy takes: bytes, UTF-16, UTF-32, curses
// cells, each also without its first two characters), the composite key
// made from it (its SHA-256), the final key and a text from the decrypted
// contents. None may be found once its use is over. And core dumps are off
// from start-up on.
//
// The searched-for values must not come from this process's own work: the
// database is written, and the keys computed, in a child process, which
// hands the values over through a pipe into a page of their own that the
// search leaves out.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/browsing_screen.h"
#include "browse_fixture.h"
#include "app/key_loop.h"
#include "app/lifecycle.h"
#include "app/switch_database.h"
#include "db/load.h"
#include "keys/keymap.h"
#include "kpass/crypto.h"
#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"
#include "screen/layout.h"
#include "support/secret_search.h"
#include "support/virtual_terminal.h"

namespace {

// The values searched for, in a page mapped for them alone.
struct secrets {
    char password[32];
    char wrong_password[32];
    char other_password[48];  // longer than the prompt's field: it grows and scrolls
    uint8_t composite[32];
    uint8_t final_key[32];
    char note[48];  // a text inside the decrypted contents
    char other_note[48];
    char entry_password[48];
    char attachment[48];  // the bytes of the first database's attachment
};

secrets* needles = nullptr;

using needle = secret;

secret text_needle(const char* name, const char* text) { return {name, text, std::strlen(text), true}; }

std::vector<needle> all_needles() {
    return {text_needle("password", needles->password),
            text_needle("wrong password", needles->wrong_password),
            text_needle("other password", needles->other_password),
            {"composite key", needles->composite, 32, false},
            {"final key", needles->final_key, 32, false},
            text_needle("decrypted note", needles->note),
            text_needle("other decrypted note", needles->other_note)};
}

std::vector<std::string> left_overs(const std::vector<needle>& wanted) { return copies_left(wanted, needles); }

std::vector<needle> except(std::vector<needle> wanted, const std::string& name) {
    std::erase_if(wanted, [&](const needle& n) { return name == n.name; });
    return wanted;
}

kdb_entry_spec entry_with_note(const char* note, const char* password = "entry password",
                               const char* attachment = "") {
    kdb_entry_spec entry;
    entry.group_id = 1;
    entry.title = "mail";
    entry.password = password;
    entry.notes = note;
    entry.binary = attachment;
    entry.description = "a.txt";
    return entry;
}

// In a child process: writes the two databases and computes the first
// one's keys, then sends the secrets over.
void write_databases(const std::string& first, const std::string& second) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    pid_t child = fork();
    if (child == 0) {
        secrets s{};
        std::strcpy(s.password, "Kv7-master-passphrase-9f3");
        std::strcpy(s.wrong_password, "Xw2-not-the-passphrase-41");
        std::strcpy(s.other_password, "Qp5-second-database-passphrase-of-40ch-7");
        std::strcpy(s.note, "N0te-from-the-decrypted-contents-5e1");
        std::strcpy(s.other_note, "Other-decrypted-n0te-from-db-two-8c4");
        std::strcpy(s.entry_password, "Ep9-password-in-the-table-3d7");
        std::strcpy(s.attachment, "Att4chment-bytes-of-the-entry-7b2");
        kdb_write_options options;
        options.rounds = 3;
        kdb_group_spec group;
        group.id = 1;
        group.name = "g";
        std::vector<uint8_t> file = kdb_write(options, {group}, {entry_with_note(s.note, s.entry_password, s.attachment)}, s.password);
        kdb_save(first, file);
        kdb_save(second, kdb_write(options, {group}, {entry_with_note(s.other_note)}, s.other_password));
        kpass_hash_pw(s.password, s.composite);
        kpass_final_key(s.composite, file.data() + kdb_offset_transform_seed, 3, file.data() + kdb_offset_master_seed,
                        s.final_key);
        ssize_t sent = write(ends[1], &s, sizeof s);
        _exit(sent == static_cast<ssize_t>(sizeof s) ? 0 : 1);
    }
    close(ends[1]);
    ASSERT_EQ(read(ends[0], needles, sizeof *needles), static_cast<ssize_t>(sizeof *needles));
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(status, 0);
}

class SecretsTest : public ::testing::Test {
protected:
    void SetUp() override {
        void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(page, MAP_FAILED);
        needles = static_cast<secrets*>(page);
        char pattern[] = "/tmp/kdbrowse-secrets-XXXXXX";
        dir_ = mkdtemp(pattern);
        first_ = dir_ + "/first.kdb";
        second_ = dir_ + "/second.kdb";
        write_databases(first_, second_);
        terminal_ = new virtual_terminal(24, 80);
        init_keymaps();
        app_.current_db = allocate_record();
    }
    void TearDown() override {
        release_record(app_);
        end_terminal_session(terminal_);
        std::system(("rm -rf '" + dir_ + "'").c_str());
        munmap(needles, 4096);
    }

    // Types text and Enter without a copy of its own.
    void type_line(const char* text) {
        terminal_->type(std::string_view(text));
        terminal_->type(keys::enter);
    }

    void unlock_first() {
        type_line(needles->password);
        unlock_first_database(&app_, first_.c_str());
        ASSERT_TRUE(app_.current_db_loaded);
        show_first_screen(&app_);
    }

    std::string dir_, first_, second_;
    virtual_terminal* terminal_ = nullptr;
    app_state app_{};
};

TEST_F(SecretsTest, WhileBrowsingOnlyTheDecryptedContentsAreInMemory) {
    unlock_first();
    EXPECT_EQ(left_overs(except(all_needles(), "decrypted note")), std::vector<std::string>{});
    EXPECT_EQ(left_overs({all_needles()[5]}).size(), 1u);  // the search does find what is there
    kpass_free_db(app_.current_db);
    app_.current_db_loaded = false;
    EXPECT_EQ(left_overs(all_needles()), std::vector<std::string>{});
}

// A password revealed in the table: once the panes are built anew (after
// "edit", "open", a failed copy) no window that showed it keeps it. Then
// the entry view, which shows it in clear with the notes, and "w" there,
// which writes the attachment to a file: once the view has closed and the
// database is released, none of the three is left.
TEST_F(SecretsTest, RebuiltPanesAndTheEntryViewLeaveNoRevealedPassword) {
    unlock_first();
    for (int key : {'\t', 'r'}) ASSERT_FALSE(handle_key(&app_, key));
    draw_browsing_screen(&app_);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    terminal_->type("rw\r\rrq");  // reveal, save (Enter, then Enter on "Saved."), reveal, leave
    ASSERT_FALSE(handle_key(&app_, 'v'));
    ASSERT_EQ(access((dir_ + "/a.txt").c_str(), F_OK), 0);
    kpass_free_db(app_.current_db);
    app_.current_db_loaded = false;
    EXPECT_EQ(left_overs({text_needle("entry password", needles->entry_password),
                          text_needle("decrypted note", needles->note), text_needle("attachment", needles->attachment)}),
              std::vector<std::string>{});
}

// The entry dialog shows the password in clear. Once it is closed, no copy
// of it stays but the form library's own: set_field_buffer converts a text
// in a buffer of curses cells that it frees unwiped, beyond the program's
// reach (found as cells without their first characters, which the
// allocator overwrote, where freed memory is kept as it was: the sanitizer
// build).
TEST_F(SecretsTest, TheEntryDialogLeavesOnlyTheFormLibrarysCopy) {
    unlock_first();
    terminal_->type("\t\t\t\t\t\t\t\t\t\t\r");  // Tab to "[OK]", Enter
    for (int key : {'\t', 'e'}) ASSERT_FALSE(handle_key(&app_, key));
    kpass_free_db(app_.current_db);
    app_.current_db_loaded = false;
    std::vector<std::string> left = left_overs({text_needle("entry password", needles->entry_password)});
    std::erase_if(left, [](const std::string& copy) { return copy.find(" as curses cells (cut) ") != std::string::npos; });
    EXPECT_EQ(left, std::vector<std::string>{});
}

TEST_F(SecretsTest, AWrongPasswordThenACancelLeaveNothing) {
    // Wrong password, "Password does not match.", then cancel; the prompt for
    // a path comes back and the right password opens the file.
    type_line(needles->wrong_password);
    terminal_->type("\r\t\t\r");
    type_line(first_.c_str());
    unlock_first();
    kpass_free_db(app_.current_db);
    app_.current_db_loaded = false;
    EXPECT_EQ(left_overs(all_needles()), std::vector<std::string>{});
}

TEST_F(SecretsTest, OpeningAnotherDatabaseLeavesNothingOfTheFirst) {
    unlock_first();
    // "open" with a wrong password, cancelled; then "open" for real.
    terminal_->type("o");
    type_line(second_.c_str());
    type_line(needles->wrong_password);
    terminal_->type("\r\t\t\r");
    ASSERT_FALSE(handle_key(&app_, read_key(&app_)));
    terminal_->type("o");
    type_line(second_.c_str());
    type_line(needles->other_password);
    ASSERT_FALSE(handle_key(&app_, read_key(&app_)));
    ASSERT_EQ(std::string(app_.database_path), second_);
    EXPECT_EQ(left_overs(except(all_needles(), "other decrypted note")), std::vector<std::string>{});
}

TEST_F(SecretsTest, QuittingLeavesNothing) {
    unlock_first();
    // shut_down ends the process; what is left is searched at exit.
    EXPECT_EXIT(
        {
            std::atexit([] {
                std::vector<std::string> found = left_overs(all_needles());
                for (const std::string& f : found) std::fprintf(stderr, "left over: %s\n", f.c_str());
                if (!found.empty()) _exit(1);
            });
            terminal_->type("q");
            if (handle_key(&app_, read_key(&app_))) shut_down(&app_);
            _exit(2);
        },
        ::testing::ExitedWithCode(0), "");
}

// Starts curses as the program does, on a terminal that writes to
// /dev/null, with core dumps allowed before; exits 0 when they are off.
[[noreturn]] void start_and_check_core_limit() {
    setenv("TERM", "xterm", 1);
    if (!std::freopen("/dev/null", "w", stdout)) _exit(3);
    struct rlimit allowed = {4096, 4096};
    setrlimit(RLIMIT_CORE, &allowed);
    start_curses();
    struct rlimit now = {1, 1};
    getrlimit(RLIMIT_CORE, &now);
    endwin();
    _exit(now.rlim_cur == 0 && now.rlim_max == 0 ? 0 : 1);
}

TEST(CoreDumps, AreOffOnceCursesIsStarted) {
    EXPECT_EXIT(start_and_check_core_limit(), ::testing::ExitedWithCode(0), "");
}

// What a reader process, of the same unprivileged user, finds when it opens
// /proc/PID/mem of a child that has (or, to show that the system would let
// it, has not) gone through the program's start-up.
enum memory_read : int { readable = 10, refused = 11, cannot_drop_privileges = 12, broken = 13 };

memory_read open_memory_of_child(bool started) {
    int ready[2], hold[2];
    if (pipe(ready) != 0 || pipe(hold) != 0) return broken;
    pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        close(hold[1]);
        if (started) start_curses();
        char byte = 1;
        if (write(ready[1], &byte, 1) != 1) _exit(1);
        ssize_t ignored = read(hold[0], &byte, 1);  // until the reader is done
        (void)ignored;
        _exit(0);
    }
    close(ready[1]);
    close(hold[0]);
    char byte = 0;
    memory_read result = broken;
    if (child > 0 && read(ready[0], &byte, 1) == 1) {
        int fd = open(("/proc/" + std::to_string(child) + "/mem").c_str(), O_RDONLY);
        result = fd >= 0 ? readable : (errno == EACCES || errno == EPERM) ? refused : broken;
        if (fd >= 0) close(fd);
    }
    close(ready[0]);
    close(hold[1]);
    if (child > 0) waitpid(child, nullptr, 0);
    return result;
}

// Runs as an unprivileged user (nobody, when the test runs as root), as a
// user's other programs would; exits with the memory_read of a started
// child, or why it could not tell.
[[noreturn]] void read_memory_as_the_same_user() {
    setenv("TERM", "xterm", 1);
    if (!std::freopen("/dev/null", "w", stdout)) _exit(broken);
    if (getuid() == 0) {
        const uid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0) _exit(cannot_drop_privileges);
        prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);  // changing the user made this process undumpable
    }
    if (open_memory_of_child(false) != readable) _exit(broken);
    _exit(open_memory_of_child(true));
}

TEST(ProcessMemory, IsClosedToOtherProcessesOfTheSameUser) {
    pid_t reader = fork();
    if (reader == 0) read_memory_as_the_same_user();
    int status = 0;
    ASSERT_EQ(waitpid(reader, &status, 0), reader);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == cannot_drop_privileges) GTEST_SKIP() << "cannot run as an unprivileged user here";
    if (WEXITSTATUS(status) == broken)
        GTEST_SKIP() << "this system lets no process read another's memory, or the check itself failed";
    EXPECT_EQ(WEXITSTATUS(status), refused) << "another process of the same user could open /proc/PID/mem";
}

}  // namespace
