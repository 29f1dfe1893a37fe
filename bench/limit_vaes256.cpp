// The yardstick's passes whose widest registers are ymm (VAES with AVX2).
// Built with -mavx2 -mvaes where the compiler can (KDBROWSE_BENCH_VAES256);
// its caller checks the processor first.
#include "bench/limit.h"

#ifdef KDBROWSE_BENCH_VAES256

#include "bench/limit_loop.h"

double limit_seconds_vaes256(limit_shape shape, uint32_t rounds) {
    __m256i keys[15];
    for (int k = 0; k < 15; ++k) keys[k] = _mm256_set_m128i(limit_key(k, 1), limit_key(k, 0));
    return limit_seconds_among<2, __m256i, limit_ymm, limit_ymm, limit_xmm>(shape, keys, rounds);
}

#else

double limit_seconds_vaes256(limit_shape, uint32_t) { return -1; }

#endif
