#include "db/queries.h"

#include "kpass/kpass.h"

// Every query scans the arrays afresh: a record never changes while it is
// open, so nothing needs caching.

unsigned count_group_entries(const kpass_db* db, int group_index) {
    if (db->entry_count == 0) return 0;
    if (group_index < 0 || static_cast<uint32_t>(group_index) >= db->group_count) return 0;
    uint32_t id = db->groups[group_index]->id;
    unsigned count = 0;
    for (uint32_t i = 0; i < db->entry_count; ++i)
        if (db->entries[i]->group_id == id) ++count;
    return count;
}

kpass_entry* group_entry_at(const kpass_db* db, int group_index, int position) {
    if (db->entry_count == 0) return nullptr;
    if (group_index < 0 || static_cast<uint32_t>(group_index) >= db->group_count) return nullptr;
    if (position < 0) return nullptr;
    uint32_t id = db->groups[group_index]->id;
    long remaining = static_cast<long>(position) + 1;
    for (uint32_t i = 0; i < db->entry_count; ++i) {
        if (db->entries[i]->group_id == id && --remaining == 0) return db->entries[i];
    }
    return nullptr;
}

int find_group_by_id(const kpass_db* db, uint32_t group_id) {
    for (uint32_t i = 0; i < db->group_count; ++i)
        if (db->groups[i]->id == group_id) return static_cast<int>(i);
    return static_cast<int>(db->group_count);
}
