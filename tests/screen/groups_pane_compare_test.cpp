// draw_groups against the straightforward drawing, cell for cell, on random
// trees, offsets, cursors, window sizes and focus.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reference_groups.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

// Every cell of groups_list, character, line-drawing flag and attributes.
std::vector<chtype> snapshot() {
    std::vector<chtype> cells;
    for (int row = 0; row < getmaxy(groups_list); ++row)
        for (int col = 0; col < getmaxx(groups_list); ++col) cells.push_back(mvwinch(groups_list, row, col));
    cells.push_back(getattrs(groups_list));
    return cells;
}

// Fills the list with what neither drawing writes, so that every cell must
// be drawn again.
void scribble() {
    for (int row = 0; row < getmaxy(groups_list); ++row)
        mvwhline(groups_list, row, 0, 'X' | A_BOLD, getmaxx(groups_list));
    wattrset(groups_list, A_UNDERLINE);
}

// Levels that stay, go one deeper, climb back any number of levels or jump
// several levels deeper at once; the first group need not be at level 0.
std::vector<test_group> random_tree(std::mt19937& random) {
    const int count = std::uniform_int_distribution<int>(0, 40)(random);
    std::vector<test_group> groups;
    int level = std::uniform_int_distribution<int>(0, 5)(random) == 0 ? 2 : 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            switch (std::uniform_int_distribution<int>(0, 7)(random)) {
                case 0: case 1: break;
                case 2: case 3: ++level; break;
                case 4: case 5: level = std::uniform_int_distribution<int>(0, level)(random); break;
                case 6: level += std::uniform_int_distribution<int>(2, 5)(random); break;
                default: level = 0;
            }
        }
        std::string name(static_cast<size_t>(std::uniform_int_distribution<int>(0, 8)(random)), 'a');
        for (char& c : name) c = static_cast<char>('a' + std::uniform_int_distribution<int>(0, 25)(random));
        groups.push_back({name, level});
    }
    return groups;
}

// Where two snapshots first differ, as "row r column c: got x, want y".
std::string first_difference(const std::vector<chtype>& got, const std::vector<chtype>& want) {
    const int width = getmaxx(groups_list);
    for (size_t i = 0; i < got.size() && i < want.size(); ++i) {
        if (got[i] == want[i]) continue;
        std::ostringstream text;
        text << "row " << i / static_cast<size_t>(width) << " column " << i % static_cast<size_t>(width)
             << ": got " << std::hex << got[i] << ", want " << want[i];
        return text.str();
    }
    return "sizes differ";
}

std::string describe(const std::vector<test_group>& groups, int lines, int columns, int first_row, int cursor,
                     bool focused) {
    std::ostringstream text;
    text << lines << "x" << columns << " first_row " << first_row << " cursor " << cursor << " focused "
         << focused << " levels";
    for (const test_group& group : groups) text << ' ' << group.level;
    return text.str();
}

}  // namespace

TEST(draw_groups_compare, draws_the_same_cells_as_the_straightforward_walk) {
    std::mt19937 random(20240531);
    virtual_terminal terminal(24, 80);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const std::vector<test_group> groups = random_tree(random);
        test_db db(groups);
        const int count = static_cast<int>(groups.size());
        const int lines = std::uniform_int_distribution<int>(7, 30)(random);
        const int columns = std::uniform_int_distribution<int>(20, 160)(random);
        terminal.resize(lines, columns, false);
        build_layout(db.get());
        ASSERT_NE(groups_list, nullptr);
        for (int view = 0; view < 6; ++view) {
            const int first_row = std::uniform_int_distribution<int>(-1, count + 1)(random);
            const int cursor = std::uniform_int_distribution<int>(-1, count)(random);
            const bool focused = std::uniform_int_distribution<int>(0, 1)(random) == 1;
            scribble();
            reference_draw_groups(db.get(), first_row, cursor, focused);
            const std::vector<chtype> want = snapshot();
            scribble();
            draw_groups(db.get(), first_row, cursor, focused);
            const std::vector<chtype> got = snapshot();
            ASSERT_TRUE(got == want) << first_difference(got, want) << " in "
                                     << describe(groups, lines, columns, first_row, cursor, focused);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 2400);
}

TEST(draw_groups_compare, deep_and_flat_trees_larger_than_the_window) {
    virtual_terminal terminal(12, 200);  // 6 rows
    std::vector<test_group> flat, deep, saw;
    for (int i = 0; i < 300; ++i) {
        std::string name = "f";
        name += std::to_string(i);
        flat.push_back({name, i == 0 ? 0 : 1});
        deep.push_back({"d", i % 40});
        saw.push_back({"s", i % 7 == 6 ? 1 : 1 + i % 7});
    }
    for (const auto& groups : {flat, deep, saw}) {
        test_db db(groups);
        build_layout(db.get());
        for (int first_row : {0, 1, 5, 38, 39, 40, 150, 294, 299}) {
            for (bool focused : {false, true}) {
                scribble();
                reference_draw_groups(db.get(), first_row, first_row + 2, focused);
                const std::vector<chtype> want = snapshot();
                scribble();
                draw_groups(db.get(), first_row, first_row + 2, focused);
                const std::vector<chtype> got = snapshot();
                ASSERT_TRUE(got == want) << first_difference(got, want) << " in "
                                         << describe({}, 12, 200, first_row, first_row + 2, focused);
            }
        }
    }
}
