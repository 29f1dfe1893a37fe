#include "fixtures.h"

kdb_write_options fuzz_write_options(uint32_t rounds) {
    kdb_write_options options;
    options.rounds = rounds;
    std::array<uint8_t, 16> seed{};
    std::array<uint8_t, 32> transform{};
    for (size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<uint8_t>(0x10 + i);
    for (size_t i = 0; i < transform.size(); ++i) transform[i] = static_cast<uint8_t>(0x80 + i);
    options.master_seed = seed;
    options.iv = seed;
    options.transform_seed = transform;
    return options;
}

namespace {

kdb_group_spec group(uint32_t id, const std::string& name, uint16_t level) {
    kdb_group_spec g;
    g.id = id;
    g.name = name;
    g.level = level;
    g.ctime = g.mtime = g.atime = kdb_pack_time(2024, 5, 6, 7, 8, 9);
    g.etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    return g;
}

kdb_entry_spec entry(uint32_t group_id, const std::string& title, const std::string& username,
                     const std::string& password) {
    kdb_entry_spec e;
    e.group_id = group_id;
    e.title = title;
    e.username = username;
    e.password = password;
    e.url = "https://example.com/" + title.substr(0, 8);
    e.notes = "line one\nline two\ttabbed";
    for (size_t i = 0; i < e.uuid.size(); ++i) e.uuid[i] = static_cast<uint8_t>(title.size() * 7 + i);
    e.ctime = e.mtime = e.atime = kdb_pack_time(2023, 1, 2, 3, 4, 5);
    e.etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    return e;
}

}  // namespace

std::vector<kdb_group_spec> browse_groups() {
    return {
        group(1, "Internet", 0),
        group(2, "Social \033]0;x\a", 1),
        group(3, "Deep", 5),  // a level that jumps
        group(4, std::string(90, 'W'), 2),
        group(5, "Empty", 0),
        group(6, "Many", 0),
        group(7, "", 1),
    };
}

std::vector<kdb_entry_spec> browse_entries() {
    std::vector<kdb_entry_spec> entries;
    entries.push_back(entry(1, "Wiki", "alice", "secret-1"));
    entries.push_back(entry(1, hostile_title, "\033[31mred", "\a\b\x1b"));
    entries.push_back(entry(2, std::string(300, 'T'), std::string(200, 'u'), std::string(260, 'p')));
    kdb_entry_spec odd_times = entry(3, "Odd times", "bob", "pw");
    odd_times.ctime = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};  // month 15, day 31, hour 31, minute 63, second 63
    odd_times.mtime = {0, 0, 0, 0, 0};                 // year 0, month 0
    odd_times.atime = kdb_pack_time(2024, 13, 1, 12, 0, 63);
    odd_times.binary = std::string("\0\1\2attachment", 13);
    odd_times.description = "file.bin";
    entries.push_back(odd_times);
    for (int i = 0; i < 40; ++i) entries.push_back(entry(6, "Entry " + std::to_string(i), "user", "pw"));
    entries.push_back(entry(99, "No such group", "nobody", "none"));
    entries.push_back(entry(4, "\xc3\xa9t\xc3\xa9 \xff\xfe", "\xe2\x80\xae" "rtl", "\x7f"));
    return entries;
}

std::vector<kdb_entry_spec> groupless_entries() {
    return {entry(1, "Orphan", "o", "p"), entry(0, "Zero group", "z", "q")};
}
