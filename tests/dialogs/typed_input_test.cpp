// What the prompts hand back is what was typed, byte for byte: UTF-8
// characters in a UTF-8 locale, bytes in the "C" locale, trailing blanks of
// a password, across resizes that make the dialog anew; and the typed
// password leaves no copy behind in any form.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <string>

#include "dialogs/prompts.h"
#include "key_probe.h"
#include "kpass/secret_bytes.h"
#include "support/secret_search.h"
#include "support/virtual_terminal.h"

namespace {

enum class which { password, path };

struct typing_case {
    const char* name;
    const char* ctype;
    which prompt;
    int size;
    std::string keys;
    std::string handed_back;
    std::string field_shows;  // the path field's first cells afterwards ("" for the password)
};

int ask(which prompt, char* buffer, int size) {
    return prompt == which::password ? prompt_password(buffer, size) : prompt_database_path(buffer, size);
}

TEST(prompts, hand_back_what_was_typed) {
    const std::string bs = "\b", del = "\x7f";
    const typing_case cases[] = {
        {"2-, 3- and 4-byte characters", "C.UTF-8", which::password, 256, "p\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80",
         "p\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80", ""},
        {"the path shows narrow characters, '?' for wide ones and marks", "C.UTF-8", which::path, 2048,
         "\xc3\xa4\xe2\x82\xac\xe4\xb8\xad" "e\xcc\x81" "x", "\xc3\xa4\xe2\x82\xac\xe4\xb8\xad" "e\xcc\x81" "x",
         "\xc3\xa4\xe2\x82\xac?e?x"},
        {"a character that does not fit whole is not taken", "C.UTF-8", which::path, 6, "a\xc3\xa9\xe2\x82\xac" "b",
         "a\xc3\xa9" "b", "a\xc3\xa9" "b"},
        {"invalid bytes are dropped", "C.UTF-8", which::path, 2048, "a\xe4" "b\x80\xc3" "\xe2\x82\xac",
         "ab\xe2\x82\xac", "ab\xe2\x82\xac"},
        {"the C locale takes bytes as bytes", "C", which::path, 2048, "ab\xe4" "c\xf6" "d", "ab\xe4" "c\xf6" "d",
         "ab?c?d"},
        {"a Latin-1 password in the C locale", "C", which::password, 256, "\xf6\xe4\xfc\xdf", "\xf6\xe4\xfc\xdf", ""},
        {"a password keeps its trailing blanks", "C", which::password, 256, "secret  ", "secret  ", ""},
        {"a path loses them", "C", which::path, 2048, "x.kdb  ", "x.kdb", "x.kdb"},
        {"Tab around: on after a blank", "C", which::password, 256, "trail \t\t\tpass ", "trail pass ", ""},
        {"Tab around: DEL the last blank", "C", which::password, 256, "trail \t\t\t" + del + "X", "trailX", ""},
        {"^H and DEL delete", "C", which::path, 2048, "abc" + bs + "d" + del + "e", "abe", "abe"},
        {"^H deletes a whole character", "C.UTF-8", which::password, 256, "a\xe2\x82\xac" + bs + "b", "ab", ""},
        {"typing at the first position inserts", "C", which::path, 2048, "bc\t\t\t\033OD\033OD" "a", "abc", "abc"},
        {"Right stops at the end of the text", "C", which::password, 256, "ab\033OC\033OC" "c", "abc", ""},
        {"Left and Right step over whole characters", "C.UTF-8", which::path, 2048,
         "\xc3\xa4\xe4\xb8\xad\033OD\033OD" "x\033OC" "y", "x\xc3\xa4y\xe4\xb8\xad", "x\xc3\xa4y?"},
    };
    for (const typing_case& c : cases) {
        SCOPED_TRACE(c.name);
        virtual_terminal vt(24, 80, c.ctype);
        vt.type(c.keys);
        vt.type(keys::enter);
        std::string buffer(static_cast<size_t>(c.size), 'Z');
        ASSERT_EQ(ask(c.prompt, buffer.data(), c.size), 0);
        EXPECT_EQ(std::string(buffer.c_str()), c.handed_back);
        if (c.prompt == which::path) {
            // The dialog's picture stays on the screen once it has closed.
            EXPECT_EQ(cells_text(curscr, 10, 16, 14), "Database File:");
            EXPECT_EQ(cells_text(curscr, 10, 31, static_cast<int>(c.field_shows.size())).substr(0, c.field_shows.size()),
                      c.field_shows);
        }
    }
}

// The dialog is made anew when the terminal shrinks below it: what was
// typed before, the cursor's place and what the field shows stay.
TEST(prompts, typed_text_and_cursor_survive_a_resize) {
    for (which prompt : {which::path, which::password}) {
        key_reads.clear();
        virtual_terminal vt(24, 80);
        before_key_read = [&vt](int read_index) {
            if (read_index == 10) vt.resize(12, 60);
            if (read_index == 12) vt.resize(24, 80);
        };
        vt.type("tree.kdb\033OD\033OD\033OD\033OD");  // 8 keys, then 4 Lefts: reads 0 to 11
        vt.type("X");
        vt.type(keys::enter);
        char buffer[2048];
        ASSERT_EQ(ask(prompt, buffer, prompt == which::path ? 2048 : 256), 0);
        EXPECT_STREQ(buffer, "treeX.kdb");
        ASSERT_EQ(key_reads.at(10).key, KEY_RESIZE);
        if (prompt == which::path) {
            // Read 11 waits in the dialog made anew on the 12 x 60 screen,
            // two of the four Lefts read.
            const key_read& after = key_reads.at(11);
            EXPECT_EQ(after.top, 2);
            EXPECT_EQ(snapshot_text(after, 4, after.left + 17, 9), "tree.kdb ");
            EXPECT_EQ(after.cursor_row, 4);
            EXPECT_EQ(after.cursor_col, after.left + 17 + 6);
        }
    }
}

// The typed password, searched for in every form a copy of it takes, once
// the prompt has closed: confirmed (with a resize in between), cancelled,
// and at the end of the terminal's input. The registers are searched too,
// as a signal frame saves them right after the prompt: a string function
// that copied the password through a vector register leaves it there, and
// the frame of the next signal, or of the next lazy binding, keeps it.
TEST(prompt_password, leaves_no_copy_of_the_typed_text) {
    auto* page = static_cast<char*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(page, MAP_FAILED);
    char* typed = page;
    char* handed_back = page + 1024;
    static constexpr char password[] = "Hz4-typed-passphrase-longer-than-its-field-31";  // read-only: never searched
    kpass_copy_secret(typed, password, sizeof password);  // the test's own copy leaves none in a register
    const std::vector<secret> wanted = {{"typed password", typed, sizeof password - 1, true}};
    enum class ending { confirmed, cancelled, input_ended };
    register_frames frames;  // before the prompt: setting it up overwrites registers
    for (ending how : {ending::confirmed, ending::cancelled, ending::input_ended}) {
        SCOPED_TRACE(static_cast<int>(how));
        virtual_terminal vt(24, 80);
        before_key_read = [&vt](int read_index) {
            if (read_index == 20) vt.resize(12, 60);
        };
        vt.type(std::string_view(typed));
        if (how == ending::input_ended)
            vt.close_input();
        else
            vt.type(how == ending::confirmed ? "\r" : "\t\t\r");
        const int result = prompt_password(handed_back, 256);
        frames.save();
        EXPECT_EQ(copies_left(wanted, page), std::vector<std::string>{});
        EXPECT_EQ(result, how == ending::confirmed ? 0 : 1);
        // Compared without vector registers too: the C library's strcmp
        // may leave the password in one for the next case to find.
        EXPECT_EQ(kpass_secrets_equal(handed_back, typed, sizeof password), how == ending::confirmed);
        explicit_bzero(handed_back, 256);
    }
    munmap(page, 4096);
}

}  // namespace
