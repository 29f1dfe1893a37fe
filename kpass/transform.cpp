#include <nettle/aes.h>

#include "kpass/crypto.h"
#include "kpass/secure_memory.h"

// One call a round encrypts both halves, so nettle can keep its round keys
// in registers for the pair.
void kpass_transform_key(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]) {
    wiped<aes256_ctx> ctx;
    aes256_set_encrypt_key(&ctx.value, seed);
    for (uint32_t round = 0; round < rounds; ++round) aes256_encrypt(&ctx.value, 32, key, key);
}
