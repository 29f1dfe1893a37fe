#include <array>
#include <cstring>
#include <new>
#include <optional>

#include "kpass/crypto.h"
#include "kpass/kpass.h"
#include "kpass/secret_bytes.h"
#include "kpass/store.h"

namespace {

// Back to the state kpass_init_db left: no records, the header's counts.
void lock(kpass_db* db) {
    db->store->records = kpass_records{};
    db->groups = nullptr;
    db->entries = nullptr;
    db->group_count = db->store->header_group_count;
    db->entry_count = db->store->header_entry_count;
}

// The size without its PKCS#7 padding (at least one byte, at most a block),
// or none when the padding is wrong.
std::optional<size_t> unpadded_size(std::span<const uint8_t> plain) {
    uint8_t pad = plain.back();
    if (pad < 1 || pad > 16 || pad > plain.size()) return std::nullopt;
    for (size_t i = plain.size() - pad; i < plain.size(); ++i)
        if (plain[i] != pad) return std::nullopt;
    return plain.size() - pad;
}

// Whether the contents decrypted under final_key would end in valid
// padding, from their last block alone: in CBC it is the block's
// decryption added to the ciphertext block before it, or to the IV when
// the contents are one block long. A wrong key passes about once in 256,
// and only then are the whole contents worth decrypting (tens of
// megabytes, for every encoding a password is tried in). The padding lies
// within the last block, and the contents are at least one block long, so
// this is the whole check on padding.
bool last_block_padded(const kpass_db* db, kpass_cipher cipher, const uint8_t final_key[32]) {
    std::span<const uint8_t> encrypted = db->store->encrypted;
    const uint8_t* chain = encrypted.size() == 16 ? db->iv : encrypted.data() + encrypted.size() - 32;
    wiped<std::array<uint8_t, 16>> last;
    kpass_cbc_decrypt(cipher, final_key, chain, encrypted.last(16), last.value.data());
    return unpadded_size(last.value).has_value();
}

// Decrypts the contents under final_key; when they are padded and hashed
// right, parses them into the records.
int unlock(kpass_db* db, kpass_cipher cipher, const uint8_t final_key[32]) {
    kpass_store& store = *db->store;
    secure_vector<uint8_t> plain(store.encrypted.size());
    kpass_cbc_decrypt(cipher, final_key, db->iv, store.encrypted, plain.data());

    std::optional<size_t> size = unpadded_size(plain);
    if (!size) return kpass_wrong_key;
    std::span<const uint8_t> contents(plain.data(), *size);
    std::array<uint8_t, 32> hash;
    kpass_sha256(contents, hash.data());
    if (std::memcmp(hash.data(), db->contents_hash, 32) != 0) return kpass_wrong_key;

    int result = kpass_parse_contents(plain, *size, store.header_group_count, store.header_entry_count, store.records);
    if (result != kpass_success) return result;
    db->groups = store.records.group_pointers.data();
    db->entries = store.records.entry_pointers.data();
    db->entry_count = store.records.listed_entry_count;
    return kpass_success;
}

// Every key's transform at once, then each key in order until one is not
// refused as a wrong key.
int unlock_any(kpass_db* db, const uint8_t* keys, int count, int* matched) {
    std::optional<kpass_cipher> cipher = kpass_cipher_of(db->flags);
    if (!cipher || db->store->encrypted.empty()) return kpass_bad_contents;  // init refuses both; kept safe anyway
    const size_t size = static_cast<size_t>(count) * kpass_key_size;
    secure_vector<uint8_t> transformed(size);
    kpass_copy_secret(transformed.data(), keys, size);
    kpass_transform_keys(db->transform_seed, db->rounds, transformed);
    for (int i = 0; i < count; ++i) {
        wiped<std::array<uint8_t, 32>> final_key;
        kpass_final_key_of_transformed(transformed.data() + static_cast<size_t>(i) * kpass_key_size, db->master_seed,
                                       final_key.value.data());
        if (!last_block_padded(db, *cipher, final_key.value.data())) continue;
        int result = unlock(db, *cipher, final_key.value.data());
        if (result == kpass_wrong_key) continue;
        if (result == kpass_success && matched != nullptr) *matched = i;
        return result;
    }
    return kpass_wrong_key;
}

}  // namespace

// Decrypting a record that is already unlocked first drops its records, so
// that a second call behaves as the first did (and a wrong key then leaves
// the record locked).
int kpass_decrypt_db_any(kpass_db* db, const uint8_t* keys, int count, int* matched) {
    if (db == nullptr || db->store == nullptr || (keys == nullptr && count > 0)) return kpass_bad_contents;
    lock(db);
    if (count <= 0) return kpass_wrong_key;
    int result = kpass_out_of_memory;
    try {
        result = unlock_any(db, keys, count, matched);
    } catch (const std::bad_alloc&) {
        // result stays kpass_out_of_memory
    }
    if (result != kpass_success) lock(db);
    // The ciphers' blocks, and the contents' texts copied into the records,
    // passed through vector registers.
    kpass_clear_vector_registers();
    return result;
}

int kpass_decrypt_db(kpass_db* db, const uint8_t* key) {
    if (key == nullptr) return kpass_bad_contents;
    return kpass_decrypt_db_any(db, key, 1, nullptr);
}
