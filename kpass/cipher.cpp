#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/twofish.h>

#include <array>
#include <cstring>

#include "kpass/crypto.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"

namespace {

// nettle's CBC takes a block function of this exact shape.
void aes_decrypt_blocks(const void* ctx, size_t length, uint8_t* dst, const uint8_t* src) {
    aes256_decrypt(static_cast<const aes256_ctx*>(ctx), length, dst, src);
}

void twofish_decrypt_blocks(const void* ctx, size_t length, uint8_t* dst, const uint8_t* src) {
    twofish_decrypt(static_cast<const twofish_ctx*>(ctx), length, dst, src);
}

}  // namespace

std::optional<kpass_cipher> kpass_cipher_of(uint32_t flags) {
    if (flags & kpass_flag_aes) return kpass_cipher::aes;
    if (flags & kpass_flag_twofish) return kpass_cipher::twofish;
    return std::nullopt;
}

void kpass_cbc_decrypt(kpass_cipher cipher, const uint8_t key[32], const uint8_t iv[16],
                       std::span<const uint8_t> in, uint8_t* out) {
    std::array<uint8_t, 16> chain;  // nettle advances the IV it is given
    std::memcpy(chain.data(), iv, 16);
    if (cipher == kpass_cipher::aes) {
        wiped<aes256_ctx> ctx;
        aes256_set_decrypt_key(&ctx.value, key);
        cbc_decrypt(&ctx.value, aes_decrypt_blocks, AES_BLOCK_SIZE, chain.data(), in.size(), out, in.data());
    } else {
        wiped<twofish_ctx> ctx;
        twofish256_set_key(&ctx.value, key);
        cbc_decrypt(&ctx.value, twofish_decrypt_blocks, TWOFISH_BLOCK_SIZE, chain.data(), in.size(), out,
                    in.data());
    }
}
