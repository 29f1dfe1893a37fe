// What a kpass_db holds behind its store pointer: the encrypted contents
// from kpass_init_db, and after a match the records read from them.
//
// Records live in few blocks, whatever their number: the group and entry
// records each in one array, the pointer arrays that kpass_db hands out, and
// one arena holding every text and attachment. The arena's first byte is a
// NUL shared by every text the file leaves out. All blocks are wiped before
// they are released.
#pragma once

#include <cstdint>
#include <span>

#include "kpass/kpass.h"
#include "kpass/secure_memory.h"

struct kpass_records {
    secure_vector<kpass_group> groups;
    secure_vector<kpass_entry> entries;
    secure_vector<kpass_group*> group_pointers;  // one more than groups: a null ends it
    secure_vector<kpass_entry*> entry_pointers;  // likewise
    secure_vector<char> arena;
};

struct kpass_store {
    secure_vector<uint8_t> encrypted;
    uint32_t header_group_count = 0;
    uint32_t header_entry_count = 0;
    kpass_records records;
};

// A new store in secure memory (counted with the other secure blocks);
// throws std::bad_alloc.
kpass_store* kpass_new_store();
void kpass_delete_store(kpass_store* store) noexcept;

// Parses the decrypted, unpadded contents: group_count group records, then
// entry_count entry records. Checks every field before anything is
// allocated. kpass_success or kpass_bad_contents; throws std::bad_alloc.
int kpass_parse_contents(std::span<const uint8_t> contents, uint32_t group_count, uint32_t entry_count,
                         kpass_records& records);
