#include <nettle/sha2.h>

#include <algorithm>
#include <new>

#include "kpass/kpass.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

// The hash of every byte so far, and the first 64 bytes aside: only at the
// end is it known whether the file was 32 bytes or 64 hexadecimal digits.
struct kpass_file_key {
    sha256_ctx hash;
    uint8_t head[64];
    uint64_t size;
};

namespace {

int hex_digit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The 32 bytes that 64 hexadecimal digits spell; false, and key untouched,
// when one of them is not a digit.
bool decode_hex(const uint8_t digits[64], uint8_t* key) {
    for (int i = 0; i < 64; ++i)
        if (hex_digit(digits[i]) < 0) return false;
    for (int i = 0; i < 32; ++i)
        key[i] = static_cast<uint8_t>(hex_digit(digits[2 * i]) << 4 | hex_digit(digits[2 * i + 1]));
    return true;
}

}  // namespace

kpass_file_key* kpass_file_key_begin() {
    try {
        auto* state = new (kpass_secure_allocate(sizeof(kpass_file_key))) kpass_file_key{};
        sha256_init(&state->hash);
        return state;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void kpass_file_key_add(kpass_file_key* state, const uint8_t* bytes, size_t size) {
    if (state == nullptr || size == 0) return;
    if (state->size < sizeof state->head) {
        size_t kept = std::min<uint64_t>(size, sizeof state->head - state->size);
        kpass_copy_secret(state->head + state->size, bytes, kept);
    }
    state->size += size;
    sha256_update(&state->hash, size, bytes);
}

int kpass_file_key_end(kpass_file_key* state, uint8_t* file_key) {
    if (state == nullptr) return kpass_out_of_memory;
    int result = state->size == 0 ? kpass_empty_key_file : kpass_success;
    if (result == kpass_success && file_key != nullptr) {
        if (state->size == 32)
            kpass_copy_secret(file_key, state->head, 32);
        else if (state->size != 64 || !decode_hex(state->head, file_key))
            sha256_digest(&state->hash, SHA256_DIGEST_SIZE, file_key);
    }
    kpass_secure_release(state, sizeof *state);
    kpass_clear_vector_registers();  // nettle's SHA-256 copies the file's bytes through them
    return result;
}
