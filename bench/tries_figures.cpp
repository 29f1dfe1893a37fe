#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench.h"
#include "db/password_encodings.h"
#include "kpass/kpass.h"

namespace {

constexpr int runs = 5;

// "αβ" typed in a UTF-8 terminal: the most encodings a text has, seven.
constexpr const char* greek = "\xce\xb1\xce\xb2";
constexpr uint8_t file_key[kpass_key_size] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

[[noreturn]] void unexpected(const char* what, int result) {
    std::fprintf(stderr, "kdbrowse-bench: %s gave %d, not the result expected\n", what, result);
    std::exit(1);
}

// One try_password on the file, initialised outside the clock.
double try_seconds(const std::vector<uint8_t>& file, const char* typed, const uint8_t* key_file_key, int expected) {
    kpass_db db;
    int result = kpass_init_db(&db, file.data(), static_cast<int>(file.size()));
    if (result != kpass_success) unexpected("kpass_init_db", result);
    double start = now_seconds();
    result = try_password(&db, typed, key_file_key);
    double seconds = now_seconds() - start;
    kpass_free_db(&db);
    if (result != expected) unexpected("try_password", result);
    return seconds;
}

}  // namespace

tries_figures measure_tries(uint32_t rounds) {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) unexpected("setlocale(LC_CTYPE, \"C.UTF-8\")", 0);
    const std::vector<password_bytes> encodings = password_encodings(greek, true);
    if (encodings.size() != 7) unexpected("the encodings of a Greek text", static_cast<int>(encodings.size()));
    const std::vector<uint8_t> ascii_file = small_kdb(rounds);
    const std::vector<uint8_t> greek_file = small_kdb(rounds, std::string(encodings.back().data()));
    std::array<double, 4> seconds = fastest_of(
        runs, [&] { return try_seconds(ascii_file, bench_password, nullptr, kpass_success); },
        [&] { return try_seconds(ascii_file, greek, nullptr, kpass_wrong_key); },
        [&] { return try_seconds(ascii_file, greek, file_key, kpass_wrong_key); },
        [&] { return try_seconds(greek_file, greek, nullptr, kpass_success); });
    return {seconds[0], seconds[1], seconds[2], seconds[3]};
}

double wrong_password_seconds(const std::vector<uint8_t>& file) {
    return fastest_of(runs, [&] { return try_seconds(file, "wrong horse battery staple", nullptr, kpass_wrong_key); })[0];
}
