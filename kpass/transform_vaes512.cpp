// The key transform on VAES with AVX-512: four blocks, two keys, a zmm
// register, the round keys held in registers of their own (there are 32),
// and an odd key left over in a ymm register.
//
// Only this file is built with -mavx512f -mavx512vl -mvaes, and only where
// the compiler can (KPASS_VAES512_KERNEL); the library calls it after
// checking the processor and the system's saved register state
// (aes_kernel.cpp). It differs from the AVX2 kernel only in the register
// type below and in the registers it clears.
#include "kpass/crypto.h"

#ifdef KPASS_VAES512_KERNEL

#include "kpass/transform_kernel.h"

namespace {

struct zmm_lanes {
    using vector = __m512i;
    static constexpr std::size_t blocks = 4;
    static vector load(const uint8_t* at) { return _mm512_loadu_si512(at); }
    static void store(uint8_t* at, vector v) { _mm512_storeu_si512(at, v); }
    // (Masked on zeros: GCC 12's plain broadcast starts from an undefined
    // register and warns of it.)
    static vector broadcast(__m128i key) { return _mm512_maskz_broadcast_i32x4(0xFFFF, key); }
    static vector add(vector a, vector b) { return _mm512_xor_si512(a, b); }
    static vector round(vector a, vector key) { return _mm512_aesenc_epi128(a, key); }
    static vector last_round(vector a, vector key) { return _mm512_aesenclast_epi128(a, key); }
};

}  // namespace

void kpass_transform_keys_vaes512(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count) {
    constexpr std::size_t max_registers = 7;  // fourteen keys a pass
    transform_keys<zmm_lanes, ymm_lanes, max_registers>(seed, rounds, keys, key_count, [] {
        // Registers 16 to 31 exist only with AVX-512, where the compiler
        // keeps round keys and blocks in them too.
        clear_registers_0_to_15();
#ifdef __AVX512F__
        asm volatile(
            "vpxord %%zmm16, %%zmm16, %%zmm16\n\tvpxord %%zmm17, %%zmm17, %%zmm17\n\t"
            "vpxord %%zmm18, %%zmm18, %%zmm18\n\tvpxord %%zmm19, %%zmm19, %%zmm19\n\t"
            "vpxord %%zmm20, %%zmm20, %%zmm20\n\tvpxord %%zmm21, %%zmm21, %%zmm21\n\t"
            "vpxord %%zmm22, %%zmm22, %%zmm22\n\tvpxord %%zmm23, %%zmm23, %%zmm23\n\t"
            "vpxord %%zmm24, %%zmm24, %%zmm24\n\tvpxord %%zmm25, %%zmm25, %%zmm25\n\t"
            "vpxord %%zmm26, %%zmm26, %%zmm26\n\tvpxord %%zmm27, %%zmm27, %%zmm27\n\t"
            "vpxord %%zmm28, %%zmm28, %%zmm28\n\tvpxord %%zmm29, %%zmm29, %%zmm29\n\t"
            "vpxord %%zmm30, %%zmm30, %%zmm30\n\tvpxord %%zmm31, %%zmm31, %%zmm31"
            :
            :
            : "memory", "xmm16", "xmm17", "xmm18", "xmm19", "xmm20", "xmm21", "xmm22", "xmm23", "xmm24", "xmm25",
              "xmm26", "xmm27", "xmm28", "xmm29", "xmm30", "xmm31");
#endif
    });
}

#else

// Not built for AVX-512: never chosen; nettle's result for callers that
// link it anyway.
void kpass_transform_keys_vaes512(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count) {
    kpass_transform_keys_nettle(seed, rounds, {keys, 32 * key_count});
}

#endif
