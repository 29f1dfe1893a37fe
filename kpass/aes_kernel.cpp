// Which key transform kernel runs: the fastest that the build has and the
// processor runs, unless KDBROWSE_AES names a slower one.
//
// The processor is asked here, in a file built for any x86-64, and not in
// a kernel's own file, where the compiler may use the kernel's instructions
// anywhere.
#include <cstdlib>
#include <cstring>

#include "kpass/crypto.h"

#ifdef KPASS_AESNI_KERNEL
#include <cpuid.h>
#endif

namespace {

constexpr kpass_aes_kernel all_kernels[] = {kpass_aes_kernel::nettle, kpass_aes_kernel::aesni,
                                            kpass_aes_kernel::vaes256, kpass_aes_kernel::vaes512};

#ifdef KPASS_AESNI_KERNEL

// The register state the system saves and restores across a switch (XCR0),
// which it must for a kernel to use those registers at all; read only when
// cpuid says the system has turned xgetbv on.
uint64_t saved_register_state() {
    uint32_t low = 0, high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<uint64_t>(high) << 32) | low;
}

constexpr uint64_t sse_and_ymm_state = 0x06;   // XMM and the upper halves of YMM
constexpr uint64_t zmm_state = 0xE0;           // opmask, upper halves of ZMM 0-15, ZMM 16-31

// The fastest kernel the processor runs, of those this build has.
kpass_aes_kernel fastest_on_processor() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return kpass_aes_kernel::nettle;
    const bool aes = ecx & bit_AES, sse41 = ecx & bit_SSE4_1, osxsave = ecx & bit_OSXSAVE, avx = ecx & bit_AVX;
    if (!aes || !sse41) return kpass_aes_kernel::nettle;
    kpass_aes_kernel fastest = kpass_aes_kernel::aesni;
    if (!osxsave || !avx || __get_cpuid_max(0, nullptr) < 7) return fastest;
    const uint64_t state = saved_register_state();
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    const bool avx2 = ebx & bit_AVX2, vaes = ecx & bit_VAES;
    const bool avx512 = (ebx & bit_AVX512F) && (ebx & bit_AVX512VL);
#ifdef KPASS_VAES256_KERNEL
    if ((state & sse_and_ymm_state) == sse_and_ymm_state && avx2 && vaes) fastest = kpass_aes_kernel::vaes256;
#endif
#ifdef KPASS_VAES512_KERNEL
    const uint64_t wide_state = sse_and_ymm_state | zmm_state;
    if ((state & wide_state) == wide_state && avx2 && vaes && avx512) fastest = kpass_aes_kernel::vaes512;
#endif
    (void)state, (void)avx2, (void)vaes, (void)avx512;
    return fastest;
}

#else

kpass_aes_kernel fastest_on_processor() { return kpass_aes_kernel::nettle; }

#endif

kpass_aes_kernel fastest_usable() {
    static const kpass_aes_kernel fastest = fastest_on_processor();
    return fastest;
}

}  // namespace

const char* kpass_aes_kernel_name(kpass_aes_kernel kernel) {
    if (kernel == kpass_aes_kernel::vaes512) return "vaes512";
    if (kernel == kpass_aes_kernel::vaes256) return "vaes256";
    if (kernel == kpass_aes_kernel::aesni) return "aesni";
    return "nettle";
}

// Each kernel needs what the one before it needs and more, so the slower
// ones run wherever the fastest does.
bool kpass_aes_kernel_usable(kpass_aes_kernel kernel) { return kernel <= fastest_usable(); }

kpass_aes_kernel kpass_aes_kernel_chosen() {
    const char* forced = std::getenv("KDBROWSE_AES");
    if (forced != nullptr)
        for (kpass_aes_kernel kernel : all_kernels)
            if (std::strcmp(forced, kpass_aes_kernel_name(kernel)) == 0 && kpass_aes_kernel_usable(kernel)) return kernel;
    return fastest_usable();
}
