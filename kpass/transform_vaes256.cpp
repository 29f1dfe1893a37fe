// The key transform on VAES with AVX2: two blocks, one key, a ymm
// register, as many a pass as the sixteen registers hold with one left for
// a round key (the others are read from memory).
//
// Only this file is built with -mavx2 -mvaes, and only where the compiler
// can (KPASS_VAES256_KERNEL); the library calls it after checking the
// processor and the system's saved register state (aes_kernel.cpp).
#include "kpass/crypto.h"

#ifdef KPASS_VAES256_KERNEL

#include "kpass/transform_kernel.h"

void kpass_transform_keys_vaes256(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count) {
    constexpr std::size_t max_registers = 14;  // fourteen keys a pass
    transform_keys<ymm_lanes, ymm_lanes, max_registers>(seed, rounds, keys, key_count, clear_registers_0_to_15);
}

#else

// Not built for VAES: never chosen; nettle's result for callers that link
// it anyway.
void kpass_transform_keys_vaes256(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count) {
    kpass_transform_keys_nettle(seed, rounds, {keys, 32 * key_count});
}

#endif
