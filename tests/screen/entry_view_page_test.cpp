#include "screen/entry_view_page.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "support/memory_db.h"

namespace {

using rows = std::vector<std::string>;

// Every row's text, a cut one with "+" after it.
rows rows_of(const entry_view_page& page, size_t from = 0) {
    rows out;
    for (size_t i = from; i < page.rows.size(); ++i)
        out.push_back(std::string(view_row_text(page, page.rows[i])) + (page.rows[i].cut ? "+" : ""));
    return out;
}

const std::string wide = "\xe6\xbc\xa2";  // a CJK letter, two cells

// Notes, as the rows below "Notes:" (the rest of the rules, in both
// locales, end to end in tests/e2e/entry_view_test.cpp). Guards line
// breaks taken for characters, a wrap inside a wide letter, tabs that miss
// their stop or the row's end, and controls or invalid bytes reaching the
// terminal.
TEST(lay_out_entry_view, notes_are_split_wrapped_and_cleaned) {
    const struct { std::string notes; int width; bool utf8; rows want; } cases[] = {
        {"a\r\nb\nc\rd\r\n", 12, false, {"a", "b", "c", "d"}},
        {"a\n\n\r\nb", 12, false, {"a", "", "", "b"}},
        {"abcdefg" + wide + "x", 8, true, {"abcdefg", wide + "x"}},
        {"abcdef\tgh", 8, true, {"abcdef  ", "gh"}},
        {"abcdefghijkl\tx", 12, false, {"abcdefghijkl", "        x"}},
        {"x\x1b[31m\x07" "caf\xe9", 20, true, {"x?[31m?caf?"}},
        {"", 12, true, {}},
    };
    for (const auto& c : cases) {
        ASSERT_NE(std::setlocale(LC_CTYPE, c.utf8 ? "C.UTF-8" : "C"), nullptr);
        memory_db m;
        kpass_entry* e = m.add_entry(1, "t");
        e->notes = m.text(c.notes);
        EXPECT_EQ(rows_of(lay_out_entry_view(e, "Never", false, c.width, c.utf8), 8), c.want) << c.notes << (c.utf8 ? " (UTF-8)" : " (C)");
    }
    std::setlocale(LC_CTYPE, "C");
}

// The fields: cut with "+" at the width, the password masked or wrapped
// under its first character, the attachment's name and size.
TEST(lay_out_entry_view, fields_take_a_row_each_and_are_cut_to_the_width) {
    memory_db m;
    kpass_entry* e = m.add_entry(1, "A very long title here", "bob", "abcdefghijklmnop");
    e->notes = m.text("n");
    e->description = m.text("p.jpg");
    e->binary_size = 3;
    EXPECT_EQ(rows_of(lay_out_entry_view(e, "2019-01-01 (expired)", true, 20, false)),
              (rows{"Title: A very long +", "Username: bob", "URL: ", "Password: abcdefghij", "          klmnop",
                    "Expires: 2019-01-01+", "Attachment: p.jpg, +", "", "Notes:", "n"}));
    e->description = m.text("");
    EXPECT_EQ(rows_of(lay_out_entry_view(e, "Never", false, 40, false))[5], "Attachment: (no name), 3 bytes");
}

}  // namespace
