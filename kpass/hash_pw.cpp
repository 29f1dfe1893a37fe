#include <array>
#include <span>

#include "kpass/crypto.h"
#include "kpass/kpass.h"
#include "kpass/secret_bytes.h"
#include "kpass/secure_memory.h"

// The composite key of a password-only database: SHA-256 of the password's
// bytes as they are (no re-encoding).
int kpass_hash_pw(const char* password, uint8_t* key) {
    if (password == nullptr || key == nullptr) return -1;
    kpass_sha256({reinterpret_cast<const uint8_t*>(password), kpass_secret_length(password)}, key);
    return 0;
}

// With a key file, the file key is used as it is, never hashed again, when
// there is no password: a database locked by the key file alone.
int kpass_hash_key(const char* password, const uint8_t* file_key, uint8_t* key) {
    if (file_key == nullptr || password == nullptr || key == nullptr) return kpass_hash_pw(password, key);
    if (*password == '\0') {
        kpass_copy_secret(key, file_key, kpass_key_size);
        return 0;
    }
    wiped<std::array<uint8_t, 2 * kpass_key_size>> both;
    kpass_hash_pw(password, both.value.data());
    kpass_copy_secret(both.value.data() + kpass_key_size, file_key, kpass_key_size);
    kpass_sha256(both.value, key);
    return 0;
}
