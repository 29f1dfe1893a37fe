#include <cmath>
#include <string>

#include "bench/bench.h"
#include "bench/limit.h"
#include "kpass/crypto.h"

namespace {

constexpr uint32_t probe_rounds = 100'000;
constexpr int probe_runs = 3;
constexpr int runs = 5;

// One pass of shape, in the file built for its widest register.
double pass_seconds(limit_shape shape, uint32_t rounds) {
    if (shape.zmm > 0) return limit_seconds_vaes512(shape, rounds);
    if (shape.ymm > 0) return limit_seconds_vaes256(shape, rounds);
    return limit_seconds_aesni(shape, rounds);
}

struct split {
    limit_shape shape;
    int passes;
};

double split_seconds(split s, uint32_t rounds) {
    double seconds = 0;
    for (int pass = 0; pass < s.passes; ++pass) seconds += pass_seconds(s.shape, rounds);
    return seconds;
}

std::string split_name(split s) {
    std::string name;
    for (auto [count, width] : {std::pair{s.shape.zmm, "zmm"}, {s.shape.ymm, "ymm"}, {s.shape.xmm, "xmm"}}) {
        if (count == 0) continue;
        if (!name.empty()) name.append("+");
        name.append(std::to_string(count)).append(width);
    }
    if (s.passes == 1) return name;
    return std::to_string(s.passes).append("x(").append(name).append(")");
}

// Which widths the processor runs, as the library's kernels find them.
bool widest_runs(int widest) {
    if (widest == 4) return kpass_aes_kernel_usable(kpass_aes_kernel::vaes512);
    if (widest == 2) return kpass_aes_kernel_usable(kpass_aes_kernel::vaes256);
    return kpass_aes_kernel_usable(kpass_aes_kernel::aesni);
}

}  // namespace

// Every split of blocks into equal passes of the sizes the loops are built
// for, each pass in every shape of registers no wider than widest, is run
// briefly; the fastest is then measured at full length.
std::optional<limit_figures> measure_limit(int blocks, int widest, uint32_t rounds) {
    if (!widest_runs(1)) return std::nullopt;
    std::optional<split> best;
    double best_seconds = INFINITY;
    for (int width : {1, 2, 4}) {
        if (width > widest || !widest_runs(width)) continue;
        for (int i = 0; i < limit_shape_count(width); ++i) {
            const limit_shape shape = limit_shape_at(width, i);
            if (blocks % limit_blocks(shape) != 0) continue;
            const split s{shape, blocks / limit_blocks(shape)};
            const double seconds = fastest_of(probe_runs, [&] { return split_seconds(s, probe_rounds); })[0];
            if (seconds >= 0 && seconds < best_seconds) best = s, best_seconds = seconds;
        }
    }
    if (!best) return std::nullopt;
    return limit_figures{fastest_of(runs, [&] { return split_seconds(*best, rounds); })[0], split_name(*best)};
}
