// Reading and writing UTF-8: every kind of malformed sequence is refused at
// the byte where it goes wrong, and only there.
#include <gtest/gtest.h>

#include <string>

#include "screen/utf8.h"

namespace {

struct decode_case {
    const char* name;
    std::string bytes;
    char32_t code;
    std::size_t size;
    bool valid;
};

TEST(utf8_next, reads_one_character_or_refuses_the_bytes_that_cannot_be_one) {
    const decode_case cases[] = {
        {"ASCII", "a?", U'a', 1, true},
        {"two bytes", "\xc3\xa4z", U'\u00e4', 2, true},
        {"three bytes", "\xe2\x82\xac", U'\u20ac', 3, true},
        {"four bytes", "\xf0\x9f\x98\x80", U'\U0001F600', 4, true},
        {"largest", "\xf4\x8f\xbf\xbf", U'\U0010FFFF', 4, true},
        {"stray continuation", "\x80" "a", 0, 1, false},
        {"overlong two bytes", "\xc0\xaf", 0, 1, false},
        {"overlong three bytes", "\xe0\x80\xaf", 0, 1, false},
        {"overlong four bytes", "\xf0\x80\x80\xaf", 0, 1, false},
        {"surrogate", "\xed\xa0\x80", 0, 1, false},
        {"past U+10FFFF", "\xf4\x90\x80\x80", 0, 1, false},
        {"no such lead", "\xf8\x88\x80\x80\x80", 0, 1, false},
        {"cut at the end", "\xe2\x82", 0, 2, false},
        {"cut by ASCII", "\xf0\x9f" "a", 0, 2, false},
        {"Latin-1 byte before ASCII", "\xe4" "b", 0, 1, false},
    };
    for (const decode_case& c : cases) {
        utf8_char got = utf8_next(c.bytes);
        EXPECT_EQ(got.valid, c.valid) << c.name;
        EXPECT_EQ(got.size, c.size) << c.name;
        EXPECT_EQ(got.code, c.code) << c.name;
    }
}

TEST(utf8_encode, gives_back_what_utf8_next_reads) {
    for (char32_t code : {U'\0', U'a', U'\u007f', U'\u0080', U'\u07ff', U'\u0800', U'\uffff', U'\U00010000',
                          U'\U0010FFFF'}) {
        char bytes[4];
        std::size_t size = utf8_encode(code, bytes);
        ASSERT_GT(size, 0u) << static_cast<unsigned>(code);
        utf8_char back = utf8_next(std::string(bytes, size));
        EXPECT_TRUE(back.valid);
        EXPECT_EQ(back.size, size);
        EXPECT_EQ(back.code, code);
        EXPECT_EQ(utf8_sequence_size(static_cast<unsigned char>(bytes[0])), size > 1 ? size : 0);
    }
    char bytes[4];
    EXPECT_EQ(utf8_encode(0xD800, bytes), 0u);
    EXPECT_EQ(utf8_encode(0x110000, bytes), 0u);
}

}  // namespace
