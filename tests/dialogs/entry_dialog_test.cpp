#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/entry_dialog.h"
#include "key_probe.h"
#include "kpass/kpass.h"
#include "support/virtual_terminal.h"

namespace {

// The dialog on a 24 x 80 screen: window 19 x 58 at (2, 11), form from (4, 13).
constexpr int form_top = 4;
constexpr int form_left = 13;
constexpr int value_col = form_left + 14;
constexpr int button_row = form_top + 14;
constexpr int ok_col = form_left + 19;
constexpr int cancel_col = form_left + 27;

const char* const labels[13] = {"uuid:", "Group:", "Image:", "Title:", "URL:",
                                "Username:", "Password:", "Description:", "ctime:",
                                "mtime:", "atime:", "etime:", "Notes:"};

void pack_time(int year, int month, int day, int hour, int minute, int second, uint8_t out[5]) {
    out[0] = static_cast<uint8_t>(year >> 6);
    out[1] = static_cast<uint8_t>(((year & 0x3f) << 2) | (month >> 2));
    out[2] = static_cast<uint8_t>(((month & 0x03) << 6) | (day << 1) | (hour >> 4));
    out[3] = static_cast<uint8_t>(((hour & 0x0f) << 4) | (minute >> 2));
    out[4] = static_cast<uint8_t>(((minute & 0x03) << 6) | second);
}

// A database of three groups (two share id 7) and one entry, built by hand.
struct sample {
    std::string group_names[3] = {"General", "Internet", "Internet again"};
    kpass_group groups[3]{};
    kpass_group* group_list[3]{};
    std::string title = "Mail", url = "https://mail.example.org", username = "alice",
                password = "s3cr3t!", description = "keys.txt", notes = "first note";
    kpass_entry entry{};
    kpass_entry* entry_list[1]{};
    kpass_db db{};

