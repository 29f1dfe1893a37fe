// What the fuzz targets and the seed writer share: the fixed password and
// seeds, and the databases the key-sequence fuzzer browses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kpass/writer/kdb_writer.h"

// The password every fuzzed file is sealed with and tried against.
inline constexpr const char* fuzz_password = "fuzz";

// Fixed seeds (so that a crash reproduces) and a rounds count that keeps
// the key transform cheap.
kdb_write_options fuzz_write_options(uint32_t rounds = 1);

// The database browsed by the key fuzzer: a deep tree with a level that
// jumps, a group with enough entries to scroll, an empty group, entries of
// no group, texts holding control characters and escape sequences, long
// texts, out-of-range packed times.
std::vector<kdb_group_spec> browse_groups();
std::vector<kdb_entry_spec> browse_entries();

// The other database "open" can switch to: no groups at all, only entries.
std::vector<kdb_entry_spec> groupless_entries();

// A title that would retitle a terminal if it reached it raw.
inline constexpr const char* hostile_title = "\033]0;owned\a\033[2J\r\n\t\x7f\x9b" "31m";
