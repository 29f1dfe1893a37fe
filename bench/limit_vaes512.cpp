// The yardstick's passes with zmm registers (VAES with AVX-512), the round
// keys held in registers of their own. Built with -mavx512f -mavx512vl
// -mvaes where the compiler can (KDBROWSE_BENCH_VAES512); its caller checks
// the processor first.
#include "bench/limit.h"

#ifdef KDBROWSE_BENCH_VAES512

// GCC 12's casts from zmm to ymm start from an undefined register, which
// it then warns of where they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include "bench/limit_loop.h"

double limit_seconds_vaes512(limit_shape shape, uint32_t rounds) {
    __m512i keys[15];
    for (int k = 0; k < 15; ++k) {
        keys[k] = _mm512_setzero_si512();
        keys[k] = _mm512_inserti32x4(keys[k], limit_key(k, 0), 0);
        keys[k] = _mm512_inserti32x4(keys[k], limit_key(k, 1), 1);
        keys[k] = _mm512_inserti32x4(keys[k], limit_key(k, 2), 2);
        keys[k] = _mm512_inserti32x4(keys[k], limit_key(k, 3), 3);
    }
    return limit_seconds_among<4, __m512i, limit_zmm, limit_ymm, limit_xmm>(shape, keys, rounds);
}

#else

double limit_seconds_vaes512(limit_shape, uint32_t) { return -1; }

#endif
