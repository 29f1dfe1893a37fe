// A key file's key: its 32 bytes, the bytes its 64 hexadecimal digits
// spell, or the hash of all of it.
#include "kpass_test_helpers.h"

std::string file_key_of(std::string_view bytes) {
    kpass_file_key* state = kpass_file_key_begin();
    for (size_t at = 0; at < bytes.size(); at += 7)
        kpass_file_key_add(state, reinterpret_cast<const uint8_t*>(&bytes[at]), bytes.substr(at, 7).size());
    std::string key(kpass_key_size, '\0');
    kpass_file_key_end(state, reinterpret_cast<uint8_t*>(key.data()));
    return key;
}

// A key taken raw, decoded or hashed by the wrong rule: a length off by
// one, upper-case digits, a non-hex byte, a newline, a large file; or a
// key that depends on how the file's bytes arrive.
TEST(KeyFile, IsItsBytesItsHexDigitsOrItsHash) {
    const std::string raw = "0123456789abcdefghijklmnopqrstuv";
    const std::string hex = "303132333435363738396162636465666768696a6b6c6d6e6f707172737475" "76";
    const std::string upper = "303132333435363738396162636465666768696A6B6C6D6E6F707172737475" "76";
    const std::pair<std::string, bool> cases[] = {  // the file's bytes, and whether they are hashed
        {raw.substr(0, 31), true}, {raw, false}, {raw + "\n", true}, {hex, false}, {upper, false},
        {hex.substr(0, 63) + "g", true}, {hex + "\n", true}, {std::string(1 << 20, 'x') + hex, true},
    };
    for (const auto& [bytes, hashed] : cases) {
        uint8_t hash[kpass_key_size];
        kpass_hash_pw(bytes.c_str(), hash);  // the SHA-256 of the bytes, none of which is NUL
        EXPECT_EQ(file_key_of(bytes), hashed ? std::string(hash, hash + kpass_key_size) : raw) << bytes.substr(0, 65);
    }
}
