// The shape shared by the key transform's vector kernels
// (transform_aesni.cpp, transform_vaes256.cpp, transform_vaes512.cpp): the
// AES-256 key schedule on AES-NI, the register types each kernel fills
// with blocks, and one pass that runs every register's chain through all
// the rounds at once.
//
// Every 16-byte block of every key is a chain of its own: each round waits
// for the one before on the same block, but blocks never wait for each
// other. One chain alone leaves the AES unit idle most of the time; a pass
// keeps as many chains in flight as the unit takes, and the blocks that do
// not fit in one pass's registers go through the next pass.
//
// Everything here has internal linkage, and nothing here instantiates the
// standard library's templates (std::array, std::span): each kernel file
// includes it under its own target flags, and an inline definition shared
// with other files (emitted out of line where the build does not inline,
// and then taken once for the whole program) could come from the file built
// for the widest instructions and then run on a processor that lacks them.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "kpass/secure_memory.h"

namespace {

constexpr int aes256_key_count = 15;  // AES-256: 14 rounds, 15 round keys
constexpr int folded_key = aes256_key_count;  // the last slot of a schedule: key 14 XOR key 0

// ---- The key schedule, on AES-NI.

inline __m128i spread(__m128i word) {
    // w0, w0^w1, w0^w1^w2, w0^w1^w2^w3: each word of the new key takes in
    // the words of the previous one before it.
    word = _mm_xor_si128(word, _mm_slli_si128(word, 4));
    word = _mm_xor_si128(word, _mm_slli_si128(word, 4));
    return _mm_xor_si128(word, _mm_slli_si128(word, 4));
}

// The next even round key: RotWord, SubWord and the round constant applied
// to the last word of the odd key before it.
template <int round_constant>
__m128i next_even(__m128i even, __m128i odd) {
    __m128i assist = _mm_shuffle_epi32(_mm_aeskeygenassist_si128(odd, round_constant), 0xFF);
    return _mm_xor_si128(spread(even), assist);
}

// The next odd round key: SubWord alone of the last word of the even key.
inline __m128i next_odd(__m128i odd, __m128i even) {
    __m128i assist = _mm_shuffle_epi32(_mm_aeskeygenassist_si128(even, 0), 0xAA);
    return _mm_xor_si128(spread(odd), assist);
}

// A round starts by adding round key 0 and ends with the last round key.
// The end of one round and the start of the next are folded into one key,
// the last slot here, which leaves one instruction fewer on each chain:
// between rounds the blocks carry round key 0 added, and lose it again after
// the last round.
inline void expand_key(const uint8_t seed[32], __m128i keys[aes256_key_count + 1]) {
    keys[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(seed));
    keys[1] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(seed + 16));
    keys[2] = next_even<0x01>(keys[0], keys[1]);
    keys[3] = next_odd(keys[1], keys[2]);
    keys[4] = next_even<0x02>(keys[2], keys[3]);
    keys[5] = next_odd(keys[3], keys[4]);
    keys[6] = next_even<0x04>(keys[4], keys[5]);
    keys[7] = next_odd(keys[5], keys[6]);
    keys[8] = next_even<0x08>(keys[6], keys[7]);
    keys[9] = next_odd(keys[7], keys[8]);
    keys[10] = next_even<0x10>(keys[8], keys[9]);
    keys[11] = next_odd(keys[9], keys[10]);
    keys[12] = next_even<0x20>(keys[10], keys[11]);
    keys[13] = next_odd(keys[11], keys[12]);
    keys[14] = next_even<0x40>(keys[12], keys[13]);
    keys[folded_key] = _mm_xor_si128(keys[aes256_key_count - 1], keys[0]);
}

// ---- Register types. Each names the few instructions a pass needs on it;
// a kernel file adds its own wider type the same way.

// One block a register (AES-NI).
struct xmm_lanes {
    using vector = __m128i;
    static constexpr std::size_t blocks = 1;
    static vector load(const uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
    static void store(uint8_t* at, vector v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); }
    static vector broadcast(__m128i key) { return key; }
    static vector add(vector a, vector b) { return _mm_xor_si128(a, b); }
    static vector round(vector a, vector key) { return _mm_aesenc_si128(a, key); }
    static vector last_round(vector a, vector key) { return _mm_aesenclast_si128(a, key); }
};

