#include <nettle/aes.h>

#include "kpass/crypto.h"
#include "kpass/secure_memory.h"

// One call a round encrypts both halves, so nettle can keep its round keys
// in registers for the pair.
void kpass_transform_key_nettle(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]) {
    wiped<aes256_ctx> ctx;
    aes256_set_encrypt_key(&ctx.value, seed);
    for (uint32_t round = 0; round < rounds; ++round) aes256_encrypt(&ctx.value, 32, key, key);
}

// Asked here, in a file built for any x86-64, and not in the kernel's own
// file, where the compiler may use AES-NI and SSE4.1 anywhere.
bool kpass_transform_aesni_available() {
#ifdef KPASS_AESNI_KERNEL
    static const bool available = __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse4.1");
    return available;
#else
    return false;
#endif
}

void kpass_transform_key(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]) {
    if (kpass_transform_aesni_available())
        kpass_transform_key_aesni(seed, rounds, key);
    else
        kpass_transform_key_nettle(seed, rounds, key);
}
