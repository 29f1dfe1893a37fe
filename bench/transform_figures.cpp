#include <array>

#include "bench/bench.h"
#include "kpass/crypto.h"

namespace {

constexpr int runs = 5;

bool limit_loop_runs() {
#ifdef KDBROWSE_BENCH_AESNI
    return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1");
#else
    return false;
#endif
}

}  // namespace

transform_figures measure_transform(uint32_t rounds) {
    std::array<uint8_t, 32> seed{}, key{}, state{};
    for (int i = 0; i < 32; ++i) seed[i] = static_cast<uint8_t>(i * 7 + 1);
    auto transform = [&] {
        double start = now_seconds();
        kpass_transform_key(seed.data(), rounds, key.data());
        return now_seconds() - start;
    };
    if (!limit_loop_runs()) return {rounds / fastest_of(runs, transform)[0], std::nullopt};
    auto limit = [&] {
        double start = now_seconds();
        limit_loop(rounds, state.data());
        return now_seconds() - start;
    };
    std::array<double, 2> seconds = fastest_of(runs, transform, limit);
    return {rounds / seconds[0], rounds / seconds[1]};
}