#if defined(__AVX2__) && defined(__VAES__)
// Two blocks a register (VAES with AVX2): one key. The rounds are written
// out so that each chain keeps its register from one round to the next and
// the key may come from memory: given the intrinsics' free choice of
// registers, GCC 12 moves chains through the stack between rounds once
// more than eight are in flight.
struct ymm_lanes {
    using vector = __m256i;
    static constexpr std::size_t blocks = 2;
    static vector load(const uint8_t* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
    static void store(uint8_t* at, vector v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v); }
    static vector broadcast(__m128i key) { return _mm256_broadcastsi128_si256(key); }
    static vector add(vector a, vector b) { return _mm256_xor_si256(a, b); }
    static vector round(vector a, vector key) {
        asm("vaesenc %1, %0, %0" : "+x"(a) : "xm"(key));
        return a;
    }
    static vector last_round(vector a, vector key) {
        asm("vaesenclast %1, %0, %0" : "+x"(a) : "xm"(key));
        return a;
    }
};
#endif

// The schedule with every key in every lane of one register type.
template <class Lanes>
struct lane_keys {
    typename Lanes::vector key[aes256_key_count + 1];
};

template <class Lanes>
void broadcast_keys(const __m128i (&schedule)[aes256_key_count + 1], lane_keys<Lanes>& out) {
    for (int k = 0; k <= aes256_key_count; ++k) out.key[k] = Lanes::broadcast(schedule[k]);
}

// ---- One pass.

// The chains of one register type in a pass (one unused slot when there
// are none).
template <class Lanes, std::size_t count>
struct chains {
    typename Lanes::vector at[count > 0 ? count : 1];
};

// Each step applies one instruction to every chain of a type, unrolled, so
// that the chains stay in registers and their instructions interleave.
template <class Lanes, std::size_t... i>
void load_chains(chains<Lanes, sizeof...(i)>& c, [[maybe_unused]] const uint8_t* at,
                 [[maybe_unused]] typename Lanes::vector key0,
                 std::index_sequence<i...>) {
    ((c.at[i] = Lanes::add(Lanes::load(at + 16 * Lanes::blocks * i), key0)), ...);
}

template <class Lanes, std::size_t... i>
void store_chains(chains<Lanes, sizeof...(i)>& c, [[maybe_unused]] uint8_t* at,
                  [[maybe_unused]] typename Lanes::vector key0, std::index_sequence<i...>) {
    ((Lanes::store(at + 16 * Lanes::blocks * i, Lanes::add(c.at[i], key0))), ...);
}

template <class Lanes, std::size_t... i>
void round_chains(chains<Lanes, sizeof...(i)>& c, [[maybe_unused]] typename Lanes::vector key,
                  std::index_sequence<i...>) {
    ((c.at[i] = Lanes::round(c.at[i], key)), ...);
}

template <class Lanes, std::size_t... i>
void last_round_chains(chains<Lanes, sizeof...(i)>& c, [[maybe_unused]] typename Lanes::vector key,
                       std::index_sequence<i...>) {
    ((c.at[i] = Lanes::last_round(c.at[i], key)), ...);
}

// The blocks at blocks, wide_count registers of Wide and then narrow_count
// of Narrow, each through rounds rounds, written back in place.
template <class Wide, std::size_t wide_count, class Narrow, std::size_t narrow_count>
void run_pass(const lane_keys<Wide>& wide_keys, const lane_keys<Narrow>& narrow_keys, uint32_t rounds,
              uint8_t* blocks) {
    constexpr auto wide_index = std::make_index_sequence<wide_count>();
    constexpr auto narrow_index = std::make_index_sequence<narrow_count>();
    uint8_t* narrow_blocks = blocks + 16 * Wide::blocks * wide_count;
    chains<Wide, wide_count> wide;
    chains<Narrow, narrow_count> narrow;
    load_chains<Wide>(wide, blocks, wide_keys.key[0], wide_index);
    load_chains<Narrow>(narrow, narrow_blocks, narrow_keys.key[0], narrow_index);
    for (uint32_t round = 0; round < rounds; ++round) {
#pragma GCC unroll 13
        for (int k = 1; k < aes256_key_count - 1; ++k) {
            round_chains<Wide>(wide, wide_keys.key[k], wide_index);
            round_chains<Narrow>(narrow, narrow_keys.key[k], narrow_index);
        }
        last_round_chains<Wide>(wide, wide_keys.key[folded_key], wide_index);
        last_round_chains<Narrow>(narrow, narrow_keys.key[folded_key], narrow_index);
    }
    store_chains<Wide>(wide, blocks, wide_keys.key[0], wide_index);
    store_chains<Narrow>(narrow, narrow_blocks, narrow_keys.key[0], narrow_index);
}

