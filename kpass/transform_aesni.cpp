// The key transform on AES-NI. Each half of the key is a chain of AES-256
// encryptions where every round waits for the one before, so one chain alone
// leaves the AES unit idle most of the time; the two halves are independent,
// and interleaving their instructions keeps both in flight at once.
//
// Only this file is built with -maes -msse4.1, and only where the compiler
// can (KPASS_AESNI_KERNEL); kpass_transform_key calls it after checking the
// processor.
#include "kpass/crypto.h"

#ifdef KPASS_AESNI_KERNEL

#include <immintrin.h>

#include "kpass/secure_memory.h"

namespace {

constexpr int key_count = 15;  // AES-256: 14 rounds, 15 round keys

__m128i spread(__m128i word) {
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
__m128i next_odd(__m128i odd, __m128i even) {
    __m128i assist = _mm_shuffle_epi32(_mm_aeskeygenassist_si128(even, 0), 0xAA);
    return _mm_xor_si128(spread(odd), assist);
}

void expand_key(const uint8_t seed[32], __m128i keys[key_count]) {
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
}

}  // namespace

void kpass_transform_key_aesni(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]) {
    // A round starts by adding round key 0 and ends with the last round key.
    // The end of one round and the start of the next are folded into one
    // key, the last slot here, which leaves one instruction fewer on each
    // chain: between rounds the halves carry round key 0 added, and lose it
    // again after the last round. Every key is kept in this array, wiped at
    // the end with whatever the compiler left of them there.
    __m128i keys[key_count + 1];
    expand_key(seed, keys);
    const int folded = key_count;
    keys[folded] = _mm_xor_si128(keys[key_count - 1], keys[0]);
    __m128i left = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(key)), keys[0]);
    __m128i right = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(key + 16)), keys[0]);
    for (uint32_t round = 0; round < rounds; ++round) {
        for (int k = 1; k < key_count - 1; ++k) {
            left = _mm_aesenc_si128(left, keys[k]);
            right = _mm_aesenc_si128(right, keys[k]);
        }
        left = _mm_aesenclast_si128(left, keys[folded]);
        right = _mm_aesenclast_si128(right, keys[folded]);
    }
    left = _mm_xor_si128(left, keys[0]);
    right = _mm_xor_si128(right, keys[0]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(key), left);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(key + 16), right);
    kpass_wipe(keys, sizeof keys);
}

#else

// Not built for AES-NI: kpass_transform_aesni_available() is false and this
// is never chosen; it gives the same result for callers that link it anyway.
void kpass_transform_key_aesni(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]) {
    kpass_transform_key_nettle(seed, rounds, key);
}

#endif
