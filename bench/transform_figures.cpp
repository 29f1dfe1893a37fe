#include <array>

#include "bench/bench.h"
#include "kpass/crypto.h"

namespace {

constexpr int runs = 3;

bool limit_loop_runs() {
#ifdef KDBROWSE_BENCH_AESNI
    return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1");
#else
    return false;
#endif
}

}  // namespace

double transform_rounds_per_second(uint32_t rounds) {
    std::array<uint8_t, 32> seed{}, key{};
    for (int i = 0; i < 32; ++i) seed[i] = static_cast<uint8_t>(i * 7 + 1);
    double seconds = fastest_of(runs, [&] {
        double start = now_seconds();
        kpass_transform_key(seed.data(), rounds, key.data());
        return now_seconds() - start;
    });
    return rounds / seconds;
}

std::optional<double> limit_rounds_per_second(uint32_t rounds) {
    if (!limit_loop_runs()) return std::nullopt;
    std::array<uint8_t, 32> state{};
    double seconds = fastest_of(runs, [&] {
        double start = now_seconds();
        limit_loop(rounds, state.data());
        return now_seconds() - start;
    });
    return rounds / seconds;
}
