// The byte strings a typed master password is tried as, and unlocking
// files whose writers hashed other bytes of the same text.
#include <clocale>

#include "db/password_encodings.h"
#include "kpass/kpass_test_helpers.h"
#include "support/peer_files.h"

namespace {

TEST(PasswordEncodings, EachEncodingThatHoldsTheTextOnceInOrder) {
    struct encodings_case {
        const char* what;
        const char* typed;
        bool utf8;
        std::vector<std::string> tries;
    };
    const encodings_case cases[] = {
        {"ASCII", "pass word", true, {"pass word"}},
        {"ASCII in the C locale", "pass word", false, {"pass word"}},
        {"the empty text", "", true, {""}},
        {"Windows-1252 and Latin-1 agree", "\xc3\xa9", true, {"\xe9", "\xc3\xa9"}},
        {"kpx-latin1-password's", "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f", true,
         {"\xf6\xe4\xfc\xdf", "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f"}},
        {"the last Latin-1 byte", "\xc3\xbf", true, {"\xff", "\xc3\xbf"}},
        {"euro sign: Windows-1252 only", "\xe2\x82\xac", true, {"\x80", "\xe2\x82\xac"}},
        {"quotes", "\xe2\x80\x9epassword\xe2\x80\x9d", true, {"\x84password\x94", "\xe2\x80\x9epassword\xe2\x80\x9d"}},
        {"Windows-1252's 0x9F", "\xc5\xb8", true, {"\x9f", "\xc5\xb8"}},
        {"euro sign and u umlaut", "\xe2\x82\xac\xc3\xbc", true, {"\x80\xfc", "\xe2\x82\xac\xc3\xbc"}},
        {"undefined in Windows-1252", "\xc2\x81\xc2\x90", true, {"\x81\x90", "\xc2\x81\xc2\x90"}},
        {"neither 8-bit encoding holds both", "\xe2\x82\xac\xc2\x90", true, {"\xe2\x82\xac\xc2\x90"}},
        {"CJK", "\xe6\x97\xa5\xe6\x9c\xac", true, {"\xe6\x97\xa5\xe6\x9c\xac"}},
        {"4-byte character", "key\xf0\x9f\x94\x91", true, {"key\xf0\x9f\x94\x91"}},
        {"raw bytes in the C locale", "p\xe4ss", false, {"p\xe4ss"}},
        {"UTF-8 bytes in the C locale", "\xc3\xa9", false, {"\xc3\xa9"}},
        {"invalid UTF-8", "p\xe4ss \xc3\xa9", true, {"p\xe4ss \xc3\xa9"}},
        {"a sequence cut short", "\xc3\xa9\xe2\x82", true, {"\xc3\xa9\xe2\x82"}},
    };
    for (const encodings_case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> got;
        for (const password_bytes& bytes : password_encodings(c.typed, c.utf8)) {
            ASSERT_FALSE(bytes.empty());
            EXPECT_EQ(bytes.back(), '\0');
            got.emplace_back(bytes.data(), bytes.size() - 1);
        }
        EXPECT_EQ(got, c.tries);
    }
}

TEST(TryPassword, TheTypedTextUnlocksWhicheverOfItsEncodingsTheWriterHashed) {
    struct hashed_case {
        const char* what;
        const char* locale;
        const char* hashed;
        const char* typed;
        int result;
    };
    const hashed_case cases[] = {
        {"Windows-1252 bytes", "C.UTF-8", "\x84pass\x80\x94", "\xe2\x80\x9epass\xe2\x82\xac\xe2\x80\x9d", kpass_success},
        {"Latin-1 bytes", "C.UTF-8", "p\xe4ss", "p\xc3\xa4ss", kpass_success},
        {"UTF-8 bytes", "C.UTF-8", "p\xc3\xa4ss w\xc3\xb6rd", "p\xc3\xa4ss w\xc3\xb6rd", kpass_success},
        {"another text", "C.UTF-8", "p\xc3\xa4ss", "p\xc3\xa4ss ", kpass_wrong_key},
        {"C locale: the bytes typed", "C", "p\xe4ss", "p\xe4ss", kpass_success},
        {"C locale: no other", "C", "p\xe4ss", "p\xc3\xa4ss", kpass_wrong_key},
    };
    for (const hashed_case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(std::setlocale(LC_CTYPE, c.locale), nullptr);
        test_db t;
        ASSERT_EQ(t.init(kdb_write({}, {small_group_spec()}, {}, c.hashed)), kpass_success);
        EXPECT_EQ(try_password(t.db, c.typed), c.result);
        EXPECT_EQ(t.db->groups != nullptr, c.result == kpass_success);
    }
}

TEST(TryPassword, WithAKeyFileEachEncodingIsTriedWithItThenWithout) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const std::array<uint8_t, 32> file_key = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const struct { bool locked_by_key_file; const char *hashed, *typed; int result; } cases[] = {
        {true, "", "", kpass_success},  // the key file alone
        {true, "pw", "pw", kpass_success},
        {true, "p\xe4ss", "p\xc3\xa4ss", kpass_success},   // Latin-1
        {false, "p\xe4ss", "p\xc3\xa4ss", kpass_success},  // no key file needed
    };
    for (const auto& c : cases) {
        kdb_write_options options;
        if (c.locked_by_key_file) options.file_key = file_key;
        test_db t;
        ASSERT_EQ(t.init(kdb_write(options, {small_group_spec()}, {}, c.hashed)), kpass_success);
        EXPECT_EQ(try_password(t.db, c.typed, file_key.data()), c.result) << c.typed;
    }
}

TEST(TryPassword, DamagedContentsUnderTheRightKeyAreNoWrongKey) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    test_db t;
    // Padded and hashed right, keyed by the Windows-1252 bytes of "€uro",
    // but its first field runs past the end.
    ASSERT_EQ(t.init(kdb_seal({}, 1, 0, std::vector<uint8_t>(40, 0xEE), "\x80uro")), kpass_success);
    EXPECT_EQ(try_password(t.db, "\xe2\x82\xac" "uro"), kpass_bad_contents);
    EXPECT_EQ(t.db->groups, nullptr);
}

TEST(TryPassword, TheKeePassXFileUnlocksWithItsPasswordTypedAsUtf8) {
    std::vector<uint8_t> file = read_peer("kpx-latin1-password.kdb");
    if (file.empty()) GTEST_SKIP() << "no " << peer_dir << "/kpx-latin1-password.kdb: cross-check skipped";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    test_db t;
    ASSERT_EQ(t.init(file), kpass_success);
    ASSERT_EQ(try_password(t.db, "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f"), kpass_success);
    ASSERT_EQ(t.db->entry_count, 1u);
    EXPECT_STREQ(t.db->entries[0]->title, "mytitle");
}

}  // namespace
