// The AVX-512 key transform kernel's own source (kpass/transform_vaes512.cpp),
// built against a plain emulation of the few AVX-512 instructions it uses,
// each as Intel defines it, lane by lane on AES-NI; the ymm register it
// keeps for an odd key runs on the processor's VAES. So its passes, its
// lane counts and its share of blocks between zmm and ymm registers are
// checked on processors without AVX-512 too; the instructions themselves
// run only where the processor has them (transform_test.cpp).
//
// Built with -mavx2 -mvaes where the compiler can (KDBROWSE_VAES512_EMULATION).
#include <cstddef>
#include <cstdint>

#ifdef KDBROWSE_VAES512_EMULATION

#include <immintrin.h>

namespace {

struct emulated_zmm {
    __m128i lane[4];  // lane 0 at the lowest address, as in memory
};

emulated_zmm emulated_loadu(const void* at) {
    emulated_zmm out;
    for (int i = 0; i < 4; ++i) out.lane[i] = _mm_loadu_si128(static_cast<const __m128i*>(at) + i);
    return out;
}

void emulated_storeu(void* at, emulated_zmm v) {
    for (int i = 0; i < 4; ++i) _mm_storeu_si128(static_cast<__m128i*>(at) + i, v.lane[i]);
}

// Element j of 32 bits takes element j mod 4 of key where mask bit j is
// set, else 0.
emulated_zmm emulated_maskz_broadcast_i32x4(unsigned mask, __m128i key) {
    alignas(16) uint32_t words[4], out[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(words), key);
    for (int j = 0; j < 16; ++j) out[j] = (mask >> j & 1) ? words[j % 4] : 0;
    return emulated_loadu(out);
}

emulated_zmm emulated_xor(emulated_zmm a, emulated_zmm b) {
    for (int i = 0; i < 4; ++i) a.lane[i] = _mm_xor_si128(a.lane[i], b.lane[i]);
    return a;
}

emulated_zmm emulated_aesenc(emulated_zmm a, emulated_zmm key) {
    for (int i = 0; i < 4; ++i) a.lane[i] = _mm_aesenc_si128(a.lane[i], key.lane[i]);
    return a;
}

emulated_zmm emulated_aesenclast(emulated_zmm a, emulated_zmm key) {
    for (int i = 0; i < 4; ++i) a.lane[i] = _mm_aesenclast_si128(a.lane[i], key.lane[i]);
    return a;
}

}  // namespace

#define __m512i emulated_zmm
#define _mm512_loadu_si512 emulated_loadu
#define _mm512_storeu_si512 emulated_storeu
#define _mm512_maskz_broadcast_i32x4 emulated_maskz_broadcast_i32x4
#define _mm512_xor_si512 emulated_xor
#define _mm512_aesenc_epi128 emulated_aesenc
#define _mm512_aesenclast_epi128 emulated_aesenclast
#define KPASS_VAES512_KERNEL
#define kpass_transform_keys_vaes512 emulated_transform_keys_vaes512
#include "kpass/transform_vaes512.cpp"
#undef kpass_transform_keys_vaes512

bool vaes512_emulation_built() { return true; }

#else

void emulated_transform_keys_vaes512(const uint8_t*, uint32_t, uint8_t*, std::size_t) {}
bool vaes512_emulation_built() { return false; }

#endif
