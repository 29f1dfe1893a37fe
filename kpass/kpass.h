// kpass: reading KeePass 1.x database files (.kdb).
//
// The caller allocates a kpass_db itself (uncleared storage is fine) and
// drives it through these steps:
//   kpass_init_db    once, on the whole file's bytes (which may be released
//                    as soon as it returns);
//   kpass_hash_pw +  for every password tried, until one matches
//   kpass_decrypt_db (kpass_hash_key for a password with a key file;
//                    kpass_decrypt_db_any for several keys at once);
//   kpass_free_db    once, when the record is done with (locked or unlocked).
// After a match the group and entry arrays and every field in them are
// readable. Texts are NUL-terminated and never null: a text is its field's
// bytes up to the first NUL, or all of them when the field holds none, and
// a text the file leaves out is the empty text. An entry without an
// attachment has binary_size 0. Nothing here writes a file.
//
// Meta-stream entries are left out. KeePass 1.x and KeePassX keep program
// state in entries that no user sees: an entry is one when it has
// attachment data, its notes are not empty, its description is
// "bin-stream", its title "Meta-Info", its user name "SYSTEM", its URL "$"
// and its image id 0 (all seven; an entry that meets only some is kept).
// Once a key matches, the entry array and entry_count hold every other
// entry, in file order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

// Size of the key that kpass_hash_pw fills and kpass_decrypt_db takes.
inline constexpr int kpass_key_size = 32;

// Results. 0 is success; every refusal has its own code so that callers and
// tests can tell them apart, though the program only tests for nonzero.
enum kpass_result : int {
    kpass_success = 0,
    kpass_short_file = 1,          // fewer bytes than a header
    kpass_bad_signature = 2,       // not a KeePass 1.x file
    kpass_bad_version = 3,         // a major version this reader does not know
    kpass_unsupported_cipher = 4,  // flags name neither AES nor Twofish
    kpass_bad_length = 5,          // contents not a positive multiple of 16
    kpass_out_of_memory = 6,
    kpass_wrong_key = 7,           // bad padding or contents hash mismatch
    kpass_bad_contents = 8,        // decrypted contents do not parse
    kpass_empty_key_file = 9,      // a key file of no bytes is no key
};

// Header flag bits.
inline constexpr uint32_t kpass_flag_sha2 = 0x01;
inline constexpr uint32_t kpass_flag_aes = 0x02;
inline constexpr uint32_t kpass_flag_arc4 = 0x04;
inline constexpr uint32_t kpass_flag_twofish = 0x08;

struct kpass_group {
    uint32_t id;
    char* name;
    uint8_t ctime[5];
    uint8_t mtime[5];
    uint8_t atime[5];
    uint8_t etime[5];
    uint32_t image_id;
    uint16_t level;  // 0 for a top-level group
    uint32_t flags;
};

struct kpass_entry {
    uint8_t uuid[16];
    uint32_t group_id;
    int32_t image_id;
    char* title;
    char* url;
    char* username;
    char* password;
    char* notes;
    uint8_t ctime[5];
    uint8_t mtime[5];
    uint8_t atime[5];
    uint8_t etime[5];
    char* description;      // the attachment's description
    uint8_t* binary;        // the attachment's bytes (binary_size of them)
    uint32_t binary_size;
};

// Everything the library keeps between calls that is not a plain field:
// the encrypted contents, and after a match the decrypted records.
struct kpass_store;

struct kpass_db {
    // From the header, set by kpass_init_db.
    uint32_t flags;
    uint32_t version;
    uint8_t master_seed[16];
    uint8_t iv[16];
    uint8_t contents_hash[32];
    uint8_t transform_seed[32];
    uint32_t rounds;
    // Counts: the header's until a key matches, then the records read (for
    // entries, those that are not meta-streams, so it may be lower than the
    // header's).
    uint32_t group_count;
    uint32_t entry_count;
    // Null until a key matches; then group_count and entry_count pointers,
    // each array ended by a null; groups in tree order (a group's subgroups
    // follow it, one level deeper), entries in file order, meta-streams left
    // out.
    kpass_group** groups;
    kpass_entry** entries;
    kpass_store* store;
};

// Checks the header and keeps what later calls need. Nonzero: refused, and
// nothing is left allocated (the storage may be freed or tried again).
int kpass_init_db(kpass_db* db, const uint8_t* data, int length);

// Fills key (kpass_key_size bytes) from the NUL-terminated password.
int kpass_hash_pw(const char* password, uint8_t* key);

// Fills key (kpass_key_size bytes) from the NUL-terminated password and
// file_key, a key file's key (kpass_key_size bytes, or null for none).
// Without a file key it is kpass_hash_pw's key; with one and an empty
// password, the file key itself; with both, SHA-256 of SHA-256(password)
// followed by the file key.
int kpass_hash_key(const char* password, const uint8_t* file_key, uint8_t* key);

// A key file's key (kpass_key_size bytes), made from the file's bytes as
// they are read, so that a large file (a picture) costs no more memory
// than a small one: exactly 32 bytes are the key itself; exactly 64 bytes
// that are all hexadecimal digits (either case) are the 32 bytes they
// spell; anything else is hashed whole with SHA-256 (an XML key file too).
struct kpass_file_key;

// Starts a key, in a secure block; null when memory runs out.
kpass_file_key* kpass_file_key_begin();

// Adds the file's next size bytes.
void kpass_file_key_add(kpass_file_key* state, const uint8_t* bytes, size_t size);

// Fills file_key (unless it is null) and then wipes and releases state.
// kpass_empty_key_file, file_key untouched, when no byte was added;
// kpass_out_of_memory for a null state.
int kpass_file_key_end(kpass_file_key* state, uint8_t* file_key);

// Tries a key. 0: it matches and the records are readable, meta-stream
// entries left out. Nonzero: no match (kpass_wrong_key), damaged contents
// (kpass_bad_contents) or no memory (kpass_out_of_memory); the record stays
// locked, with the header's counts, and ready for another key. Called again on an unlocked record, it
// first drops the records it holds (pointers into them go stale) and then
// tries the key as the first call did.
int kpass_decrypt_db(kpass_db* db, const uint8_t* key);

// kpass_decrypt_db for count keys (count * kpass_key_size bytes at keys)
// tried in their order: the first that is not refused as a wrong key ends
// the tries, and its result is returned, with *matched (unless matched is
// null) set to its index on success. kpass_wrong_key when none matched (or
// count is 0). All the keys' transforms run together, for little more than
// the time of one where the processor has the AES units to spare, and a
// key whose last block does not decrypt to valid padding is refused
// without decrypting the rest; a key is accepted only when the contents'
// hash matches.
int kpass_decrypt_db_any(kpass_db* db, const uint8_t* keys, int count, int* matched);

// Releases everything the record holds (wiping keys and decrypted contents
// first), but not the record's own storage, which kpass_init_db may take
// again.
void kpass_free_db(kpass_db* db);

// Unpacks a 5-byte packed time into tm (year, month, day, hour, minute,
// second; tm_year counts from 1900, tm_mon from 0).
int kpass_unpack_time(const uint8_t packed[5], struct tm* tm);
