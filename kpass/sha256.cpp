#include <nettle/sha2.h>

#include "kpass/crypto.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

void kpass_sha256(std::span<const uint8_t> data, uint8_t digest[32]) {
    // The context holds the tail of what was hashed (a password, contents).
    wiped<sha256_ctx> ctx;
    sha256_init(&ctx.value);
    sha256_update(&ctx.value, data.size(), data.data());
    sha256_digest(&ctx.value, SHA256_DIGEST_SIZE, digest);
    // nettle copies a tail shorter than a block through the C library's
    // memcpy, and so through vector registers.
    kpass_clear_vector_registers();
}
