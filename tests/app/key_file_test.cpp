// A key file's key, read from the file in pieces: its bytes, the digits
// they spell, or their hash.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "app/key_file.h"
#include "kpass/crypto.h"

namespace {

TEST(KeyFile, IsItsBytesItsHexDigitsOrItsHash) {
    std::string raw, hex;
    for (int i = 0; i < 32; ++i) {
        raw += static_cast<char>(i * 37 + 5);
        hex += "0123456789abcdef"[(i * 37 + 5) >> 4 & 15];
        hex += "0123456789abcdef"[(i * 37 + 5) & 15];
    }
    std::string upper = hex, not_hex = hex;
    for (char& c : upper) c = static_cast<char>(std::toupper(c));
    not_hex[40] = 'g';
    struct key_case {
        const char* what;
        std::string bytes;
        bool hashed;  // else the key is raw
    };
    const key_case cases[] = {
        {"31 bytes", raw.substr(0, 31), true},
        {"32 bytes", raw, false},
        {"33 bytes", raw + "\n", true},
        {"64 hex digits", hex, false},
        {"64 upper-case hex digits", upper, false},
        {"64 bytes, one not a hex digit", not_hex, true},
        {"64 hex digits and a newline", hex + "\n", true},
        {"a file of many pieces", std::string(1 << 20, 'x') + hex, true},
    };
    std::string path = testing::TempDir() + "kdbrowse-key-" + std::to_string(getpid());
    for (const key_case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(path, std::ios::binary) << c.bytes;
        uint8_t want[32], got[32] = {};
        if (c.hashed) kpass_sha256({reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()}, want);
        if (!c.hashed) std::copy(raw.begin(), raw.end(), want);
        EXPECT_EQ(read_key_file(path.c_str(), got), nullptr);
        EXPECT_EQ(std::string(got, got + 32), std::string(want, want + 32));
    }
    unlink(path.c_str());
}

}  // namespace
