// The cryptography of a .kdb file: SHA-256, the key transform, the final key
// and CBC decryption with AES-256 or Twofish-256 (through nettle, and the key
// transform on AES-NI or VAES where the processor has them). Shared
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
// by seed, rounds times. This is the whole cost of an unlock. The same as
// kpass_transform_keys on one key.
void kpass_transform_key(const uint8_t seed[32], uint32_t rounds, uint8_t key[32]);

// The same for every 32-byte key of keys (keys.size() a multiple of 32),
// each with the result it would give alone, all under one seed: the tries
// of one typed password share the file's seed and rounds. The round keys
// are expanded once and every chain of every key is in flight at once, so
// that many keys cost little more than one where the processor has the AES
// units to spare. Runs kpass_aes_kernel_chosen().
void kpass_transform_keys(const uint8_t seed[32], uint32_t rounds, std::span<uint8_t> keys);

// The ways of computing it, slowest first.
enum class kpass_aes_kernel {
    nettle,   // one call a round for all the blocks
    aesni,    // AES-NI, one block a register
    vaes256,  // VAES with AVX2, two blocks (a key) a register
    vaes512,  // VAES with AVX-512, four blocks a register
};

// "nettle", "aesni", "vaes256", "vaes512": the names KDBROWSE_AES takes.
const char* kpass_aes_kernel_name(kpass_aes_kernel kernel);

// Whether the build has the kernel (the compiler could build it for
// x86-64) and the processor runs it, its instructions and the system's
// saved state for its registers both; asked of the processor once.
bool kpass_aes_kernel_usable(kpass_aes_kernel kernel);

// The fastest usable kernel, unless the environment variable KDBROWSE_AES
// names a slower usable one (for the tests and the benchmark); a name that
// is unknown, not usable or faster gives the fastest. The variable is read
// at every call.
kpass_aes_kernel kpass_aes_kernel_chosen();

// kpass_transform_keys on one kernel, which must be usable (each kernel
// file is built with its own instructions, which fault elsewhere).
void kpass_transform_keys_on(kpass_aes_kernel kernel, const uint8_t seed[32], uint32_t rounds,
                             std::span<uint8_t> keys);
void kpass_transform_keys_nettle(const uint8_t seed[32], uint32_t rounds, std::span<uint8_t> keys);
// The kernels themselves, on key_count keys at keys. They take no
// std::span: a kernel's file instantiates none of the standard library's
// inline code, which the whole program might then run from there.
void kpass_transform_keys_aesni(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count);
void kpass_transform_keys_vaes256(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count);
void kpass_transform_keys_vaes512(const uint8_t seed[32], uint32_t rounds, uint8_t* keys, std::size_t key_count);

// Final key = SHA-256(master seed || SHA-256(transformed composite key)).
void kpass_final_key(const uint8_t composite[32], const uint8_t transform_seed[32], uint32_t rounds,
                     const uint8_t master_seed[16], uint8_t final_key[32]);
// Its last step, from the composite key already transformed.
void kpass_final_key_of_transformed(const uint8_t transformed[32], const uint8_t master_seed[16],
                                    uint8_t final_key[32]);

// CBC decryption of whole blocks (input size a multiple of 16) into out,
// which has room for as many bytes.
void kpass_cbc_decrypt(kpass_cipher cipher, const uint8_t key[32], const uint8_t iv[16],
                       std::span<const uint8_t> in, uint8_t* out);
