#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/twofish.h>

#include <cstring>

#include "kpass/crypto.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "kpass/writer/kdb_writer.h"

namespace {

void aes_encrypt_blocks(const void* ctx, size_t length, uint8_t* dst, const uint8_t* src) {
    aes256_encrypt(static_cast<const aes256_ctx*>(ctx), length, dst, src);
}

void twofish_encrypt_blocks(const void* ctx, size_t length, uint8_t* dst, const uint8_t* src) {
    twofish_encrypt(static_cast<const twofish_ctx*>(ctx), length, dst, src);
}

template <size_t n>
std::array<uint8_t, n> given_or_random(const std::optional<std::array<uint8_t, n>>& given) {
    std::array<uint8_t, n> bytes{};
    if (given)
        bytes = *given;
    else
        kdb_random_bytes(bytes.data(), n);
    return bytes;
}

std::vector<uint8_t> padded(const std::vector<uint8_t>& contents, kdb_padding padding) {
    std::vector<uint8_t> out = contents;
    uint8_t pad = static_cast<uint8_t>(16 - contents.size() % 16);
    out.insert(out.end(), pad, pad);
    if (padding == kdb_padding::zero) out.back() = 0;
    if (padding == kdb_padding::too_large) out.back() = 17;
    if (padding == kdb_padding::uneven) {
        if (pad == 1) out.insert(out.end(), 16, 16);  // a padding long enough to be uneven
        out[out.size() - 2] ^= 0x55;
    }
    return out;
}

void cbc_encrypt_with(kdb_cipher cipher, const uint8_t key[32], std::array<uint8_t, 16> iv,
                      std::vector<uint8_t>& data) {
    if (cipher == kdb_cipher::aes) {
        wiped<aes256_ctx> ctx;
        aes256_set_encrypt_key(&ctx.value, key);
        cbc_encrypt(&ctx.value, aes_encrypt_blocks, 16, iv.data(), data.size(), data.data(), data.data());
    } else {
        wiped<twofish_ctx> ctx;
        twofish256_set_key(&ctx.value, key);
        cbc_encrypt(&ctx.value, twofish_encrypt_blocks, 16, iv.data(), data.size(), data.data(), data.data());
    }
}

}  // namespace

std::vector<uint8_t> kdb_seal(const kdb_write_options& options, uint32_t group_count, uint32_t entry_count,
                              const std::vector<uint8_t>& contents, const std::string& password,
                              const kdb_seal_options& seal) {
    auto master_seed = given_or_random(options.master_seed);
    auto iv = given_or_random(options.iv);
    auto transform_seed = given_or_random(options.transform_seed);
    uint32_t flags = options.flags;
    if (flags == 0) flags = kpass_flag_sha2 | (options.cipher == kdb_cipher::aes ? kpass_flag_aes : kpass_flag_twofish);

    std::vector<uint8_t> file(kdb_header_size, 0);
    kdb_set_u32(file, kdb_offset_signature_1, kdb_signature_1);
    kdb_set_u32(file, kdb_offset_signature_2, kdb_signature_2);
    kdb_set_u32(file, kdb_offset_flags, flags);
    kdb_set_u32(file, kdb_offset_version, options.version);
    std::memcpy(&file[kdb_offset_master_seed], master_seed.data(), 16);
    std::memcpy(&file[kdb_offset_iv], iv.data(), 16);
    kdb_set_u32(file, kdb_offset_group_count, group_count);
    kdb_set_u32(file, kdb_offset_entry_count, entry_count);
    kpass_sha256(contents, &file[kdb_offset_hash]);
    if (seal.break_hash) file[kdb_offset_hash] ^= 0x01;
    std::memcpy(&file[kdb_offset_transform_seed], transform_seed.data(), 32);
    kdb_set_u32(file, kdb_offset_rounds, options.rounds);

    wiped<std::array<uint8_t, 32>> composite, final_key;
    kpass_hash_key(password.c_str(), options.file_key ? options.file_key->data() : nullptr, composite.value.data());
    kpass_final_key(composite.value.data(), transform_seed.data(), options.rounds, master_seed.data(),
                    final_key.value.data());
    std::vector<uint8_t> body = padded(contents, seal.padding);
    cbc_encrypt_with(options.cipher, final_key.value.data(), iv, body);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}
