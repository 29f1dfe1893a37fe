#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "bench/bench.h"
#include "kpass/crypto.h"
#include "kpass/format.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"

namespace {

constexpr int runs = 5;

[[noreturn]] void refused(const char* step, int result) {
    std::fprintf(stderr, "kdbrowse-bench: %s refused the benchmark's database (%d)\n", step, result);
    std::exit(1);
}

// Once, as the program does it: a record, the file's bytes, a password.
double unlock_once(const std::vector<uint8_t>& file) {
    kpass_db db;
    uint8_t key[kpass_key_size];
    double start = now_seconds();
    int result = kpass_init_db(&db, file.data(), static_cast<int>(file.size()));
    if (result != 0) refused("kpass_init_db", result);
    kpass_hash_pw(bench_password, key);
    result = kpass_decrypt_db(&db, key);
    double seconds = now_seconds() - start;
    kpass_wipe(key, sizeof key);
    if (result != 0) refused("kpass_decrypt_db", result);
    kpass_free_db(&db);
    return seconds;
}

}  // namespace

double unlock_seconds(const std::vector<uint8_t>& file) {
    return fastest_of(runs, [&] { return unlock_once(file); })[0];
}

// The final key is computed outside the clock: with the few rounds of the
// file it costs next to nothing in either figure. The plain buffer is
// allocated inside, as decrypting does.
open_figures measure_open(const std::vector<uint8_t>& file) {
    const uint8_t* header = file.data();
    uint8_t composite[32], final_key[32], digest[32];
    kpass_hash_pw(bench_password, composite);
    kpass_final_key(composite, header + kdb_offset_transform_seed, kdb_read_u32(header + kdb_offset_rounds),
                    header + kdb_offset_master_seed, final_key);
    std::span<const uint8_t> encrypted(file.data() + kdb_header_size, file.size() - kdb_header_size);
    auto cipher = [&] {
        double start = now_seconds();
        secure_vector<uint8_t> plain(encrypted.size());
        kpass_cbc_decrypt(kpass_cipher::aes, final_key, header + kdb_offset_iv, encrypted, plain.data());
        size_t padding = plain.back();
        kpass_sha256({plain.data(), plain.size() - padding}, digest);
        double elapsed = now_seconds() - start;
        if (std::memcmp(digest, header + kdb_offset_hash, 32) != 0) refused("the contents hash check", 0);
        return elapsed;
    };
    std::array<double, 2> seconds = fastest_of(runs, [&] { return unlock_once(file); }, cipher);
    kpass_wipe(composite, sizeof composite);
    kpass_wipe(final_key, sizeof final_key);
    return {seconds[0], seconds[1]};
}
