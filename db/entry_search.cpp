#include "db/entry_search.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "kpass/kpass.h"
#include "screen/text_search.h"

// The walk is done as one pass over the entry array. Each entry gets the
// distance of its group from the start group in the walk's order (the
// nearest group, when several share its id), and the first match at the
// smallest distance is the one found: entries of one group come by
// position, which is the array's order. Distances: 0 for the start group's
// entries after the start, 1 for the next group, and so on round the tree,
// the start group's other entries last, at group_count. Backward the
// distances count the other way round the tree (1 for the group before the
// start group), 0 is for the start group's entries before the start, and
// of the matches at the smallest distance the last one in the array wins.

namespace {

constexpr std::uint64_t unreached = UINT64_MAX;  // an entry of no group

struct id_distance {
    std::uint32_t id;
    std::uint64_t distance;
};

// Steps from the start group to group g in the walk's direction.
std::uint64_t steps(std::uint32_t g, std::uint32_t start, std::uint64_t n, bool backward) {
    if (g == start) return n;
    return backward ? (start + n - g) % n : (g + n - start) % n;
}

// The nearest distance of each group id, sorted by id.
std::vector<id_distance> distances_by_id(const kpass_db* db, std::uint32_t start, bool backward) {
    const std::uint64_t n = db->group_count;
    std::vector<id_distance> table;
    table.reserve(db->group_count);
    for (std::uint32_t g = 0; g < db->group_count; ++g) table.push_back({db->groups[g]->id, steps(g, start, n, backward)});
    std::sort(table.begin(), table.end(), [](const id_distance& a, const id_distance& b) {
        return a.id != b.id ? a.id < b.id : a.distance < b.distance;
    });
    table.erase(std::unique(table.begin(), table.end(),
                            [](const id_distance& a, const id_distance& b) { return a.id == b.id; }),
                table.end());
    return table;
}

std::uint64_t distance_of(const std::vector<id_distance>& table, std::uint32_t id) {
    auto at = std::lower_bound(table.begin(), table.end(), id,
                               [](const id_distance& entry, std::uint32_t key) { return entry.id < key; });
    return at != table.end() && at->id == id ? at->distance : unreached;
}

int position_of(const kpass_db* db, std::uint32_t index) {
    const std::uint32_t id = db->entries[index]->group_id;
    int position = 0;
    for (std::uint32_t i = 0; i < index; ++i)
        if (db->entries[i]->group_id == id) ++position;
    return position;
}

}  // namespace

bool entry_matches(const kpass_entry* entry, const search_pattern& pattern) {
    return text_contains(entry->title, pattern) || text_contains(entry->username, pattern) ||
           text_contains(entry->url, pattern) || text_contains(entry->notes, pattern);
}

found_entry find_next_entry(const kpass_db* db, search_start start, const search_pattern& pattern,
                            search_direction direction) {
    if (start.group_index < 0 || static_cast<std::uint32_t>(start.group_index) >= db->group_count)
        return {-1, 0};
    const bool backward = direction == search_direction::backward;
    const auto s = static_cast<std::uint32_t>(start.group_index);
    const std::uint32_t start_id = db->groups[s]->id;
    const std::vector<id_distance> table = distances_by_id(db, s, backward);

    std::uint64_t best = unreached;
    std::uint32_t best_index = 0;
    long start_position = 0;  // position in the start group of the next of its entries
    // Entries of one group mostly stand together: the last id's distance is kept.
    std::uint32_t last_id = start_id;
    std::uint64_t last_distance = distance_of(table, start_id);
    for (std::uint32_t i = 0; i < db->entry_count; ++i) {
        const kpass_entry* entry = db->entries[i];
        if (entry->group_id != last_id) {
            last_id = entry->group_id;
            last_distance = distance_of(table, last_id);
        }
        std::uint64_t distance = last_distance;
        if (entry->group_id == start_id) {
            const long position = start_position++;
            if (backward ? position < start.after_position : position > start.after_position) distance = 0;
        }
        // Backward, a later match at the same distance comes earlier in the walk.
        const bool nearer = backward ? distance <= best && distance != unreached : distance < best;
        if (nearer && entry_matches(entry, pattern)) {
            best = distance;
            best_index = i;
            if (best == 0 && !backward) break;  // nothing comes earlier
        }
    }
    if (best == unreached) return {-1, 0};
    const std::uint64_t n = db->group_count;
    const auto group = static_cast<int>(backward ? (s + n - best % n) % n : (s + best) % n);
    return {group, position_of(db, best_index)};
}
