#include "cells.h"

#include <sstream>
#include <vector>

#include "support/virtual_terminal.h"

chtype pattern_char(char c) {
    switch (c) {
        case 'T': return acs(ACS_LTEE);
        case 'L': return acs(ACS_LLCORNER);
        case 'I': return acs(ACS_VLINE);
        default: return static_cast<chtype>(static_cast<unsigned char>(c));
    }
}

std::string row_pattern(WINDOW* window, int row) {
    std::string text;
    for (int col = 0; col < getmaxx(window); ++col) {
        chtype c = cell_char(window, row, col);
        if (c == acs(ACS_LTEE)) text += 'T';
        else if (c == acs(ACS_LLCORNER)) text += 'L';
        else if (c == acs(ACS_VLINE)) text += 'I';
        else if (c & A_ALTCHARSET) text += '#';
        else text += static_cast<char>(c & A_CHARTEXT);
    }
    return text;
}

static ::testing::AssertionResult check_row(WINDOW* window, int row, std::string_view pattern,
                                            bool literal, attr_t attrs, std::string_view reverse_columns) {
    const int width = getmaxx(window);
    std::string expected(pattern);
    if (static_cast<int>(expected.size()) > width)
        return ::testing::AssertionFailure() << "pattern wider than the window (" << width << ")";
    expected.resize(static_cast<size_t>(width), ' ');
    std::vector<bool> reversed(static_cast<size_t>(width), false);
    {
        std::istringstream in{std::string(reverse_columns)};
        int col;
        while (in >> col) reversed.at(static_cast<size_t>(col)) = true;
    }
    for (int col = 0; col < width; ++col) {
        char c = expected[static_cast<size_t>(col)];
        chtype want = literal ? static_cast<chtype>(static_cast<unsigned char>(c)) : pattern_char(c);
        chtype got = cell_char(window, row, col);
        if (got != want)
            return ::testing::AssertionFailure() << "row " << row << " column " << col << ": got '"
                                                 << row_pattern(window, row) << "', want '" << expected << "'";
        attr_t want_attrs = reversed[static_cast<size_t>(col)] ? A_REVERSE : attrs;
        attr_t got_attrs = cell_attrs(window, row, col);
        if (got_attrs != want_attrs)
            return ::testing::AssertionFailure() << "row " << row << " column " << col << ": attributes "
                                                 << std::hex << got_attrs << ", want " << want_attrs;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult row_is(WINDOW* window, int row, std::string_view pattern, attr_t attrs,
                                  std::string_view reverse_columns) {
    return check_row(window, row, pattern, false, attrs, reverse_columns);
}

::testing::AssertionResult text_row_is(WINDOW* window, int row, std::string_view text, attr_t attrs,
                                       std::string_view reverse_columns) {
    return check_row(window, row, text, true, attrs, reverse_columns);
}

::testing::AssertionResult row_is_blank(WINDOW* window, int row) { return row_is(window, row, ""); }
