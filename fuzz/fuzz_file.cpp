// Raw file bytes through kpass_init_db and, when the header is accepted,
// kpass_decrypt_db with a fixed password: the header checks, the padding
// and hash checks, and (for the seeds, sealed with that password) the
// contents parser.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fixtures.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "wiped_check.h"

namespace {

// The key transform runs rounds AES rounds: a header asking for billions
// would only make the fuzzer time out, not find anything new.
constexpr uint32_t max_rounds = 64;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_file: %s\n", what);
    std::abort();
}

uint8_t fuzz_key[kpass_key_size];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kpass_hash_pw(fuzz_password, fuzz_key);
    fuzz_install_wiped_check();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return -1;
    size_t blocks_before = kpass_secure_blocks_in_use();
    // Uncleared storage, as the program hands it over.
    auto* db = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db)));
    std::memset(db, 0xA5, sizeof *db);
    int accepted = kpass_init_db(db, data, static_cast<int>(size));
    if (accepted != kpass_success) {
        if (db->store != nullptr || db->groups != nullptr) fail("a refused header left something allocated");
        if (kpass_secure_blocks_in_use() != blocks_before) fail("a refused header left a secure block");
    } else {
        if (db->rounds > max_rounds) db->rounds %= max_rounds;
        int result = kpass_decrypt_db(db, fuzz_key);
        if (result == kpass_success) {
            for (uint32_t i = 0; i < db->group_count; ++i)
                if (db->groups[i] == nullptr || db->groups[i]->name == nullptr) fail("a group without a name");
            for (uint32_t i = 0; i < db->entry_count; ++i)
                if (db->entries[i] == nullptr || db->entries[i]->title == nullptr) fail("an entry without a title");
        } else if (db->groups != nullptr || db->entries != nullptr) {
            fail("a failed decrypt left records readable");
        }
        kpass_free_db(db);
        if (kpass_secure_blocks_in_use() != blocks_before) fail("kpass_free_db left a secure block");
    }
    std::free(db);
    return 0;
}
