// The benchmark's measurements. Each returns one figure; main prints them
// as "name value" lines so that runs can be compared.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Seconds on a steady clock, from an arbitrary start.
double now_seconds();

// The fastest of count runs of a measurement that returns seconds.
template <class F>
double fastest_of(int count, F&& run) {
    double best = run();
    for (int i = 1; i < count; ++i) {
        double seconds = run();
        if (seconds < best) best = seconds;
    }
    return best;
}

// ---- The key transform (transform_figures.cpp).

// The library's key transform, rounds per second over rounds rounds.
double transform_rounds_per_second(uint32_t rounds);
// The yardstick: a bare AES-NI loop with both halves in flight; none where
// the build or the processor has no AES-NI.
std::optional<double> limit_rounds_per_second(uint32_t rounds);
// The yardstick's loop (limit_aesni.cpp): AES-256 rounds times on both
// 16-byte halves of state, interleaved, under fixed round keys.
void limit_loop(uint32_t rounds, uint8_t state[32]);

// ---- Database files (kdb_files.cpp), all under bench_password.

inline constexpr const char* bench_password = "correct horse battery staple";

// A small database whose key takes rounds transform rounds.
std::vector<uint8_t> small_kdb(uint32_t rounds);
// entry_count entries spread evenly over group_count groups, few rounds.
std::vector<uint8_t> large_kdb(uint32_t group_count, uint32_t entry_count);

// ---- Opening (open_figures.cpp), fastest of a few runs.

// kpass_init_db + kpass_hash_pw + kpass_decrypt_db of the file; exits with
// a message when the library refuses it.
double unlock_seconds(const std::vector<uint8_t>& file);
// Only the cryptography of that: CBC decryption of the contents and one
// SHA-256 pass over them.
double cipher_seconds(const std::vector<uint8_t>& file);

// ---- Memory (memory_figure.cpp).

struct rss_figures {
    uint64_t before_open;  // peak RSS of the fresh process before loading
    uint64_t peak;         // peak RSS after loading and unlocking
};

// Runs this program again as a fresh process that loads and unlocks the
// file at path as kdbrowse does, and reads its peak RSS.
std::optional<rss_figures> peak_rss_of_opening(const std::string& path);
// The fresh process's part; its exit status for main.
int report_peak_rss(const char* path);
inline constexpr const char* peak_rss_option = "--peak-rss-of";

// ---- Redrawing (redraw_figures.cpp).

enum class tree_shape { flat, deep };

// Seconds a cursor step's redraw takes (draw_groups + draw_entries) on a
// 50x200 terminal, group_count groups of 10 entries, cursor in the middle.
double redraw_seconds(tree_shape shape, uint32_t group_count);
