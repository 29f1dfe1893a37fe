// Finding the next entry whose texts hold a text, in the order the screen
// shows entries: groups in tree order (the group array's), and within a
// group its entries by position (db/queries.h).
#pragma once

struct kpass_db;
struct kpass_entry;
struct search_pattern;

// Where a search begins: just after the entry at after_position within the
// group at group_index, or at that group's first entry when after_position
// is -1. A position at or past the group's last entry begins the search
// with the next group's entries.
struct search_start {
    int group_index;
    int after_position;
};

// Which way the walk goes: the screen's order, or that order reversed.
enum class search_direction { forward, backward };

// The entry found: its group and its position there. group_index is -1
// when nothing was found.
struct found_entry {
    int group_index;
    int position;
};

// True when the entry's title, user name, URL or notes contain the
// pattern's text (screen/text_search.h). The password is never searched.
bool entry_matches(const kpass_entry* entry, const search_pattern& pattern);

// The first entry that matches, walking from start: the rest of the start
// group, the groups after it, then round from the first group, and last
// the start group's entries up to the one the search began after (so a
// sole match is found again from itself). Two groups with one id show the
// same entries, which are visited under each of them; an entry whose group
// id names no group is never shown, so never found. Nothing is found in a
// database without groups, or for a start group_index outside the array.
//
//
// Backward, the same walk reversed: the start group's entries before the
// one at after_position, nearest first (none when it is -1: from the tree
// the walk begins with the group above), then the groups before it, each
// from its last entry, round from the last group, and last the start
// group's other entries, from its last one down to the one at
// after_position (a sole match is found again from itself here too).
//
// One pass over the entry array, plus a table from group id to the nearest
// group with that id, built afresh for each search: never a pass a group.
found_entry find_next_entry(const kpass_db* db, search_start start, const search_pattern& pattern,
                            search_direction direction);
