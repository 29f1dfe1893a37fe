// The cost of "/": one search through a large database whose only match is
// its last entry in tree order, beside one plain pass that looks for the
// same text in the same fields with strstr.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench.h"
#include "db/entry_search.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "screen/text_search.h"
#include "screen/utf8.h"

namespace {

constexpr int runs = 20;  // each takes milliseconds: enough runs that one misses the other processes
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

}  // namespace

// The search runs in a UTF-8 locale when the system has one, as most users'
// do: its ASCII texts take the byte-wise path there too.
find_figures measure_find(const std::vector<uint8_t>& file) {
    kpass_db db;
    uint8_t key[kpass_key_size];
    kpass_hash_pw(bench_password, key);
    if (kpass_init_db(&db, file.data(), static_cast<int>(file.size())) != 0 || kpass_decrypt_db(&db, key) != 0)
        failed("the library refused the find benchmark's database");
    kpass_wipe(key, sizeof key);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const int last_group = static_cast<int>(db.group_count) - 1;

    auto find = [&] {
        double start = now_seconds();
        const search_pattern pattern = new_search_pattern(typed_text, utf8_locale());
        found_entry found = find_next_entry(&db, {0, -1}, pattern, search_direction::forward);
        double seconds = now_seconds() - start;
        if (found.group_index != last_group) failed("the search did not find the last entry");
        return seconds;
    };
    auto scan = [&] {
        double start = now_seconds();
        uint32_t matches = 0;
        for (uint32_t i = 0; i < db.entry_count; ++i) matches += plain_match(db.entries[i], last_title);
        double seconds = now_seconds() - start;
        if (matches != 1) failed("the plain pass did not find exactly one entry");
        return seconds;
    };
    std::array<double, 2> seconds = fastest_of(runs, find, scan);
    std::setlocale(LC_CTYPE, "C");
    kpass_free_db(&db);
    return {seconds[0], seconds[1]};
}
