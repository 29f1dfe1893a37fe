#include "screen/entry_view.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "screen/entry_view_page.h"
#include "support/memory_db.h"
#include "support/virtual_terminal.h"

namespace {

using rows = std::vector<std::string>;

// Every row's text, a cut one with "+" after it.
rows rows_of(const entry_view_page& page, size_t from = 0) {
    rows out;
    for (size_t i = from; i < page.rows.size(); ++i)
        out.push_back(std::string(view_row_text(page, page.rows[i])) + (page.rows[i].cut ? "+" : ""));
    return out;
}

struct view_entry {
    memory_db m;
    kpass_entry* e;
    explicit view_entry(const std::string& notes, const std::string& title = "t") : e(m.add_entry(1, title)) {
        e->notes = m.text(notes);
    }
};

const std::string wide = "\xe6\xbc\xa2";  // a CJK letter, two cells

// Notes, as the rows below "Notes:". Guards line breaks taken for
// characters, a wrap inside a wide letter or past the width, tabs that
// miss their stop, and controls or invalid bytes reaching the terminal.
TEST(lay_out_entry_view, notes_are_split_wrapped_and_cleaned) {
    const struct { std::string notes; int width; bool utf8; rows want; } cases[] = {
        {"a\r\nb\nc\rd\r\n", 12, false, {"a", "b", "c", "d"}},
        {"a\n\n\r\nb", 12, false, {"a", "", "", "b"}},
        {"abcdefghijklmnopq", 8, false, {"abcdefgh", "ijklmnop", "q"}},
        {"abcdefg" + wide + "x", 8, true, {"abcdefg", wide + "x"}},
        {"abcdefg" + wide + "x", 8, false, {"abcdefg?", "??x"}},
        {"a\tb", 12, false, {"a       b"}},
        {"abcdef\tgh", 8, true, {"abcdef  ", "gh"}},
        {"abcdefghijkl\tx", 12, false, {"abcdefghijkl", "        x"}},
        {"x\x1b[31m\x07" "caf\xe9", 20, true, {"x?[31m?caf?"}},
        {"", 12, true, {}},
    };
    for (const auto& c : cases) {
        ASSERT_NE(std::setlocale(LC_CTYPE, c.utf8 ? "C.UTF-8" : "C"), nullptr);
        view_entry v(c.notes);
        const entry_view_page page = lay_out_entry_view(v.e, "Never", false, c.width, c.utf8);
        ASSERT_GE(page.rows.size(), 8u);
        EXPECT_EQ(rows_of(page, 8), c.want) << c.notes << (c.utf8 ? " (UTF-8)" : " (C)");
    }
    std::setlocale(LC_CTYPE, "C");
}

// The fields: cut with "+" at the width, the password masked or wrapped
// under its first character, the attachment's name and size.
TEST(lay_out_entry_view, fields_take_a_row_each_and_are_cut_to_the_width) {
    view_entry v("n", "A very long title here");
    v.e->username = v.m.text("bob");
    v.e->password = v.m.text("abcdefghijklmnop");
    EXPECT_EQ(rows_of(lay_out_entry_view(v.e, "Never", false, 20, false)),
              (rows{"Title: A very long +", "Username: bob", "URL: ", "Password: ********", "Expires: Never",
                    "Attachment: none", "", "Notes:", "n"}));
    v.e->description = v.m.text("p.jpg");
    v.e->binary_size = 3;
    EXPECT_EQ(rows_of(lay_out_entry_view(v.e, "2019-01-01 (expired)", true, 20, false)),
              (rows{"Title: A very long +", "Username: bob", "URL: ", "Password: abcdefghij", "          klmnop",
                    "Expires: 2019-01-01+", "Attachment: p.jpg, +", "", "Notes:", "n"}));
    v.e->description = v.m.text("");
    EXPECT_EQ(rows_of(lay_out_entry_view(v.e, "Never", false, 40, false))[5], "Attachment: (no name), 3 bytes");
}

// Laid out again, the row that showed a text first is the one that shows
// its start now: the same row, or the row it moved into.
TEST(row_showing, finds_what_another_layout_showed_first) {
    view_entry v("abcdefghijklmnopq\nrs");
    v.e->password = v.m.text("0123456789");
    const entry_view_page narrow = lay_out_entry_view(v.e, "Never", true, 14, false);
    const entry_view_page wide_page = lay_out_entry_view(v.e, "Never", false, 40, false);
    ASSERT_EQ(rows_of(narrow, 10), (rows{"abcdefghijklmn", "opq", "rs"}));
    EXPECT_EQ(row_showing(wide_page, narrow.rows[11]), 8);  // "opq": within the line shown whole
    EXPECT_EQ(row_showing(wide_page, narrow.rows[12]), 9);
    EXPECT_EQ(row_showing(wide_page, narrow.rows[4]), 3);  // the password's second row
    EXPECT_EQ(row_showing(narrow, wide_page.rows[0]), 0);
}

// The window: border, rows from first on, a cut row's "+" in reverse
// video, and the key line cut one blank before the count.
TEST(draw_entry_view, draws_border_rows_and_key_line) {
    for (const char* ctype : {"C", "C.UTF-8"}) {
        SCOPED_TRACE(ctype);
        virtual_terminal terminal(12, 40, ctype);
        const bool utf8 = std::string(ctype) != "C";
        view_entry v("n1\n" + wide + "x\nn3", std::string(50, 'T'));
        WINDOW* window = newwin(12, 40, 0, 0);
        const entry_view_page page = lay_out_entry_view(v.e, "Never", false, view_row_width(window), utf8);
        draw_entry_view(window, page, 0);
        EXPECT_EQ(cell_char(window, 0, 0), acs(ACS_ULCORNER));
        EXPECT_EQ(row_text(window, 1), std::string("#Title: TTTTTTTTTTTTTTTTTTTTTTTTTTTTTT+#"));
        EXPECT_TRUE(cell_attrs(window, 1, 38) & A_REVERSE);
        EXPECT_FALSE(cell_attrs(window, 1, 37) & A_REVERSE);
        EXPECT_EQ(row_text(window, 10), "#q:back  [space],r:reveal  u:use 1-9/11#");
        draw_entry_view(window, page, 2);
        EXPECT_EQ(cells_text(window, 8, 1, 3), utf8 ? wide + "x" : "???");
        EXPECT_EQ(row_text(window, 10).substr(30), "s 3-11/11#");
        EXPECT_EQ(row_text(window, 11)[0], '#');
        delwin(window);
    }
}

}  // namespace
