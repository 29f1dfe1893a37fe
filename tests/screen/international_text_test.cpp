// Texts outside ASCII, drawn by display cells: as their characters in a
// UTF-8 locale (wide ones in two cells, combining marks in their
// character's cell), every byte outside printable ASCII as one "?" in the
// "C" locale. Widths, column limits and cut marks count cells.
#include <gtest/gtest.h>

#include <string>

#include "cells.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"
#include "screen/visible_text.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

const std::string wide = "\xe4\xb8\xad";  // U+4E2D, two cells

// The windows went with the terminal that held them: none of them may be
// deleted again by the next build of the layout.
void forget_windows() { title_bar = groups_frame = groups_list = entries_frame = entries_list = help_bar = nullptr; }

struct column_case {
    const char* name;
    std::string text;
    std::string utf8_shown;  // the column's cells in a UTF-8 locale
    std::string c_shown;     // and in the "C" locale
};

// Each text as the title of an entry (its column takes 24 cells, "+" at
// column 23 when cut), drawn in a table 80 cells wide.
TEST(international_text, titles_in_both_locales) {
    const column_case cases[] = {
        {"two-byte letters", "Gr\xc3\xb6\xc3\x9f" "e \xc3\x9c" "bersicht", "Gr\xc3\xb6\xc3\x9f" "e \xc3\x9c" "bersicht",
         "Gr????e ??bersicht"},
        {"three- and four-byte characters", "\xe2\x82\xac" "1 \xf0\x9f\x98\x80", "\xe2\x82\xac" "1 \xf0\x9f\x98\x80",
         "???1 ????"},
        {"a combining mark in its letter's cell", "e\xcc\x81t\xc3\xa9", "e\xcc\x81t\xc3\xa9", "e??t??"},
        {"a mark with no letter", "\xcc\x81" "a", "?a", "??a"},
        {"bidirectional and zero-width controls", "a\xe2\x80\xae" "b\xe2\x80\x8b" "c", "a?b?c", "a???b???c"},
        {"C1 controls, invalid and overlong bytes", "a\xc2\x9b" "b\xff" "c\xc0\xaf" "d\xe2\x82", "a?b?c??d?",
         "a??b?c??d??"},
        {"a wide letter that ends at the limit", std::string(22, 'a') + wide, std::string(22, 'a') + wide,
         std::string(22, 'a') + "?+"},
        {"a wide letter across the limit is not drawn", std::string(23, 'a') + wide + "z", std::string(23, 'a') + "+",
         std::string(23, 'a') + "+"},
    };
    for (const char* ctype : {"C.UTF-8", "C"}) {
        virtual_terminal vt(24, 88, ctype);
        for (const column_case& c : cases) {
            SCOPED_TRACE(std::string(ctype) + ": " + c.name);
            test_db db({{"g", 0}}, {{0, c.text, "u", "p", ""}});
            build_layout(db.get());
            ASSERT_EQ(getmaxx(entries_list), 80);
            draw_entries(db.get(), 0, 0, 0, false, false);
            const std::string& shown = std::string(ctype) == "C" ? c.c_shown : c.utf8_shown;
            EXPECT_EQ(cells_text(entries_list, 0, 0, 25), shown + std::string(25 - text_cells(shown.c_str()), ' '));
            const bool cut = shown.back() == '+';
            EXPECT_EQ(cell_attrs(entries_list, 0, 23), cut ? A_REVERSE : A_NORMAL);
            EXPECT_EQ(cells_text(entries_list, 0, 25, 1), "u");  // the next column stays in place
        }
        forget_windows();
    }
}

// A wide letter that would cross the window's edge is not drawn: the URL
// column of an 80-cell table holds 4 cells before the mark in its last.
TEST(international_text, a_wide_letter_at_the_edge_is_cut_there) {
    virtual_terminal vt(24, 88, "C.UTF-8");
    test_db db({{"g", 0}}, {{0, "t", "u", "p", "abc" + wide}});
    build_layout(db.get());
    draw_entries(db.get(), 0, 0, 0, false, false);
    EXPECT_EQ(cells_text(entries_list, 0, 75, 5), "abc +");
    EXPECT_EQ(cell_attrs(entries_list, 0, 79), A_REVERSE);
    EXPECT_TRUE(row_is_blank(entries_list, 1));
}

// The group pane is as wide as the widest name in cells, in both locales,
// and the title bar stops before a wide letter that does not fit.
TEST(international_text, pane_width_and_title_bar_count_cells) {
    for (const char* ctype : {"C.UTF-8", "C"}) {
        SCOPED_TRACE(ctype);
        const bool utf8 = std::string(ctype) != "C";
        virtual_terminal vt(24, 80, ctype);
        test_db db({{"\xc3\x9c" "bersicht", 0}, {wide + wide, 1}});
        EXPECT_EQ(groups_pane_width(db.get()), utf8 ? 9 + 5 : 10 + 5);
        build_layout(db.get());
        draw_groups(db.get(), 0, 0, false);
        EXPECT_EQ(cells_text(groups_list, 0, 0, 10), utf8 ? "\xc3\x9c" "bersicht " : "??bersicht");
        EXPECT_EQ(cells_text(groups_list, 1, 3, 4), utf8 ? wide + wide : "????");
        draw_title_bar((std::string(79, '/') + wide).c_str());
        // (In the "C" locale the last cell gets a "?", which the blanks that
        // clear the rest of the bar overwrite, as for any text reaching it.)
        EXPECT_EQ(cells_text(title_bar, 0, 0, 80), std::string(79, '/') + " ");
        forget_windows();
    }
}

}  // namespace
