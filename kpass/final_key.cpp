#include <array>
#include <cstring>

#include "kpass/crypto.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

void kpass_final_key(const uint8_t composite[32], const uint8_t transform_seed[32], uint32_t rounds,
                     const uint8_t master_seed[16], uint8_t final_key[32]) {
    wiped<std::array<uint8_t, 32>> transformed;
    kpass_copy_secret(transformed.value.data(), composite, 32);
    kpass_transform_key(transform_seed, rounds, transformed.value.data());
    kpass_final_key_of_transformed(transformed.value.data(), master_seed, final_key);
}

void kpass_final_key_of_transformed(const uint8_t transformed[32], const uint8_t master_seed[16],
                                    uint8_t final_key[32]) {
    wiped<std::array<uint8_t, 48>> seeded;  // master seed || SHA-256(transformed)
    std::memcpy(seeded.value.data(), master_seed, 16);
    kpass_sha256({transformed, 32}, seeded.value.data() + 16);
    kpass_sha256(seeded.value, final_key);
}