// run_pass for counts known only at run time: wide_count up to max_wide,
// narrow_count up to max_narrow (0 or 1). Each count is an instance of its
// own, so that its chains are registers.
template <class Wide, class Narrow, std::size_t max_wide, std::size_t max_narrow>
void run_pass_of(std::size_t wide_count, std::size_t narrow_count, const lane_keys<Wide>& wide_keys,
                 const lane_keys<Narrow>& narrow_keys, uint32_t rounds, uint8_t* blocks) {
    static_assert(max_narrow <= 1);
    if (wide_count == max_wide) {
        if constexpr (max_narrow == 1) {
            if (narrow_count == 1) return run_pass<Wide, max_wide, Narrow, 1>(wide_keys, narrow_keys, rounds, blocks);
        }
        if constexpr (max_wide > 0) run_pass<Wide, max_wide, Narrow, 0>(wide_keys, narrow_keys, rounds, blocks);
        return;
    }
    if constexpr (max_wide > 0)
        run_pass_of<Wide, Narrow, max_wide - 1, max_narrow>(wide_count, narrow_count, wide_keys, narrow_keys, rounds,
                                                           blocks);
}

// Every block of key_count 32-byte keys at keys, in as few passes as
// max_wide registers of Wide a pass allow, the blocks shared out evenly
// between the passes (two passes of 7 registers run faster than 8 and 6,
// where the unit is full). What is left over of a Wide register goes into a
// Narrow one: Narrow holds one key where Wide holds more.
template <class Wide, class Narrow, std::size_t max_wide>
void run_passes(const lane_keys<Wide>& wide_keys, const lane_keys<Narrow>& narrow_keys, uint32_t rounds,
                uint8_t* keys, std::size_t key_count) {
    constexpr std::size_t key_blocks = 2;
    static_assert(Wide::blocks % Narrow::blocks == 0 && Narrow::blocks <= key_blocks);
    constexpr std::size_t max_narrow = Wide::blocks > key_blocks ? 1 : 0;
    constexpr std::size_t pass_blocks = max_wide * Wide::blocks;
    static_assert(pass_blocks % key_blocks == 0);
    std::size_t left = key_count * key_blocks;
    uint8_t* at = keys;
    for (std::size_t passes = (left + pass_blocks - 1) / pass_blocks; passes > 0; --passes) {
        std::size_t blocks = (left + passes - 1) / passes;
        blocks += blocks % key_blocks;  // whole keys
        if (blocks > left) blocks = left;
        std::size_t wide_count = blocks / Wide::blocks;
        std::size_t narrow_count = blocks % Wide::blocks / Narrow::blocks;
        run_pass_of<Wide, Narrow, max_wide, max_narrow>(wide_count, narrow_count, wide_keys, narrow_keys, rounds, at);
        at += 16 * blocks;
        left -= blocks;
    }
}

#ifdef __AVX__
// Zeroes vector registers 0 to 15 whole (ymm, and zmm where they exist).
inline void clear_registers_0_to_15() {
    asm volatile("vzeroall"
                 :
                 :
                 : "memory", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
                   "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
}
#endif

// A kernel: every one of key_count 32-byte keys at keys under seed,
// rounds times, in place, in passes of at most max_wide Wide registers and
// Narrow for a key left over. The round keys are expanded once. Then
// clear_registers() zeroes every vector register the kernel's instructions
// may have touched: the last blocks are still there, where the next xsave
// (a signal, a lazily bound call, such as the wipe below) would copy them to
// the stack. Nothing is called before that.
template <class Wide, class Narrow, std::size_t max_wide, class Clear>
void transform_keys(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count,
                    Clear clear_registers) {
    struct {
        __m128i schedule[aes256_key_count + 1];
        lane_keys<Wide> wide;
        lane_keys<Narrow> narrow;
    } round_keys;
    expand_key(seed, round_keys.schedule);
    broadcast_keys(round_keys.schedule, round_keys.wide);
    broadcast_keys(round_keys.schedule, round_keys.narrow);
    run_passes<Wide, Narrow, max_wide>(round_keys.wide, round_keys.narrow, rounds, keys, key_count);
    clear_registers();
    kpass_wipe(&round_keys, sizeof round_keys);
}

}  // namespace
