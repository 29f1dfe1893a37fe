#include <nettle/aes.h>

#include "kpass/crypto.h"
#include "kpass/secure_memory.h"

namespace {

// Overwrites the stack where a kernel's frame was: where registers ran
// short, the compiler keeps blocks there between rounds, and the last of
// them is the transformed key. Larger than any kernel's frame (a few
// kilobytes).
__attribute__((noinline)) void wipe_kernel_frame() {
    char area[16384];
    kpass_wipe(area, sizeof area);
    asm volatile("" : : "r"(area) : "memory");
}

}  // namespace

// One call a round encrypts every block, so nettle can keep its round keys
// in registers across them.
void kpass_transform_keys_nettle(const uint8_t seed[32], uint32_t rounds, std::span<uint8_t> keys) {
    wiped<aes256_ctx> ctx;
    aes256_set_encrypt_key(&ctx.value, seed);
    for (uint32_t round = 0; round < rounds; ++round) aes256_encrypt(&ctx.value, keys.size(), keys.data(), keys.data());
}

void kpass_transform_keys_on(kpass_aes_kernel kernel, const uint8_t seed[32], uint32_t rounds,
                             std::span<uint8_t> keys) {
    const std::size_t count = keys.size() / 32;
    if (count == 0) return;
    if (kernel == kpass_aes_kernel::vaes512)
        kpass_transform_keys_vaes512(seed, rounds, keys.data(), count);
    else if (kernel == kpass_aes_kernel::vaes256)
        kpass_transform_keys_vaes256(seed, rounds, keys.data(), count);
    else if (kernel == kpass_aes_kernel::aesni)
        kpass_transform_keys_aesni(seed, rounds, keys.data(), count);
    else
        kpass_transform_keys_nettle(seed, rounds, keys);
    wipe_kernel_frame();
}

void kpass_transform_keys(const uint8_t seed[32], uint32_t rounds, std::span<uint8_t> keys) {
    kpass_transform_keys_on(kpass_aes_kernel_chosen(), seed, rounds, keys);
}

void kpass_transform_key(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]) {
    kpass_transform_keys(seed, rounds, {key, 32});
}
