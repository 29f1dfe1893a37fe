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

constexpr uint64_t sse_and_ymm_state = 0x06;  // XMM and the upper halves of YMM
constexpr uint64_t zmm_state = 0xE0;          // opmask, upper halves of ZMM 0-15, ZMM 16-31

#ifdef KPASS_VAES256_KERNEL
constexpr bool vaes256_built = true;
#else
constexpr bool vaes256_built = false;
#endif
#ifdef KPASS_VAES512_KERNEL
constexpr bool vaes512_built = true;
#else
constexpr bool vaes512_built = false;
#endif

// The fastest kernel the processor runs, of those this build has. A kernel
// needs its instructions (cpuid) and the system's saving of the registers
// it uses (XCR0): without that, the first of them faults.
kpass_aes_kernel fastest_on_processor() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_AES) || !(ecx & bit_SSE4_1))
        return kpass_aes_kernel::nettle;
    if (!(ecx & bit_OSXSAVE) || !(ecx & bit_AVX) || __get_cpuid_max(0, nullptr) < 7) return kpass_aes_kernel::aesni;
    const uint64_t state = saved_register_state();
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    const bool vaes256 = (state & sse_and_ymm_state) == sse_and_ymm_state && (ebx & bit_AVX2) && (ecx & bit_VAES);
    const bool vaes512 =
        vaes256 && (state & zmm_state) == zmm_state && (ebx & bit_AVX512F) && (ebx & bit_AVX512VL);
    if (vaes512 && vaes512_built) return kpass_aes_kernel::vaes512;
    if (vaes256 && vaes256_built) return kpass_aes_kernel::vaes256;
    return kpass_aes_kernel::aesni;
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
