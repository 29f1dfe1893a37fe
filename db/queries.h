// Relating entries to their groups. An entry's position is its number among
// the entries of its group, in the order of the entry array.
#pragma once

#include <cstdint>

struct kpass_db;
struct kpass_entry;

// Number of entries that belong to the group at group_index.
unsigned count_group_entries(const kpass_db* db, int group_index);

// The entry at position within the group at group_index, or null.
kpass_entry* group_entry_at(const kpass_db* db, int group_index, int position);

// Index of the first group whose id is group_id, or the group count.
int find_group_by_id(const kpass_db* db, uint32_t group_id);
