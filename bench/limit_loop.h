// The yardstick's bare pass, for the files that build it with their own
// instructions (limit_aesni.cpp, limit_vaes256.cpp, limit_vaes512.cpp).
// Internal linkage throughout and no standard library templates: an inline
// definition shared between those files could be taken from the one built
// for the widest instructions.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <utility>

#include "bench/limit.h"

double now_seconds();

namespace {

volatile int limit_sink;

// Registers of one width in a pass (one unused slot when there are none).
template <class Lanes, int count>
struct limit_chains {
    typename Lanes::vector at[count > 0 ? count : 1];
};

template <class Lanes, int... i>
void limit_start(limit_chains<Lanes, sizeof...(i)>& c, std::integer_sequence<int, i...>) {
    ((c.at[i] = Lanes::start(i)), ...);
}

// The rounds are written out, each chain kept in its register from one
// round to the next (given the intrinsics' free choice of registers, GCC 12
// moves chains through the stack between rounds), and the key either in a
// register or read from memory. Registers 16 to 31 only with AVX-512.
#ifdef __AVX512F__
#define LIMIT_REGISTER "v"
constexpr int limit_registers = 32;
#else
#define LIMIT_REGISTER "x"
constexpr int limit_registers = 16;
#endif
#ifdef __AVX__
#define LIMIT_ROUND(instruction) "v" instruction " %1, %0, %0"
#else
#define LIMIT_ROUND(instruction) instruction " %1, %0"
#endif

// One AES round (the last round's instruction when last) on a, the key in
// a register or read from memory.
template <bool last, class Vector>
Vector limit_aes(Vector a, Vector key) {
    if constexpr (last)
        asm(LIMIT_ROUND("aesenclast") : "+" LIMIT_REGISTER(a) : LIMIT_REGISTER(key));
    else
        asm(LIMIT_ROUND("aesenc") : "+" LIMIT_REGISTER(a) : LIMIT_REGISTER(key));
    return a;
}

template <bool last, class Vector>
Vector limit_aes(Vector a, const Vector* key) {
    if constexpr (last)
        asm(LIMIT_ROUND("aesenclast") : "+" LIMIT_REGISTER(a) : "m"(*key));
    else
        asm(LIMIT_ROUND("aesenc") : "+" LIMIT_REGISTER(a) : "m"(*key));
    return a;
}

// A key for the chains of Lanes: in a register, the low lanes of the
// widest key's; or from memory, the low bytes of the widest key's.
template <class Lanes, bool in_memory, class Key>
auto limit_key_of(const Key& key) {
    if constexpr (in_memory)
        return reinterpret_cast<const typename Lanes::vector*>(&key);
    else
        return Lanes::key(key);
}

// One round (the last when last) on every chain of Lanes.
template <class Lanes, bool in_memory, bool last, class Key, int... i>
void limit_round(limit_chains<Lanes, sizeof...(i)>& c, [[maybe_unused]] const Key& key,
                 std::integer_sequence<int, i...>) {
    ((c.at[i] = limit_aes<last>(c.at[i], limit_key_of<Lanes, in_memory>(key))), ...);
}

template <class Lanes, int... i>
__m128i limit_fold(const limit_chains<Lanes, sizeof...(i)>& c, __m128i into, std::integer_sequence<int, i...>) {
    ((into = _mm_xor_si128(into, Lanes::low(c.at[i]))), ...);
    return into;
}

// Seconds for rounds rounds of zmm_count Z registers, ymm_count Y and
// xmm_count X, each register's lanes chains of their own. Each round is
// fourteen AES instructions on each register and nothing else: the first
// round key's addition is folded into the last one's key (key 14 XOR key
// 0), as a chain of rounds allows. Key is the widest register type; the
// narrower ones take its low lanes. The keys stay in registers when the
// chains leave room for them, else every instruction reads its key from
// memory.
// A function of its own for each shape, so that each gets its registers
// to itself.
template <class Key, class Z, int zmm_count, class Y, int ymm_count, class X, int xmm_count>
__attribute__((noinline)) double limit_pass_seconds(const Key (&keys)[15], uint32_t rounds) {
    constexpr auto z = std::make_integer_sequence<int, zmm_count>();
    constexpr auto y = std::make_integer_sequence<int, ymm_count>();
    constexpr auto x = std::make_integer_sequence<int, xmm_count>();
    // Each width takes its own copy of the keys in registers.
    constexpr int widths = (zmm_count > 0) + (ymm_count > 0) + (xmm_count > 0);
    constexpr bool in_memory = zmm_count + ymm_count + xmm_count + 15 * widths > limit_registers;
    limit_chains<Z, zmm_count> zs;
    limit_chains<Y, ymm_count> ys;
    limit_chains<X, xmm_count> xs;
    limit_start<Z>(zs, z);
    limit_start<Y>(ys, y);
    limit_start<X>(xs, x);
    // The keys are in memory from here on, as they stand.
    asm volatile("" : : "r"(keys) : "memory");
    const double start = now_seconds();
    for (uint32_t round = 0; round < rounds; ++round) {
#pragma GCC unroll 13
        for (int k = 1; k < 14; ++k) {
            limit_round<Z, in_memory, false>(zs, keys[k], z);
            limit_round<Y, in_memory, false>(ys, keys[k], y);
            limit_round<X, in_memory, false>(xs, keys[k], x);
        }
        limit_round<Z, in_memory, true>(zs, keys[14], z);
        limit_round<Y, in_memory, true>(ys, keys[14], y);
        limit_round<X, in_memory, true>(xs, keys[14], x);
    }
    const double seconds = now_seconds() - start;
    // One store at the end, so that no chain is left out.
    __m128i folded = limit_fold<X>(xs, limit_fold<Y>(ys, limit_fold<Z>(zs, _mm_setzero_si128(), z), y), x);
    limit_sink = _mm_cvtsi128_si32(folded);
    return seconds;
}

// limit_pass_seconds for a shape known at run time, among the shapes whose
// widest register holds widest blocks; negative for any other.
template <int widest, class Key, class Z, class Y, class X, int... i>
double limit_seconds_of(limit_shape shape, const Key (&keys)[15], uint32_t rounds, std::integer_sequence<int, i...>) {
    double seconds = -1;
    ((shape == limit_shape_at(widest, i)
          ? (void)(seconds = limit_pass_seconds<Key, Z, limit_shape_at(widest, i).zmm, Y, limit_shape_at(widest, i).ymm,
                                                X, limit_shape_at(widest, i).xmm>(keys, rounds))
          : (void)0),
     ...);
    return seconds;
}

template <int widest, class Key, class Z, class Y, class X>
double limit_seconds_among(limit_shape shape, const Key (&keys)[15], uint32_t rounds) {
    return limit_seconds_of<widest, Key, Z, Y, X>(shape, keys, rounds,
                                                  std::make_integer_sequence<int, limit_shape_count(widest)>());
}

// Fixed round keys, distinct in every lane.
inline __m128i limit_key(int k, int lane) { return _mm_set_epi32(k * 0x01010101, 0x5a5a5a5a ^ k, ~k, k * 977 + lane); }

// One block a register. key() takes the low lanes of a wider key register;
// low() folds every lane of a register into one, for the end of a pass.
struct limit_xmm {
    using vector = __m128i;
    static vector start(int i) { return _mm_set1_epi32(i + 1); }
    static vector key(__m128i k) { return k; }
#ifdef __AVX2__
    static vector key(__m256i k) { return _mm256_castsi256_si128(k); }
#endif
#ifdef __AVX512F__
    static vector key(__m512i k) { return _mm512_castsi512_si128(k); }
#endif
    static __m128i low(vector a) { return a; }
};

#if defined(__AVX2__) && defined(__VAES__)
struct limit_ymm {
    using vector = __m256i;
    static vector start(int i) { return _mm256_set1_epi32(i + 101); }
    static vector key(__m256i k) { return k; }
#ifdef __AVX512F__
    static vector key(__m512i k) { return _mm512_castsi512_si256(k); }
#endif
    static __m128i low(vector a) { return _mm_xor_si128(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1)); }
};
#endif

#ifdef __AVX512F__
struct limit_zmm {
    using vector = __m512i;
    static vector start(int i) { return _mm512_set1_epi32(i + 201); }
    static vector key(__m512i k) { return k; }
    static __m128i low(vector a) {
        __m128i lanes = _mm_xor_si128(_mm512_extracti32x4_epi32(a, 0), _mm512_extracti32x4_epi32(a, 1));
        return _mm_xor_si128(lanes, _mm_xor_si128(_mm512_extracti32x4_epi32(a, 2), _mm512_extracti32x4_epi32(a, 3)));
    }
};
#endif

}  // namespace
