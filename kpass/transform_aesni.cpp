// The key transform on AES-NI: one block a register, as many chains a pass
// as the sixteen registers hold with one left for a round key (the others
// are read from memory), so that a unit that takes a new instruction every
// cycle or two while each waits several for its result stays full.
//
// Only this file is built with -maes -msse4.1, and only where the compiler
// can (KPASS_AESNI_KERNEL); the library calls it after checking the
// processor (aes_kernel.cpp).
#include "kpass/crypto.h"

#ifdef KPASS_AESNI_KERNEL

#include "kpass/transform_kernel.h"

void kpass_transform_keys_aesni(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count) {
    constexpr std::size_t max_chains = 14;  // seven keys a pass
    transform_keys<xmm_lanes, xmm_lanes, max_chains>(seed, rounds, keys, key_count, [] {
        // Without AVX there is no vzeroall; with it, the kernel's SSE
        // instructions touched the low halves alone.
        asm volatile(
            "pxor %%xmm0, %%xmm0\n\tpxor %%xmm1, %%xmm1\n\tpxor %%xmm2, %%xmm2\n\tpxor %%xmm3, %%xmm3\n\t"
            "pxor %%xmm4, %%xmm4\n\tpxor %%xmm5, %%xmm5\n\tpxor %%xmm6, %%xmm6\n\tpxor %%xmm7, %%xmm7\n\t"
            "pxor %%xmm8, %%xmm8\n\tpxor %%xmm9, %%xmm9\n\tpxor %%xmm10, %%xmm10\n\tpxor %%xmm11, %%xmm11\n\t"
            "pxor %%xmm12, %%xmm12\n\tpxor %%xmm13, %%xmm13\n\tpxor %%xmm14, %%xmm14\n\tpxor %%xmm15, %%xmm15"
            :
            :
            : "memory", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
              "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
    });
}

#else

// Not built for AES-NI: never chosen; nettle's result for callers that
// link it anyway.
void kpass_transform_keys_aesni(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count) {
    kpass_transform_keys_nettle(seed, rounds, {keys, 32 * key_count});
}

#endif
