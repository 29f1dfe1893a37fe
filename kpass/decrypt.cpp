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

int unlock(kpass_db* db, const uint8_t* key) {
    kpass_store& store = *db->store;
    wiped<std::array<uint8_t, 32>> final_key;
    kpass_final_key(key, db->transform_seed, db->rounds, db->master_seed, final_key.value.data());

    std::optional<kpass_cipher> cipher = kpass_cipher_of(db->flags);
    if (!cipher || store.encrypted.empty()) return kpass_bad_contents;  // init refuses both; kept safe anyway
    secure_vector<uint8_t> plain(store.encrypted.size());
    kpass_cbc_decrypt(*cipher, final_key.value.data(), db->iv, store.encrypted, plain.data());

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

}  // namespace

// Decrypting a record that is already unlocked first drops its records, so
// that a second call behaves as the first did (and a wrong key then leaves
// the record locked).
int kpass_decrypt_db(kpass_db* db, const uint8_t* key) {
    if (db == nullptr || db->store == nullptr || key == nullptr) return kpass_bad_contents;
    lock(db);
    int result = kpass_out_of_memory;
    try {
        result = unlock(db, key);
    } catch (const std::bad_alloc&) {
        // result stays kpass_out_of_memory
    }
    if (result != kpass_success) lock(db);
    // The ciphers' blocks, and the contents' texts copied into the records,
    // passed through vector registers.
    kpass_clear_vector_registers();
    return result;
}