    sample() {
        uint32_t ids[3] = {1, 7, 7};
        for (int i = 0; i < 3; ++i) {
            groups[i].id = ids[i];
            groups[i].name = group_names[i].data();
            group_list[i] = &groups[i];
        }
        for (int i = 0; i < 16; ++i) entry.uuid[i] = static_cast<uint8_t>(i);
        entry.group_id = 7;
        entry.image_id = -3;
        entry.title = title.data();
        entry.url = url.data();
        entry.username = username.data();
        entry.password = password.data();
        entry.description = description.data();
        entry.notes = notes.data();
        pack_time(2020, 1, 2, 3, 4, 5, entry.ctime);
        pack_time(2021, 11, 23, 14, 15, 16, entry.mtime);
        pack_time(2022, 12, 31, 23, 59, 58, entry.atime);
        pack_time(2999, 12, 28, 23, 59, 59, entry.etime);
        entry_list[0] = &entry;
        db.group_count = 3;
        db.entry_count = 1;
        db.groups = group_list;
        db.entries = entry_list;
    }
    sample(const sample&) = delete;
    sample& operator=(const sample&) = delete;
};

std::string label_in(const key_read& read, int row) {
    return snapshot_text(read, form_top + row, form_left, static_cast<int>(std::strlen(labels[row])));
}

// The value cells of a row, without the blanks that pad the field.
std::string value_in(const key_read& read, int row) {
    std::string text = snapshot_text(read, form_top + row, value_col, 40);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// The current field of a snapshot: a value row's label by the cursor, or a
// button by its highlight; "?" when the two disagree.
std::string current_in(const key_read& read) {
    bool ok = all_have(read, button_row, ok_col, 4, A_REVERSE);
    bool cancel = all_have(read, button_row, cancel_col, 8, A_REVERSE);
    for (int row = form_top; row < button_row; ++row)
        if (!none_have(read, row, form_left, 54, A_REVERSE)) return "?";
    if (ok && !cancel && read.cursor_visible == 0) return "[OK]";
    if (cancel && !ok && read.cursor_visible == 0) return "[CANCEL]";
    if (ok || cancel || read.cursor_visible != 1) return "?";
    int row = read.cursor_row - form_top;
    if (row < 3 || row > 12 || read.cursor_col < value_col || read.cursor_col > value_col + 40)
        return "?";
    return labels[row];
}

bool printable_only(const key_read& read) {
    for (const auto& row : read.chars)
        for (chtype c : row)
            if (!(c & A_ALTCHARSET) && (c < 0x20 || c > 0x7e)) return false;
    return true;
}

TEST(entry_dialog, shows_every_row) {
    virtual_terminal vt(24, 80);
    sample s;
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
    ASSERT_EQ(key_reads.size(), 2u);
    const key_read& first = key_reads[0];
    EXPECT_EQ(first.top, 2);
    EXPECT_EQ(first.left, 11);
    EXPECT_EQ(first.height, 19);
    EXPECT_EQ(first.width, 58);

    const char* values[13] = {"000102030405060708090a0b0c0d0e0f",
                              "Internet",
                              "-3",
                              "Mail",
                              "https://mail.example.org",
                              "alice",
                              "s3cr3t!",
                              "keys.txt",
                              "2020-01-02 03:04:05",
                              "2021-11-23 14:15:16",
                              "2022-12-31 23:59:58",
                              "Never",
                              "first note"};
    for (int row = 0; row < 13; ++row) {
        EXPECT_EQ(label_in(first, row), labels[row]) << row;
        EXPECT_EQ(value_in(first, row), values[row]) << row;
        // The label stands alone at the row's start; nothing between it and the value.
        int label_end = form_left + static_cast<int>(std::strlen(labels[row]));
        EXPECT_EQ(snapshot_text(first, form_top + row, label_end, value_col - label_end),
                  std::string(value_col - label_end, ' '))
            << row;
        bool underlined = row >= 3;
        EXPECT_EQ(all_have(first, form_top + row, value_col, 40, A_UNDERLINE), underlined) << row;
        EXPECT_TRUE(none_have(first, form_top + row, form_left, 14, A_UNDERLINE)) << row;
        EXPECT_TRUE(none_have(first, form_top + row, value_col + 40, 1, A_UNDERLINE)) << row;
    }
    EXPECT_EQ(snapshot_text(first, form_top + 13, form_left, 54), std::string(54, ' '));
    EXPECT_EQ(snapshot_text(first, button_row, ok_col, 4), "[OK]");
    EXPECT_EQ(snapshot_text(first, button_row, cancel_col, 8), "[CANCEL]");
    EXPECT_EQ(snapshot_text(first, 1 + 0 + 1, 11, 58), "#" + std::string(56, '#') + "#");
    EXPECT_EQ(snapshot_text(first, 20, 11, 58), std::string(58, '#'));
    EXPECT_EQ(screen_char(2, 11), acs(ACS_ULCORNER));
    EXPECT_EQ(screen_char(20, 68), acs(ACS_LRCORNER));
    EXPECT_EQ(snapshot_text(first, 3, 11, 2), "# ");
    EXPECT_EQ(current_in(first), "Title:");
    EXPECT_EQ(first.cursor_col, value_col);  // the start of the Title value
    EXPECT_EQ(current_in(key_reads[1]), "[CANCEL]");  // KEY_UP on Title
    EXPECT_EQ(curs_set(1), 0);
}

TEST(entry_dialog, never_only_in_the_expiry_row) {
    virtual_terminal vt(24, 80);
    sample s;
    pack_time(2999, 12, 28, 23, 59, 59, s.entry.ctime);
    pack_time(2999, 12, 28, 23, 59, 59, s.entry.mtime);
    pack_time(2999, 12, 28, 23, 59, 59, s.entry.atime);
    pack_time(2999, 12, 28, 23, 59, 58, s.entry.etime);
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
    for (int row = 8; row <= 10; ++row) EXPECT_EQ(value_in(key_reads[0], row), "2999-12-28 23:59:59");
    EXPECT_EQ(value_in(key_reads[0], 11), "2999-12-28 23:59:58");
}

// Tab, KEY_DOWN and Enter move forward through the ten values and the two
// buttons; KEY_UP walks the same cycle backwards.
TEST(entry_dialog, field_cycle_both_ways) {
    virtual_terminal vt(24, 80);
    sample s;
    const std::string_view forward[] = {keys::tab, keys::down, keys::enter, keys::tab,
                                        keys::down, keys::enter, keys::tab, keys::down,
                                        keys::tab, keys::enter, keys::tab, keys::down};
    for (auto key : forward) vt.type(key);
    for (int i = 0; i < 14; ++i) vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);

    const std::vector<std::string> cycle = {"Title:", "URL:",   "Username:", "Password:",
                                            "Description:", "ctime:", "mtime:", "atime:",
                                            "etime:", "Notes:", "[OK]",   "[CANCEL]"};
    std::vector<std::string> expected;
    for (int i = 0; i <= 12; ++i) expected.push_back(cycle[i % 12]);
    for (int i = 1; i <= 14; ++i) expected.push_back(cycle[(12 - i % 12) % 12]);
    ASSERT_EQ(key_reads.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(current_in(key_reads[i]), expected[i]) << i;
    // A value becomes current with the cursor after its text.
    EXPECT_EQ(key_reads[1].cursor_col, value_col + static_cast<int>(s.url.size()));
    EXPECT_EQ(key_reads[12].cursor_col, value_col + static_cast<int>(s.title.size()));
    EXPECT_EQ(curs_set(1), 0);  // hidden on closing
}

// What is typed is never read back: the entry keeps its title, and the
// dialog opened again shows the stored one.
TEST(entry_dialog, edits_are_never_kept) {
    virtual_terminal vt(24, 80);
    sample s;
    vt.type("News");  // typed at the first position: replaces the text
    vt.type(keys::backspace);
    vt.type(keys::tab);
    vt.type("x");
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);
    EXPECT_EQ(value_in(key_reads.back(), 3), "New");
    EXPECT_EQ(value_in(key_reads.back(), 4), "https://mail.example.orgx");
    EXPECT_STREQ(s.entry.title, "Mail");
    EXPECT_STREQ(s.entry.url, "https://mail.example.org");
    EXPECT_EQ(s.title, "Mail");

    key_reads.clear();
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);
    EXPECT_EQ(value_in(key_reads[0], 3), "Mail");
    EXPECT_EQ(value_in(key_reads[0], 4), "https://mail.example.org");
}

