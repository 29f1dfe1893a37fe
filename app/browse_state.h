// Where the user is while browsing: focus, cursors and scroll offsets.
#pragma once

struct browse_state {
    int focus;                 // 0: group tree, 1: entry table
    int group_cursor;          // group under the tree cursor
    int group_first_row;       // group drawn on the tree's first row
    int shown_group;           // group whose entries the table commands use
    int entry_cursor;          // position of the entry under the table cursor
    int entry_first_position;  // position drawn on the table's first row
    int shown_entry_count;     // entries of the shown group
    bool reveal;               // cursor entry's password drawn in clear
};
