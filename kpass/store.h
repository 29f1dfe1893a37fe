// What a kpass_db holds behind its store pointer: the encrypted contents
// from kpass_init_db, and after a match the records read from them.
//
// Records live in few blocks, whatever their number: the group and entry
// records each in one array, the pointer arrays that kpass_db hands out, the
// decrypted contents that texts and attachments point into, and a small
// block of texts: a NUL shared by every text the file leaves out, then a
// NUL-ended copy of every text whose field holds no NUL. All blocks are
// wiped before they are released.
#pragma once

#include <cstdint>
#include <span>

#include "kpass/kpass.h"
#include "kpass/secure_memory.h"

struct kpass_records {
    secure_vector<kpass_group> groups;
    secure_vector<kpass_entry> entries;  // every entry record, meta-streams included
    secure_vector<kpass_group*> group_pointers;  // one more than groups: a null ends it
    // The listed entries (meta-streams left out) in file order, then nulls:
    // one more slot than entries, so a null always ends it.
    secure_vector<kpass_entry*> entry_pointers;
    uint32_t listed_entry_count = 0;  // entry_pointers before the first null
    secure_vector<uint8_t> contents;  // decrypted, padding included
    secure_vector<char> texts;
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

// Parses the first size bytes of the decrypted contents (those without the
// padding): group_count group records, then entry_count entry records.
// Checks every field before anything is allocated. On kpass_success the
// records take the contents' buffer over and point into it, and
// entry_pointers lists the entries that are not meta-streams; else
// kpass_bad_contents, and contents stays with the caller. Throws
// std::bad_alloc.
int kpass_parse_contents(secure_vector<uint8_t>& contents, size_t size, uint32_t group_count,
                         uint32_t entry_count, kpass_records& records);

// True when entry is a meta-stream, which no user sees as an entry: it has
// attachment data, notes that are not empty, the description "bin-stream",
// the title "Meta-Info", the user name "SYSTEM", the URL "$" and image id 0,
// all seven (KeePass 1.x's own test).
bool kpass_is_meta_stream(const kpass_entry& entry);
