#include "kpass/secret_bytes.h"

#include <cstdint>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

void kpass_copy_secret(void* to, const void* from, std::size_t size) noexcept {
    auto* out = static_cast<volatile unsigned char*>(to);
    auto* in = static_cast<const volatile unsigned char*>(from);
    // Forwards when the copy lies below its source, else backwards: an
    // overlapping part is read before it is written.
    if (reinterpret_cast<std::uintptr_t>(to) < reinterpret_cast<std::uintptr_t>(from)) {
        for (std::size_t i = 0; i < size; ++i) out[i] = in[i];
    } else {
        for (std::size_t i = size; i > 0; --i) out[i - 1] = in[i - 1];
    }
}

std::size_t kpass_secret_length(const char* text) noexcept {
    auto* bytes = static_cast<const volatile char*>(text);
    std::size_t length = 0;
    while (bytes[length] != '\0') ++length;
    return length;
}

bool kpass_secrets_equal(const void* a, const void* b, std::size_t size) noexcept {
    auto* x = static_cast<const volatile unsigned char*>(a);
    auto* y = static_cast<const volatile unsigned char*>(b);
    unsigned char differ = 0;
    for (std::size_t i = 0; i < size; ++i) differ = static_cast<unsigned char>(differ | (x[i] ^ y[i]));
    return differ == 0;
}

#if defined(__x86_64__)

namespace {

enum class vector_registers { sse, avx, avx512 };

// Which vector registers the processor has and the system saves (XCR0):
// the AVX and AVX-512 instructions fault where either is missing.
vector_registers registers_in_use() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || (c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0)
        return vector_registers::sse;
    std::uint32_t low = 0, high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    const std::uint64_t saved = static_cast<std::uint64_t>(high) << 32 | low;
    constexpr std::uint64_t sse_avx = 0x6, opmask_zmm = 0xE0;  // XCR0: SSE, AVX; opmask, ZMM_Hi256, Hi16_ZMM
    if ((saved & sse_avx) != sse_avx) return vector_registers::sse;
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX512F) != 0 && (saved & opmask_zmm) == opmask_zmm)
        return vector_registers::avx512;
    return vector_registers::avx;
}

void clear_sse_registers() {
    asm volatile(
        "pxor %%xmm0, %%xmm0\n\tpxor %%xmm1, %%xmm1\n\tpxor %%xmm2, %%xmm2\n\tpxor %%xmm3, %%xmm3\n\t"
        "pxor %%xmm4, %%xmm4\n\tpxor %%xmm5, %%xmm5\n\tpxor %%xmm6, %%xmm6\n\tpxor %%xmm7, %%xmm7\n\t"
        "pxor %%xmm8, %%xmm8\n\tpxor %%xmm9, %%xmm9\n\tpxor %%xmm10, %%xmm10\n\tpxor %%xmm11, %%xmm11\n\t"
        "pxor %%xmm12, %%xmm12\n\tpxor %%xmm13, %%xmm13\n\tpxor %%xmm14, %%xmm14\n\tpxor %%xmm15, %%xmm15"
        :
        :
        : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", "xmm11",
          "xmm12", "xmm13", "xmm14", "xmm15");
}

// vzeroall clears ymm0 to ymm15 whole (zmm0 to zmm15 too); it leaves
// zmm16 to zmm31 as they are.
void clear_avx_registers() {
    asm volatile("vzeroall"
                 :
                 :
                 : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
                   "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
}

__attribute__((target("avx512f"))) void clear_upper_avx512_registers() {
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
        : "xmm16", "xmm17", "xmm18", "xmm19", "xmm20", "xmm21", "xmm22", "xmm23", "xmm24", "xmm25", "xmm26",
          "xmm27", "xmm28", "xmm29", "xmm30", "xmm31");
}

}  // namespace

void kpass_clear_vector_registers() noexcept {
    static const vector_registers in_use = registers_in_use();
    if (in_use == vector_registers::sse) {
        clear_sse_registers();
        return;
    }
    clear_avx_registers();
    if (in_use == vector_registers::avx512) clear_upper_avx512_registers();
}

#else

void kpass_clear_vector_registers() noexcept {}

#endif
