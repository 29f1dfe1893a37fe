#include <cstring>
#include <new>

#include "kpass/crypto.h"
#include "kpass/format.h"
#include "kpass/kpass.h"
#include "kpass/store.h"

namespace {

// Every field of the caller's uncleared storage gets a value first, so that
// a refused record holds nothing and kpass_free_db on it would be harmless.
void clear_db(kpass_db* db) {
    db->flags = 0;
    db->version = 0;
    std::memset(db->master_seed, 0, sizeof db->master_seed);
    std::memset(db->iv, 0, sizeof db->iv);
    std::memset(db->contents_hash, 0, sizeof db->contents_hash);
    std::memset(db->transform_seed, 0, sizeof db->transform_seed);
    db->rounds = 0;
    db->group_count = 0;
    db->entry_count = 0;
    db->groups = nullptr;
    db->entries = nullptr;
    db->store = nullptr;
}

int check_header(const uint8_t* data, size_t length) {
    if (length < kdb_header_size) return kpass_short_file;
    if (kdb_read_u32(data + kdb_offset_signature_1) != kdb_signature_1 ||
        kdb_read_u32(data + kdb_offset_signature_2) != kdb_signature_2)
        return kpass_bad_signature;
    if ((kdb_read_u32(data + kdb_offset_version) & kdb_version_mask) != kdb_version) return kpass_bad_version;
    if (!kpass_cipher_of(kdb_read_u32(data + kdb_offset_flags))) return kpass_unsupported_cipher;
    size_t contents = length - kdb_header_size;
    if (contents == 0 || contents % 16 != 0) return kpass_bad_length;
    return kpass_success;
}

void read_header(kpass_db* db, const uint8_t* data) {
    db->flags = kdb_read_u32(data + kdb_offset_flags);
    db->version = kdb_read_u32(data + kdb_offset_version);
    std::memcpy(db->master_seed, data + kdb_offset_master_seed, 16);
    std::memcpy(db->iv, data + kdb_offset_iv, 16);
    db->group_count = kdb_read_u32(data + kdb_offset_group_count);
    db->entry_count = kdb_read_u32(data + kdb_offset_entry_count);
    std::memcpy(db->contents_hash, data + kdb_offset_hash, 32);
    std::memcpy(db->transform_seed, data + kdb_offset_transform_seed, 32);
    db->rounds = kdb_read_u32(data + kdb_offset_rounds);
}

}  // namespace

int kpass_init_db(kpass_db* db, const uint8_t* data, int length) {
    if (db == nullptr) return kpass_short_file;
    clear_db(db);
    if (data == nullptr || length < 0) return kpass_short_file;
    size_t size = static_cast<size_t>(length);
    if (int result = check_header(data, size); result != kpass_success) return result;

    kpass_store* store = nullptr;
    try {
        store = kpass_new_store();
        store->encrypted.assign(data + kdb_header_size, data + size);
    } catch (const std::bad_alloc&) {
        kpass_delete_store(store);
        return kpass_out_of_memory;
    }
    read_header(db, data);
    store->header_group_count = db->group_count;
    store->header_entry_count = db->entry_count;
    db->store = store;
    return kpass_success;
}
