// The contents parser reached for real: the fuzzed bytes are sealed as the
// decrypted contents of a file with a valid header, padding and hash, so
// that every check after the hash is what gets fuzzed. The first two bytes
// choose the header's group and entry counts.
//
// On success the records must hold together: the group count is the
// header's, the entry array lists every entry record that is not a
// meta-stream, in order, and no other; the pointer arrays are
// null-terminated, every text is non-null,
// lies inside the decrypted contents or the block of texts and ends with a
// NUL there, every attachment lies inside the decrypted contents.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fixtures.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "kpass/store.h"
#include "wiped_check.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_contents: %s\n", what);
    std::abort();
}

uint8_t fuzz_key[kpass_key_size];
kdb_write_options options;

// Small counts mostly; the top values stand for counts far beyond any
// contents.
uint32_t count_from(uint8_t byte) {
    switch (byte) {
    case 0xFF: return 0xFFFFFFFFu;
    case 0xFE: return 0x80000000u;
    case 0xFD: return 0x7FFFFFFFu;
    case 0xFC: return 0x10000000u;
    case 0xFB: return 0x00010000u;
    default: return byte & 0x3F;
    }
}

struct block_view {
    const char* begin;
    const char* end;
    bool holds(const char* p) const { return p >= begin && p < end; }
};

template <class T>
block_view view_of(const secure_vector<T>& block) {
    const char* begin = reinterpret_cast<const char*>(block.data());
    return {begin, begin + block.size() * sizeof(T)};
}

void check_text(const block_view& contents, const block_view& texts, const char* text) {
    if (text == nullptr) fail("a null text");
    const block_view* in = contents.holds(text) ? &contents : texts.holds(text) ? &texts : nullptr;
    if (in == nullptr) fail("a text outside the records' blocks");
    if (std::memchr(text, 0, static_cast<size_t>(in->end - text)) == nullptr) fail("a text without its NUL");
}

void check_records(const kpass_db* db, uint32_t group_count, uint32_t entry_count) {
    if (db->group_count != group_count) fail("the group count differs from the header");
    if (db->entry_count > entry_count) fail("more entries listed than the header counts");
    if (db->groups == nullptr || db->entries == nullptr) fail("null record arrays");
    if (db->groups[group_count] != nullptr || db->entries[db->entry_count] != nullptr) fail("arrays not null-ended");
    const kpass_records& records = db->store->records;
    block_view contents = view_of(records.contents);
    block_view texts = view_of(records.texts);
    for (uint32_t i = 0; i < group_count; ++i) {
        if (db->groups[i] != &records.groups[i]) fail("a group pointer out of place");
        check_text(contents, texts, db->groups[i]->name);
    }
    uint32_t listed = 0;
    for (uint32_t i = 0; i < entry_count; ++i) {
        const kpass_entry* e = &records.entries[i];
        for (const char* text : {e->title, e->url, e->username, e->password, e->notes, e->description})
            check_text(contents, texts, text);
        if (e->binary_size != 0) {
            const char* bytes = reinterpret_cast<const char*>(e->binary);
            if (!contents.holds(bytes) || e->binary_size > static_cast<size_t>(contents.end - bytes))
                fail("an attachment outside the decrypted contents");
        }
        if (!kpass_is_meta_stream(*e) && (listed >= db->entry_count || db->entries[listed++] != e))
            fail("an entry that is not a meta-stream is not listed in its place");
    }
    if (listed != db->entry_count) fail("the entry count is not the number of entries listed");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kpass_hash_pw(fuzz_password, fuzz_key);
    options = fuzz_write_options(1);
    fuzz_install_wiped_check();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 1 << 18) return -1;
    uint32_t group_count = count_from(data[0]);
    uint32_t entry_count = count_from(data[1]);
    std::vector<uint8_t> contents(data + 2, data + size);
    std::vector<uint8_t> file = kdb_seal(options, group_count, entry_count, contents, fuzz_password);

    size_t blocks_before = kpass_secure_blocks_in_use();
    auto* db = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)));
    std::memset(db, 0xA5, sizeof *db);
    if (kpass_init_db(db, file.data(), static_cast<int>(file.size())) != kpass_success)
        fail("a sealed file was refused");
    int result = kpass_decrypt_db(db, fuzz_key);
    if (result == kpass_success) {
        check_records(db, group_count, entry_count);
    } else {
        if (result != kpass_bad_contents) fail("damaged contents gave another result than kpass_bad_contents");
        if (db->groups != nullptr || db->entries != nullptr) fail("a failed parse left records readable");
        if (db->group_count != group_count || db->entry_count != entry_count) fail("a failed parse changed the counts");
    }
    kpass_free_db(db);
    std::free(db);
    if (kpass_secure_blocks_in_use() != blocks_before) fail("a secure block outlived kpass_free_db");
    return 0;
}
