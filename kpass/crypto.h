// The cryptography of a .kdb file: SHA-256, the key transform, the final key
// and CBC decryption with AES-256 or Twofish-256 (through nettle, and the key
// transform on AES-NI where the processor has it). Shared
// by the reader and the writer; not part of the library's public interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

enum class kpass_cipher { aes, twofish };

// The cipher that header flags name: AES when its bit is set, else Twofish
// when its bit is set, else none (the file is refused).
std::optional<kpass_cipher> kpass_cipher_of(uint32_t flags);

void kpass_sha256(std::span<const uint8_t> data, uint8_t digest[32]);

// The key transform's chain: key (32 bytes, its two 16-byte halves as two
// independent chains) is encrypted in place with AES-256 in ECB mode, keyed
// by seed, rounds times. This is the whole cost of an unlock. It runs the
// AES-NI kernel when kpass_transform_aesni_available(), else nettle.
void kpass_transform_key(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]);

// The two ways of computing it, both with kpass_transform_key's result:
// nettle, one call a round for both halves; and a kernel that keeps both
// halves' AES-NI chains in flight at once. The kernel may be called only
// when kpass_transform_aesni_available(): the build has it (x86-64 with a
// compiler that knows AES-NI) and the processor runs it.
void kpass_transform_key_nettle(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]);
void kpass_transform_key_aesni(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]);
bool kpass_transform_aesni_available();

// Final key = SHA-256(master seed || SHA-256(transformed composite key)).
void kpass_final_key(const uint8_t composite[32], const uint8_t transform_seed[32], uint32_t rounds,
                     const uint8_t master_seed[16], uint8_t final_key[32]);

// CBC decryption of whole blocks (input size a multiple of 16) into out,
// which has room for as many bytes.
void kpass_cbc_decrypt(kpass_cipher cipher, const uint8_t key[32], const uint8_t iv[16],
                       std::span<const uint8_t> in, uint8_t* out);
