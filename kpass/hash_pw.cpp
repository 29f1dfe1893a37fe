#include <cstring>
#include <span>

#include "kpass/crypto.h"
#include "kpass/kpass.h"

// The composite key of a password-only database: SHA-256 of the password's
// bytes as they are (no re-encoding).
int kpass_hash_pw(const char* password, uint8_t* key) {
    if (password == nullptr || key == nullptr) return -1;
    kpass_sha256({reinterpret_cast<const uint8_t*>(password), std::strlen(password)}, key);
    return 0;
}