TEST(entry_dialog, group_name_cut_at_40_and_never_current) {
    virtual_terminal vt(24, 80);
    sample s;
    s.group_names[1] = std::string(40, 'g') + "HIDDEN";
    s.groups[1].name = s.group_names[1].data();
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);
    for (const key_read& read : key_reads) {
        EXPECT_EQ(snapshot_text(read, form_top + 1, value_col, 41), std::string(40, 'g') + " ");
        EXPECT_NE(current_in(read), "?");
    }
}

TEST(entry_dialog, group_row_for_unknown_and_duplicate_ids) {
    virtual_terminal vt(24, 80);
    sample s;
    s.entry.group_id = 99;  // no group has it
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
    EXPECT_EQ(value_in(key_reads[0], 1), "");
    EXPECT_EQ(label_in(key_reads[0], 1), "Group:");

    key_reads.clear();
    s.entry.group_id = 1;
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
    EXPECT_EQ(value_in(key_reads[0], 1), "General");
}

TEST(entry_dialog, empty_texts_show_as_empty_underlined_values) {
    virtual_terminal vt(24, 80);
    sample s;
    s.title.clear();
    s.password.clear();
    s.notes.clear();
    s.entry.title = s.title.data();
    s.entry.password = s.password.data();
    s.entry.notes = s.notes.data();
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
    for (int row : {3, 6, 12}) {
        EXPECT_EQ(value_in(key_reads[0], row), "") << row;
        EXPECT_TRUE(all_have(key_reads[0], form_top + row, value_col, 40, A_UNDERLINE)) << row;
    }
}

// Texts from a file reach the screen as visible characters only: control
// bytes (escape sequences, tabs, line ends) show as '?'.
TEST(entry_dialog, control_bytes_shown_as_question_marks) {
    virtual_terminal vt(24, 80);
    sample s;
    s.title = "a\033[31mb\033]0;x\007";
    s.notes = "one\ttwo\nthree\rfour\177";
    s.username = "caf\xe9 \x9b" "1m";
    s.group_names[1] = "g\033(0q";
    s.entry.title = s.title.data();
    s.entry.notes = s.notes.data();
    s.entry.username = s.username.data();
    s.groups[1].name = s.group_names[1].data();
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);  // Notes, the cursor after its text
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);  // Username
    for (int i = 0; i < 4; ++i) vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);
    const key_read& first = key_reads[0];
    EXPECT_EQ(value_in(first, 3), "a?[31mb?]0;x?");
    EXPECT_EQ(value_in(first, 12), "one?two?three?four?");
    EXPECT_EQ(value_in(first, 1), "g?(0q");
    for (const key_read& read : key_reads) {
        EXPECT_TRUE(printable_only(read));
        for (int row = 0; row < 13; ++row) EXPECT_EQ(label_in(read, row), labels[row]);
        EXPECT_EQ(snapshot_text(read, button_row, ok_col, 4), "[OK]");
    }
    EXPECT_EQ(current_in(key_reads[3]), "Notes:");
    EXPECT_EQ(current_in(key_reads[10]), "Username:");
}

