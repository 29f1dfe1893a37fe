// The yardstick for many tries at once: bare loops of independent AES-256
// chains, split into registers of any mix of widths (zmm four blocks, ymm
// two, xmm one) and into passes, the state never stored until the end and
// the round keys in registers where they fit, else read from memory. It
// shares no code with the library's kernels.
//
// Each width's loops live in a file of their own built with its
// instructions (limit_aesni.cpp, limit_vaes256.cpp, limit_vaes512.cpp):
// this header is included there too, so it holds nothing but plain types
// and constant functions.
#pragma once

#include <cstdint>

// One pass: how many registers of each width it fills.
struct limit_shape {
    int zmm, ymm, xmm;
};

constexpr bool operator==(limit_shape a, limit_shape b) { return a.zmm == b.zmm && a.ymm == b.ymm && a.xmm == b.xmm; }

constexpr int limit_blocks(limit_shape s) { return 4 * s.zmm + 2 * s.ymm + s.xmm; }

// The passes measured: 14 blocks (7 tries) in one or two passes, 28 (14
// tries) in one, two or four. At most 15 registers hold chains: AES-NI and
// AVX2 have 16, and the compiler needs one of them for itself (with all 16
// it moves chains through the stack); AVX-512 keeps the round keys in the
// other 16.
inline constexpr int limit_pass_sizes[] = {7, 14, 28};
inline constexpr int limit_max_registers = 15;

// The index-th pass shape, in a fixed order, whose widest register holds
// widest blocks (4, 2 or 1); a shape of no registers past the last.
constexpr limit_shape limit_shape_at(int widest, int index) {
    for (int blocks : limit_pass_sizes)
        for (int zmm = widest == 4 ? 1 : 0; zmm <= (widest == 4 ? blocks / 4 : 0); ++zmm)
            for (int ymm = widest == 2 ? 1 : 0; ymm <= (widest >= 2 ? (blocks - 4 * zmm) / 2 : 0); ++ymm) {
                limit_shape shape{zmm, ymm, blocks - 4 * zmm - 2 * ymm};
                if (shape.zmm + shape.ymm + shape.xmm <= limit_max_registers && index-- == 0) return shape;
            }
    return {0, 0, 0};
}

constexpr int limit_shape_count(int widest) {
    int count = 0;
    while (limit_blocks(limit_shape_at(widest, count)) > 0) ++count;
    return count;
}

// Seconds that rounds rounds of one pass of shape take, in the file for
// its widest register; negative when that file was not built with its
// instructions. The caller checks that the processor runs them.
double limit_seconds_aesni(limit_shape shape, uint32_t rounds);
double limit_seconds_vaes256(limit_shape shape, uint32_t rounds);
double limit_seconds_vaes512(limit_shape shape, uint32_t rounds);
