// The entry view in a real terminal, in the "C" locale and in UTF-8: its
// rows cell for cell as the page scrolls and the terminal is resized, the
// attachment saved with "w" and its messages, and the way out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

namespace {

const std::string wide = "\xe6\xbc\xa2";  // a CJK letter, two cells
const std::string attachment("\x01\x00\xff", 3);

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

std::string line(int n) { return "line " + std::to_string(n); }

// 60 lines with CR LF: one wider than the terminal, one with a wide letter
// at the wrap point, one with a tab, one with an escape byte.
database_contents view_database() {
    kdb_entry_spec entry;
    entry.group_id = 1;
    entry.title = "Notes";
    entry.password = "pw-in-view";
    entry.etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    entry.description = "../pic.bin";
    entry.binary = attachment;
    std::string notes = line(1) + "\r\n" + repeated("a", 50) + "\r\n" + repeated("b", 37) + wide + "c\r\n" +
                        "x\ty\r\nesc\x1b[31mred";
    for (int n = 6; n <= 60; ++n) notes += "\r\n" + line(n);
    entry.notes = notes;
    kdb_group_spec group;
    group.id = 1;
    group.name = "g";
    return {{group}, {entry}};
}

// The border's corners, lines and sides as tmux reads them back: Unicode
// box characters in UTF-8, the terminal's line-drawing letters in "C".
struct border {
    std::string top_left, top_right, bottom_left, bottom_right, line, side;
};
const border utf8_border{"\xe2\x94\x8c", "\xe2\x94\x90", "\xe2\x94\x94", "\xe2\x94\x98", "\xe2\x94\x80", "\xe2\x94\x82"};
const border c_border{"l", "k", "m", "j", "q", "x"};

// The view's screen: rows framed by the border, the key line cut before
// the count.
std::vector<std::string> view_screen(const border& b, int width, const std::vector<std::string>& rows,
                                     const std::string& count) {
    const int inner = width - 2;
    auto framed = [&](const std::string& text, int cells) {
        return b.side + text + std::string(static_cast<size_t>(inner - cells), ' ') + b.side;
    };
    std::vector<std::string> screen{b.top_left + repeated(b.line, inner) + b.top_right};
    for (const std::string& row : rows) {
        const bool has_wide = row.find(wide) != std::string::npos;
        screen.push_back(framed(row, static_cast<int>(row.size()) - (has_wide ? 1 : 0)));
    }
    const std::string keys = std::string("q:back  [space],r:reveal  u:user  U:URL  x:password  w:save attachment")
                                 .substr(0, static_cast<size_t>(inner) - count.size() - 1);
    screen.push_back(framed(keys + std::string(inner - keys.size() - count.size(), ' ') + count, inner));
    screen.push_back(b.bottom_left + repeated(b.line, inner) + b.bottom_right);
    return screen;
}

std::string rows_text(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    return text;
}

bool wait_for_view(const tmux_session& session, const std::vector<std::string>& want) {
    return poll_until([&] { return screen_rows(session) == want; });
}

class entry_view : public ::testing::TestWithParam<bool> {};

TEST_P(entry_view, scrolls_resizes_and_saves_the_attachment) {
    const bool utf8 = GetParam();
    const border& b = utf8 ? utf8_border : c_border;
    temp_dir dir;
    tmux_session session;
    const std::string path = write_database(dir, "view.kdb", view_database(), "pw");
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}, utf8 ? std::vector<std::string>{"LANG=C.UTF-8"}
                                                              : std::vector<std::string>{}));
    ASSERT_TRUE(enter_password(session, "pw") && wait_for_browsing(session)) << screen_dump(session);
    resize_window(session, 40, 12);
    send_keys(session, {"Tab", "v"});

    const std::vector<std::string> top = {"Title: Notes", "Username: ", "URL: ", "Password: ********",
                                          "Expires: Never", "Attachment: ../pic.bin, 3 bytes", "", "Notes:"};
    std::vector<std::string> rows = top;
    rows.insert(rows.end(), {line(1)});
    std::vector<std::string> want = view_screen(b, 40, rows, "1-9/70");
    EXPECT_TRUE(wait_for_view(session, want)) << rows_text(want) << screen_dump(session);

    const std::string wrapped_b = utf8 ? repeated("b", 37) : repeated("b", 37) + "?";
    const std::string wrapped_wide = utf8 ? wide + "c" : "??c";
    send_keys(session, {"PgDn"});
    want = view_screen(b, 40, {repeated("a", 38), repeated("a", 12), wrapped_b, wrapped_wide, "x       y", "esc?[31mred",
                            line(6), line(7), line(8)},
                       "10-18/70");
    EXPECT_TRUE(wait_for_view(session, want)) << rows_text(want) << screen_dump(session);

    send_keys(session, {"End"});
    rows.clear();
    for (int n = 52; n <= 60; ++n) rows.push_back(line(n));
    want = view_screen(b, 40, rows, "62-70/70");
    EXPECT_TRUE(wait_for_view(session, want)) << rows_text(want) << screen_dump(session);

    // Wider: the row shown first (the start of the long line) stays first.
    send_keys(session, {"Home", "PgDn"});
    ASSERT_TRUE(wait_for_text(session, "10-18/70")) << screen_dump(session);
    resize_window(session, 50, 14);
    rows = {repeated("a", 48), "aa", repeated("b", 37) + (utf8 ? wide : "???") + "c", "x       y", "esc?[31mred"};
    for (int n = 6; n <= 11; ++n) rows.push_back(line(n));
    want = view_screen(b, 50, rows, "10-20/69");
    EXPECT_TRUE(wait_for_view(session, want)) << rows_text(want) << screen_dump(session);

    // "w": the cleaned name, confirmed; then again, to the same name.
    send_keys(session, {"Home", "r"});
    ASSERT_TRUE(wait_for_text(session, "Password: pw-in-view")) << screen_dump(session);
    send_keys(session, {"w"});
    ASSERT_TRUE(wait_for_text(session, "Save as: pic.bin")) << screen_dump(session);
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_text(session, "Saved.")) << screen_dump(session);
    send_keys(session, {"Enter"});
    EXPECT_TRUE(wait_for_text(session, "Password: ********")) << screen_dump(session);
    send_keys(session, {"w", "Enter"});
    ASSERT_TRUE(wait_for_text(session, "File exists.")) << screen_dump(session);
    send_keys(session, {"Enter"});
    std::ifstream saved(dir.path + "/pic.bin", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), attachment);

    // Too small: the dialogs' line, and Enter leaves for the browsing screen.
    resize_window(session, 25, 6);
    ASSERT_TRUE(wait_for_text(session, "Terminal too small")) << screen_dump(session);
    send_keys(session, {"Enter"});
    resize_window(session, 80, 24);
    EXPECT_TRUE(wait_for_row(session, 23, entry_help_80)) << screen_dump(session);
    EXPECT_TRUE(quit_cleanly(session)) << screen_dump(session);
}

INSTANTIATE_TEST_SUITE_P(locales, entry_view, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "utf8" : "c"; });

}  // namespace
