#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cells.h"
#include "keys/keymap.h"
#include "screen/layout.h"
#include "support/virtual_terminal.h"
#include "test_db.h"

namespace {

const std::string group_help = "a:add-group  e:edit  o:open  q:quit  s:save  [tab],[return]:select  ";
const std::string entry_help =
    "a:add-entry  e,[return]:edit  [tab]:groups  o:open  q:quit  [space],r:reveal  s:save  x:xclip  ";

void start(int columns) {
    static test_db db({{"g", 0}});
    init_keymaps();
    build_layout(db.get());
    ASSERT_EQ(getmaxx(help_bar), columns);
}

}  // namespace

TEST(help_bar, lists_the_keys_of_each_pane) {
    virtual_terminal terminal(24, 120);
    start(120);
    ASSERT_EQ(group_help.size(), 68u);
    ASSERT_EQ(entry_help.size(), 95u);
    draw_help_bar(0);
    EXPECT_TRUE(text_row_is(help_bar, 0, group_help));
    EXPECT_EQ(screen_row(23), group_help + std::string(120 - 68, ' '));
    draw_help_bar(1);
    EXPECT_TRUE(text_row_is(help_bar, 0, entry_help));
    EXPECT_EQ(screen_row(23), entry_help + std::string(120 - 95, ' '));
    // The shorter text leaves nothing of the longer one.
    draw_help_bar(0);
    EXPECT_TRUE(text_row_is(help_bar, 0, group_help));
}

TEST(help_bar, other_panes_and_empty_maps_give_a_blank_bar) {
    virtual_terminal terminal(24, 120);
    start(120);
    for (int which : {2, -1}) {
        draw_help_bar(1);
        draw_help_bar(which);
        EXPECT_TRUE(row_is_blank(help_bar, 0)) << which;
        EXPECT_EQ(screen_row(23), std::string(120, ' ')) << which;
    }
    draw_help_bar(0);
    std::free(group_keymap);
    group_keymap = new_keymap();
    draw_help_bar(0);
    EXPECT_TRUE(row_is_blank(help_bar, 0));
}

TEST(help_bar, a_narrow_bar_shows_the_beginning_only) {
    virtual_terminal terminal(24, 40);
    start(40);
    draw_help_bar(1);
    // Writing stops in the last column, which the closing blank line takes.
    EXPECT_TRUE(text_row_is(help_bar, 0, entry_help.substr(0, 39)));
    EXPECT_EQ(screen_char(22, 0), acs(ACS_LLCORNER));
}

TEST(help_bar, draws_with_the_window_attributes) {
    virtual_terminal terminal(24, 120);
    start(120);
    wattrset(help_bar, A_UNDERLINE);
    draw_help_bar(0);
    EXPECT_TRUE(text_row_is(help_bar, 0, group_help, A_UNDERLINE));
}

TEST(help_bar, draws_nothing_without_a_layout) {
    virtual_terminal terminal(24, 80);
    init_keymaps();
    help_bar = nullptr;
    draw_help_bar(0);
    EXPECT_EQ(screen_row(23), std::string(80, ' '));
}
