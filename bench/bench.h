// The benchmark's measurements. Each returns one figure; main prints them
// as "name value" lines so that runs can be compared.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// Seconds on a steady clock, from an arbitrary start.
double now_seconds();

// Runs each measurement (returning seconds) count times, taking turns so
// that a change in the machine's load falls on all of them alike, and keeps
// the fastest run of each.
template <class... F>
std::array<double, sizeof...(F)> fastest_of(int count, F&&... runs) {
    std::array<double, sizeof...(F)> best;
    best.fill(std::numeric_limits<double>::infinity());
    for (int i = 0; i < count; ++i) {
        size_t k = 0;
        ((best[k] = std::min(best[k], runs()), ++k), ...);
    }
    return best;
}

// ---- The key transform (transform_figures.cpp).

struct transform_figures {
    double transform;             // the library's key transform, rounds per second
    std::optional<double> limit;  // the yardstick; none without AES-NI
};

// Both rates over rounds rounds. The yardstick is a bare AES-NI loop with
// both halves in flight.
transform_figures measure_transform(uint32_t rounds);
// The yardstick's loop (limit_aesni.cpp): AES-256 rounds times on both
// 16-byte halves of state, interleaved, under fixed round keys.
void limit_loop(uint32_t rounds, uint8_t state[32]);

// ---- Database files (kdb_files.cpp), under bench_password unless given
// another.

inline constexpr const char* bench_password = "correct horse battery staple";
inline constexpr uint32_t few_rounds = 6;

// A small database whose key takes rounds transform rounds.
std::vector<uint8_t> small_kdb(uint32_t rounds, const std::string& password = bench_password);
// entry_count entries spread evenly over group_count groups.
std::vector<uint8_t> large_kdb(uint32_t group_count, uint32_t entry_count, uint32_t rounds = few_rounds);
// entry_count entries in one group, whose notes are the text notes.
std::vector<uint8_t> notes_kdb(uint32_t entry_count, const std::string& notes);

// ---- Opening (open_figures.cpp). Each exits with a message when the
// library refuses the file.

// kpass_init_db + kpass_hash_pw + kpass_decrypt_db of the file, seconds.
double unlock_seconds(const std::vector<uint8_t>& file);

struct open_figures {
    double open;    // as unlock_seconds: decryption, hash check and parsing
    double cipher;  // only CBC decryption of the contents and one SHA-256 pass
};

open_figures measure_open(const std::vector<uint8_t>& file);

// ---- Every try of a typed password at once (tries_figures.cpp), through
// try_password on files of rounds rounds, under the kernel that
// KDBROWSE_AES leaves chosen. Exits with a message when a result is not
// the one expected.

struct tries_figures {
    double one_try;        // an ASCII password, no key file: one key
    double wrong_tries7;   // a wrong password with 7 encodings
    double wrong_tries14;  // the same with a key file: 14 keys
    double last_try;       // a right password that matches on its 7th try
};

tries_figures measure_tries(uint32_t rounds);

// try_password with a wrong password on the file (initialised outside the
// clock), seconds.
double wrong_password_seconds(const std::vector<uint8_t>& file);

// ---- The processor's limit for many tries (limit_figures.cpp).

struct limit_figures {
    double seconds;     // the fastest split, rounds rounds
    std::string split;  // "3zmm+1ymm", or "2x(14xmm)" for two passes
};

// The fastest way this processor runs blocks independent AES-256 chains
// for rounds rounds, in registers no wider than widest blocks (4 with
// AVX-512, 2 with AVX2, 1 with AES-NI alone); none when it has no AES-NI.
std::optional<limit_figures> measure_limit(int blocks, int widest, uint32_t rounds);

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

// ---- Finding an entry (find_figures.cpp).

struct find_figures {
    double find;  // find_next_entry whose only match is the last entry in tree order
    double scan;  // one pass of strstr for the same text over the same fields
};

// Both over the unlocked file (large_kdb of 2,000 groups and 50,000 entries).
find_figures measure_find(const std::vector<uint8_t>& file);

// The same over hostile notes: 5 entries of 2 M "\u00e4" each, and a text of
// 60 "\u00e4" and an "x" that is nowhere. A search that compares the whole
// text at every place takes seconds there.
find_figures measure_hostile_find();
