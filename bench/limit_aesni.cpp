// The yardstick for the key transform: the fastest plain loops this
// processor runs on AES-NI, with nothing around them. Built with -maes
// -msse4.1 where the compiler can (KDBROWSE_BENCH_AESNI); its caller checks
// the processor first.
#include "bench/bench.h"
#include "bench/limit.h"

#ifdef KDBROWSE_BENCH_AESNI

#include "bench/limit_loop.h"

// Each chain is fourteen AES instructions a round and nothing else: the
// first round key's addition is folded into the last one's key (key 14
// XOR key 0), as a chain of rounds allows.
void limit_loop(uint32_t rounds, uint8_t state[32]) {
    __m128i keys[15];
    for (int k = 0; k < 15; ++k) keys[k] = _mm_set_epi32(k * 0x01010101, 0x5a5a5a5a ^ k, ~k, k * 977);
    const __m128i last = _mm_xor_si128(keys[14], keys[0]);
    __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 16));
    for (uint32_t round = 0; round < rounds; ++round) {
        for (int k = 1; k < 14; ++k) {
            left = _mm_aesenc_si128(left, keys[k]);
            right = _mm_aesenc_si128(right, keys[k]);
        }
        left = _mm_aesenclast_si128(left, last);
        right = _mm_aesenclast_si128(right, last);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), left);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 16), right);
}

double limit_seconds_aesni(limit_shape shape, uint32_t rounds) {
    __m128i keys[15];
    for (int k = 0; k < 15; ++k) keys[k] = limit_key(k, 0);
    return limit_seconds_among<1, __m128i, limit_xmm, limit_xmm, limit_xmm>(shape, keys, rounds);
}

#else

void limit_loop(uint32_t, uint8_t*) {}
double limit_seconds_aesni(limit_shape, uint32_t) { return -1; }

#endif
