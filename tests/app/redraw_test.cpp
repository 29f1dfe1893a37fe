// Full redraws: after a failed copy and after resizes the screen is the
// browsing screen the state describes, cell for cell, title bar included.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "app/key_loop.h"
#include "browse_fixture.h"
#include "clipboard/pipe_to_program.h"

namespace {

// Every cell of the screen as curses last drew it, with its attributes.
std::vector<chtype> screen_cells() {
    std::vector<chtype> cells;
    for (int row = 0; row < LINES; ++row)
        for (int col = 0; col < COLS; ++col) cells.push_back(screen_char(row, col) | screen_attrs(row, col));
    return cells;
}

std::string screen_text() {
    std::string text;
    for (int row = 0; row < LINES; ++row) text += screen_row(row) + "\n";
    return text;
}

// A copy that fails (the program cannot be executed, or ends with a
// non-zero status) opens a message box, here closed by the Enter typed
// ahead, then the same entry comes back under the cursor, masked: the
// screen from before the copy, or before the reveal. A copy that works
// redraws nothing: a revealed password stays on the screen.
TEST_F(BrowseTest, AFailedCopyIsSaidThenTheScreenComesBackCellForCell) {
    add_groups(2);
    add_entries(1, 30);
    start(12, 90);
    press('\t');
    press(KEY_DOWN, 8);  // the table scrolled: 6 rows, the cursor on e8
    const struct {
        const char* program;
        bool fails;
    } cases[] = {{"/nonexistent/xclip", true}, {"/bin/false", true}, {"/bin/true", false}};
    for (const auto& c : cases) {
        for (bool revealed : {false, true}) {
            SCOPED_TRACE(std::string(c.program) + (revealed ? ", revealed" : ""));
            clipboard_program = c.program;
            std::vector<chtype> before = screen_cells();
            if (revealed) press('r');
            std::vector<chtype> shown = screen_cells();
            terminal_->type(std::string(keys::enter) + "z");
            EXPECT_FALSE(press('x'));
            int next = read_key(&app_);
            EXPECT_EQ(next == 'z', c.fails) << "a message box took the Enter typed ahead, or none did";
            if (next != 'z') {
                EXPECT_EQ(read_key(&app_), 'z');
            }
            EXPECT_EQ(screen_cells(), c.fails ? before : shown) << screen_text();
            EXPECT_FALSE(state().reveal);
            EXPECT_EQ(state().focus, 1);
            EXPECT_EQ(state().entry_cursor, 8);
            EXPECT_EQ(state().entry_first_position, 3);
        }
    }
}

// "edit" closed, or given up by Enter on a screen too small for it: the
// browsing screen from before the reveal comes back cell for cell, and the
// next key goes to the table. The wide group pane puts the dialog's
// password over the frames' border columns.
TEST_F(BrowseTest, AfterTheEntryDialogTheScreenIsTheOneBeforeIt) {
    data_.add_group(1, std::string(30, 'G'));
    add_entries(1, 3);
    start();
    press('\t');
    for (auto [rows, cols, keys] : {std::tuple{24, 80, "\033OA\rz"}, std::tuple{10, 40, "\rz"}}) {
        SCOPED_TRACE(rows);
        terminal_->resize(rows, cols, false);
        press(KEY_RESIZE);
        std::vector<chtype> before = screen_cells();
        press('r');
        terminal_->type(keys);
        if (rows == 10) terminal_->close_input();  // a dialog that drops Enter sees the end
        EXPECT_FALSE(press('e'));
        EXPECT_EQ(read_key(&app_), 'z');
        EXPECT_EQ(screen_cells(), before) << screen_text();
        EXPECT_EQ(state().focus, 1);
    }
}

// Every resize draws the title bar; on a screen of one row the help bar,
// drawn last, holds that row.
TEST_F(BrowseTest, EveryResizeDrawsTheTitleBar) {
    add_groups(2);
    add_entries(1, 3);
    start();
    press('\t');
    const std::string path = app_.database_path;
    const struct {
        int rows, cols;
    } sizes[] = {{5, 20}, {20, 5}, {1, 120}, {120, 1}, {2, 40}, {24, 80}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.rows) + "x" + std::to_string(size.cols));
        terminal_->resize(size.rows, size.cols, false);
        press(KEY_RESIZE);
        std::string row = screen_row(0);
        // A text that reaches the last column loses that column to the
        // blanks written after it, as on the help bar.
        size_t fits = std::min(path.size(), static_cast<size_t>(size.cols - 1));
        std::string shown = path.size() < static_cast<size_t>(size.cols) ? path : path.substr(0, fits);
        if (size.rows == 1)
            EXPECT_EQ(row.substr(0, 12), "a:add-entry ");
        else
            EXPECT_EQ(row, shown + std::string(size.cols - shown.size(), ' '));
    }
}

}  // namespace
