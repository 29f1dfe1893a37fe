// The cost of "/": one search through a database, beside one plain pass
// that looks for the same text in the same fields with strstr. In a large
// database the only match is its last entry in tree order; in hostile
// notes nothing matches.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench.h"
#include "db/entry_search.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "screen/text_search.h"
#include "screen/utf8.h"

namespace {

// The title of large_kdb's last entry, which stands in its last group.
constexpr const char* last_title = "Account 50000";
constexpr const char* typed_text = "aCCOUNT 50000";

[[noreturn]] void failed(const char* what) {
    std::fprintf(stderr, "kdbrowse-bench: %s\n", what);
    std::exit(1);
}

bool plain_match(const kpass_entry* e, const char* text) {
    return std::strstr(e->title, text) != nullptr || std::strstr(e->username, text) != nullptr ||
           std::strstr(e->url, text) != nullptr || std::strstr(e->notes, text) != nullptr;
}

// The fastest of runs searches for typed (found in the last group, or
// nowhere) and of runs plain passes for plain (in one entry, or none).
// The search runs in a UTF-8 locale when the system has one, as most
// users' do: its ASCII texts take the byte-wise path there too.
find_figures time_find(const std::vector<uint8_t>& file, const char* typed, const char* plain, bool found,
                       int runs) {
    kpass_db db;
    uint8_t key[kpass_key_size];
    kpass_hash_pw(bench_password, key);
    if (kpass_init_db(&db, file.data(), static_cast<int>(file.size())) != 0 || kpass_decrypt_db(&db, key) != 0)
        failed("the library refused the find benchmark's database");
    kpass_wipe(key, sizeof key);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const int expected_group = found ? static_cast<int>(db.group_count) - 1 : -1;

    auto find = [&] {
        double start = now_seconds();
        const search_pattern pattern = new_search_pattern(typed, utf8_locale());
        found_entry result = find_next_entry(&db, {0, -1}, pattern, search_direction::forward);
        double seconds = now_seconds() - start;
        if (result.group_index != expected_group) failed("the search did not find what it should");
        return seconds;
    };
    auto scan = [&] {
        double start = now_seconds();
        uint32_t matches = 0;
        for (uint32_t i = 0; i < db.entry_count; ++i) matches += plain_match(db.entries[i], plain);
        double seconds = now_seconds() - start;
        if (matches != (found ? 1u : 0u)) failed("the plain pass did not find what it should");
        return seconds;
    };
    std::array<double, 2> seconds = fastest_of(runs, find, scan);
    std::setlocale(LC_CTYPE, "C");
    kpass_free_db(&db);
    return {seconds[0], seconds[1]};
}

std::string repeated(const char* text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

}  // namespace

// Each run takes milliseconds: enough runs that one misses the other
// processes.
find_figures measure_find(const std::vector<uint8_t>& file) {
    return time_find(file, typed_text, last_title, true, 20);
}

find_figures measure_hostile_find() {
    const std::string needle = repeated("\u00e4", 60) + "x";
    return time_find(notes_kdb(5, repeated("\u00e4", 2'000'000)), needle.c_str(), needle.c_str(), false, 3);
}
