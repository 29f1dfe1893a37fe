// The entry view in a real terminal, in the "C" locale and in UTF-8: its
// rows cell for cell as the page scrolls and the terminal is resized (a cut
// field's "+" in reverse video), the attachment saved with "w" with its
// messages, and the way out.
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
const std::string a48(48, 'a'), b37(37, 'b');

std::string line(int n) { return "line " + std::to_string(n); }

// The sample's first entry (Forum) with 60 lines of notes with CR LF: one
// wider than the terminal, one with a wide letter at the wrap point (at 40
// columns), one with a tab, one with an escape byte; a URL to cut, and an
// attachment.
database_contents view_database() {
    database_contents contents = sample_database();
    kdb_entry_spec& entry = contents.entries[0];
    entry.url = "https://example.com/" + std::string(30, 'u');
    entry.description = "../pic.bin";
    entry.binary = attachment;
    entry.notes = line(1) + "\r\n" + a48 + "aa\r\n" + b37 + wide + "c\r\nx\ty\r\nesc\x1b[31mred";
    for (int n = 6; n <= 60; ++n) entry.notes += "\r\n" + line(n);
    return contents;
}

// The rows inside the border (whose characters tmux reads back as one byte
// in "C", three in UTF-8), trailing blanks dropped.
std::vector<std::string> inside(const tmux_session& session, size_t side) {
    std::vector<std::string> rows = screen_rows(session), shown;
    for (size_t i = 1; i + 1 < rows.size(); ++i) {
        std::string row = rows[i].size() > 2 * side ? rows[i].substr(side, rows[i].size() - 2 * side) : "";
        shown.push_back(row.erase(row.find_last_not_of(' ') + 1));
    }
    return shown;
}

class entry_view : public ::testing::TestWithParam<bool> {};

TEST_P(entry_view, scrolls_resizes_and_saves_the_attachment) {
    const bool utf8 = GetParam();
    temp_dir dir;
    tmux_session session;
    const std::string path = write_database(dir, "view.kdb", view_database(), sample_password);
    std::filesystem::create_directory(dir.path + "/home");
    std::vector<std::string> env = {"HOME=" + dir.path + "/home"};
    if (utf8) env.push_back("LANG=C.UTF-8");
    ASSERT_TRUE(start_kdbrowse(session, dir.path, {path}, env));
    ASSERT_TRUE(enter_password(session, sample_password) && wait_for_browsing(session)) << screen_dump(session);
    resize_window(session, 40, 12);
    send_keys(session, {"Tab", "v"});
    const std::string keys = "q:back  [space],r:reveal  u:user  U:URL";
    std::vector<std::string> last_page;  // at 50 x 14
    for (int n = 50; n <= 60; ++n) last_page.push_back(line(n));
    last_page.push_back(keys + " 59-69/69");
    const struct { const char* key; std::vector<std::string> rows; } steps[] = {
        {"", {"Title: Forum", "Username: alice", "URL: https://example.com/" + std::string(12, 'u') + "+",
              "Password: ********", "Expires: Never",
              "Attachment: ../pic.bin, 3 bytes", "", "Notes:", line(1), keys.substr(0, 31) + " 1-9/70"}},
        {"PgDn", {a48.substr(0, 38), std::string(12, 'a'), utf8 ? b37 : b37 + "?", utf8 ? wide + "c" : "??c",
                  "x       y", "esc?[31mred", line(6), line(7), line(8), keys.substr(0, 29) + " 10-18/70"}},
        // Wider: the row shown first (the start of the long line) stays first.
        {"resize", {a48, "aa", b37 + (utf8 ? wide : "???") + "c", "x       y", "esc?[31mred", line(6), line(7),
                    line(8), line(9), line(10), line(11), keys + " 10-20/69"}},
        {"End", last_page},
    };
    EXPECT_TRUE(wait_for_reversed(session, "+")) << "the cut URL's mark";
    for (const auto& step : steps) {
        if (std::string(step.key) == "resize")
            resize_window(session, 50, 14);
        else if (step.key[0] != '\0')
            send_keys(session, {step.key});
        if (step.rows.empty()) continue;
        EXPECT_TRUE(poll_until([&] { return inside(session, utf8 ? 3 : 1) == step.rows; }))
            << step.key << "\n" << screen_dump(session);
    }

    // "w": the cleaned name confirmed, then the same name again, then "~/".
    const struct { std::vector<std::string> keys; const char* shows; } saving[] = {
        {{"Home", "r"}, "Password: forum-secret"}, {{"w"}, "Save as: pic.bin"}, {{"Enter"}, "Saved."},
        {{"Enter"}, "Password: ********"}, {{"w", "Enter"}, "File exists."},
        {{"Enter", "w", "BSpace", "BSpace", "BSpace", "BSpace", "BSpace", "BSpace", "BSpace", "~/h.bin", "Enter"}, "Saved."},
    };
    for (const auto& step : saving) {
        for (const std::string& key : step.keys) send_keys(session, {key});
        ASSERT_TRUE(wait_for_text(session, step.shows)) << step.shows << "\n" << screen_dump(session);
    }
    send_keys(session, {"Enter"});
    ASSERT_TRUE(wait_for_text_gone(session, "Saved.")) << screen_dump(session);  // before the resize below
    for (const char* name : {"/pic.bin", "/home/h.bin"}) {
        std::ifstream saved(dir.path + name, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), attachment) << name;
    }

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