// A value longer than the field grows it up to 256 characters; the rest is
// cut. Entering the field puts the cursor after the last character kept.
TEST(entry_dialog, long_value_cut_at_256) {
    virtual_terminal vt(24, 80);
    sample s;
    s.notes = std::string(246, 'n') + "0123456789" + "CUT";
    s.entry.notes = s.notes.data();
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::tab);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);
    EXPECT_EQ(value_in(key_reads[0], 12), std::string(40, 'n'));
    const key_read& on_notes = key_reads[3];
    EXPECT_EQ(current_in(on_notes), "Notes:");
    std::string shown = snapshot_text(on_notes, form_top + 12, value_col, 40);
    EXPECT_NE(shown.find("0123456789"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('C'), std::string::npos) << shown;
}

TEST(entry_dialog, resize_dropped) {
    virtual_terminal vt(24, 80);
    sample s;
    before_key_read = [&vt](int read_index) {
        if (read_index == 1) vt.resize(40, 120);
    };
    vt.type(keys::tab);
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
    ASSERT_EQ(key_reads.size(), 5u);
    EXPECT_EQ(key_reads[1].key, KEY_RESIZE);
    EXPECT_EQ(current_in(key_reads[2]), "URL:");
    EXPECT_EQ(current_in(key_reads[3]), "Title:");
    EXPECT_EQ(key_reads[4].top, 2);
    EXPECT_EQ(key_reads[4].left, 11);
    EXPECT_EQ(current_in(key_reads[4]), "[CANCEL]");
    EXPECT_EQ(value_in(key_reads[4], 3), "Mail");
}

TEST(entry_dialog, waits_for_room_on_a_small_screen) {
    virtual_terminal vt(17, 50);
    sample s;
    before_key_read = [&vt](int read_index) {
        if (read_index == 2) vt.resize(24, 80);
    };
    vt.type(keys::tab);
    vt.type("x");
    vt.type(keys::up);
    vt.type(keys::up);
    vt.type(keys::enter);
    EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 0);
    ASSERT_EQ(key_reads.size(), 6u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(key_reads[i].from_stdscr) << i;
    EXPECT_EQ(key_reads[2].key, KEY_RESIZE);
    EXPECT_EQ(key_reads[3].top, 2);
    EXPECT_EQ(key_reads[3].left, 11);
    EXPECT_EQ(current_in(key_reads[3]), "Title:");
    EXPECT_EQ(value_in(key_reads[3], 3), "Mail");  // the early keys went nowhere
}

}  // namespace

namespace {

// Texts outside ASCII: their characters in a UTF-8 locale, one "?" a byte
// outside printable ASCII in the "C" locale.
TEST(entry_dialog, texts_outside_ascii_in_both_locales) {
    for (const char* ctype : {"C.UTF-8", "C"}) {
        SCOPED_TRACE(ctype);
        const bool utf8 = std::string(ctype) != "C";
        virtual_terminal vt(24, 80, ctype);
        sample s;
        s.title = "B\xc3\xa4renstra\xc3\x9f" "e Konto";
        s.password = "P\xc3\xa4ssw\xc3\xb6rd-\xe2\x80\x9e\xe4\xb8\xad\xe2\x80\x9d";
        s.entry.title = s.title.data();
        s.entry.password = s.password.data();
        vt.type(keys::up);
        vt.type(keys::enter);
        EXPECT_EQ(show_entry_dialog(&s.db, &s.entry), 1);
        // The dialog's picture stays on the screen once it has closed.
        EXPECT_EQ(cells_text(curscr, form_top + 3, value_col, 20),
                  utf8 ? "B\xc3\xa4renstra\xc3\x9f" "e Konto   " : "B??renstra??e Konto ");
        EXPECT_EQ(cells_text(curscr, form_top + 6, value_col, 20),
                  utf8 ? "P\xc3\xa4ssw\xc3\xb6rd-\xe2\x80\x9e\xe4\xb8\xad\xe2\x80\x9d       " : "P??ssw??rd-?????????");
    }
}

}  // namespace
