// The databases the benchmark opens, written with the project's own writer.
#include <string>

#include "bench/bench.h"
#include "kpass/writer/kdb_writer.h"

namespace {

std::string numbered(const char* prefix, uint32_t number) { return prefix + std::to_string(number); }

kdb_group_spec group(uint32_t id, uint16_t level) {
    kdb_group_spec g;
    g.id = id;
    g.name = numbered("Group ", id);
    g.level = level;
    g.image_id = 48;
    g.ctime = g.mtime = g.atime = kdb_pack_time(2024, 3, 14, 15, 9, 26);
    g.etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    return g;
}

// An entry of about the size people keep: a title, a user name, a
// 20-character password, a URL and a line of notes, no attachment.
kdb_entry_spec entry(uint32_t number, uint32_t group_id) {
    kdb_entry_spec e;
    for (int i = 0; i < 16; ++i) e.uuid[i] = static_cast<uint8_t>((number >> (8 * (i % 4))) + i);
    e.group_id = group_id;
    e.image_id = 0;
    e.title = numbered("Account ", number);
    e.url = numbered("https://www.example.com/login/", number);
    e.username = numbered("user", number) + "@example.com";
    e.password = numbered("pw-", number * 2654435761u) + "-Xq7!zr";
    e.password.resize(20, '#');
    e.notes = "Security question: first pet's name. Recovery codes in the safe.";
    e.ctime = e.mtime = e.atime = kdb_pack_time(2024, 3, 14, 15, 9, 26);
    e.etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    return e;
}

}  // namespace

std::vector<uint8_t> small_kdb(uint32_t rounds, const std::string& password) {
    kdb_write_options options;
    options.rounds = rounds;
    std::vector<kdb_group_spec> groups = {group(1, 0), group(2, 1)};
    std::vector<kdb_entry_spec> entries = {entry(1, 1), entry(2, 2), entry(3, 2)};
    return kdb_write(options, groups, entries, password);
}

// Groups in tree order: every tenth one at the top level, the others its
// subgroups.
std::vector<uint8_t> large_kdb(uint32_t group_count, uint32_t entry_count, uint32_t rounds) {
    kdb_write_options options;
    options.rounds = rounds;
    std::vector<kdb_group_spec> groups;
    groups.reserve(group_count);
    for (uint32_t i = 0; i < group_count; ++i) groups.push_back(group(i + 1, i % 10 == 0 ? 0 : 1));
    std::vector<kdb_entry_spec> entries;
    entries.reserve(entry_count);
    for (uint32_t i = 0; i < entry_count; ++i)
        entries.push_back(entry(i + 1, static_cast<uint32_t>(static_cast<uint64_t>(i) * group_count / entry_count) + 1));
    return kdb_write(options, groups, entries, bench_password);
}

std::vector<uint8_t> notes_kdb(uint32_t entry_count, const std::string& notes) {
    kdb_write_options options;
    options.rounds = few_rounds;
    std::vector<kdb_entry_spec> entries;
    for (uint32_t i = 0; i < entry_count; ++i) {
        entries.push_back(entry(i + 1, 1));
        entries.back().notes = notes;
    }
    return kdb_write(options, {group(1, 0)}, entries, bench_password);
}
