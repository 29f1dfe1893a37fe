// The byte strings a typed master password is tried as, and unlocking
// files whose writers hashed other bytes of the same text.
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>

#include "db/password_encodings.h"
#include "kpass/crypto.h"
#include "kpass/kpass_test_helpers.h"
#include "support/peer_files.h"
#include "support/secret_search.h"

namespace {

// Runs check once under each key transform kernel this processor runs,
// forced through KDBROWSE_AES.
template <class Check>
void under_every_kernel(Check check) {
    for (const char* name : {"nettle", "aesni", "vaes256", "vaes512"}) {
        setenv("KDBROWSE_AES", name, 1);
        if (std::string(kpass_aes_kernel_name(kpass_aes_kernel_chosen())) != name) continue;  // not on this processor
        SCOPED_TRACE(name);
        check();
    }
    unsetenv("KDBROWSE_AES");
}

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
        {"Windows-1252 and Latin-1 agree, GBK has it", "\xc3\xa9", true, {"\xe9", "\xc3\xa9", "\xa8\xa6"}},
        {"kpx-latin1-password's", "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f", true,
         {"\xf6\xe4\xfc\xdf", "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f"}},
        {"the last Latin-1 byte", "\xc3\xbf", true, {"\xff", "\xc3\xbf"}},
        {"euro sign: most code pages agree with 1252", "\xe2\x82\xac", true,
         {"\x80", "\xe2\x82\xac", "\x88", "\xa2\xe6", "\xa3\xe1"}},
        {"quotes", "\xe2\x80\x9epassword\xe2\x80\x9d", true, {"\x84password\x94", "\xe2\x80\x9epassword\xe2\x80\x9d"}},
        {"Windows-1252's 0x9F", "\xc5\xb8", true, {"\x9f", "\xc5\xb8"}},
        {"euro sign and u umlaut", "\xe2\x82\xac\xc3\xbc", true, {"\x80\xfc", "\xe2\x82\xac\xc3\xbc", "\x80\xa8\xb9"}},
        {"undefined in Windows-1252", "\xc2\x81\xc2\x90", true, {"\x81\x90", "\xc2\x81\xc2\x90", "??"}},
        {"neither 8-bit encoding holds both", "\xe2\x82\xac\xc2\x90", true, {"\xe2\x82\xac\xc2\x90", "\x80?"}},
        {"CJK", "\xe6\x97\xa5\xe6\x9c\xac", true,
         {"\xe6\x97\xa5\xe6\x9c\xac", "??", "\x93\xfa\x96\x7b", "\xc8\xd5\xb1\xbe", "\xec\xed\xdc\xe2", "\xa4\xe9\xa5\xbb"}},
        {"Cyrillic: 1251, 932, 936, 949", "\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c", true,
         {"\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c", "??????", "\xef\xe0\xf0\xee\xeb\xfc",
          "\x84\x81\x84\x70\x84\x82\x84\x80\x84\x7c\x84\x8e", "\xa7\xe1\xa7\xd1\xa7\xe2\xa7\xe0\xa7\xdd\xa7\xee",
          "\xac\xe1\xac\xd1\xac\xe2\xac\xe0\xac\xdd\xac\xee"}},
        {"Polish: 1250, 1257", "\xc5\x82\xc3\xb3\x64\xc5\xba", true,
         {"\xc5\x82\xc3\xb3\x64\xc5\xba", "?\xf3\x64?", "\xb3\xf3\x64\x9f", "\xf9\xf3\x64\xea"}},
        {"Greek: the most strings", "\xce\xb1\xce\xb2", true,
         {"\xce\xb1\xce\xb2", "??", "\xe1\xe2", "\x83\xbf\x83\xc0", "\xa6\xc1\xa6\xc2", "\xa5\xe1\xa5\xe2", "\xa3\x5c\xa3\x5d"}},
        {"Japanese: 932, 936, 949", "\xe3\x81\xb2\xe3\x81\xbf\xe3\x81\xa4", true,
         {"\xe3\x81\xb2\xe3\x81\xbf\xe3\x81\xa4", "???", "\x82\xd0\x82\xdd\x82\xc2", "\xa4\xd2\xa4\xdf\xa4\xc4",
          "\xaa\xd2\xaa\xdf\xaa\xc4"}},
        {"Vietnamese: 1258's combining mark", "\xe1\xba\xbf", true, {"\xe1\xba\xbf", "?", "\xea\xec"}},
        {"check mark: one \"?\"", "password\xe2\x9c\x93", true, {"password\xe2\x9c\x93", "password?"}},
        {"emoji: in no code page, two UTF-16 units", "key\xf0\x9f\x94\x91", true, {"key\xf0\x9f\x94\x91", "key??"}},
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
        {"Windows-1251 bytes", "C.UTF-8", "\xef\xe0\xf0\xee\xeb\xfc", "\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c",
         kpass_success},
        {"Shift_JIS bytes", "C.UTF-8", "\x83\x70\x83\x58\x83\x8f\x81\x5b\x83\x68",
         "\xe3\x83\x91\xe3\x82\xb9\xe3\x83\xaf\xe3\x83\xbc\xe3\x83\x89", kpass_success},
        {"Windows-1252 bytes with \"?\"", "C.UTF-8", "password?", "password\xe2\x9c\x93", kpass_success},
        {"another text", "C.UTF-8", "p\xc3\xa4ss", "p\xc3\xa4ss ", kpass_wrong_key},
        {"C locale: the bytes typed", "C", "p\xe4ss", "p\xe4ss", kpass_success},
        {"C locale: no other", "C", "p\xe4ss", "p\xc3\xa4ss", kpass_wrong_key},
    };
    under_every_kernel([&] {
        for (const hashed_case& c : cases) {
            SCOPED_TRACE(c.what);
            ASSERT_NE(std::setlocale(LC_CTYPE, c.locale), nullptr);
            test_db t;
            ASSERT_EQ(t.init(kdb_write({}, {small_group_spec()}, {}, c.hashed)), kpass_success);
            EXPECT_EQ(try_password(t.db, c.typed), c.result);
            EXPECT_EQ(t.db->groups != nullptr, c.result == kpass_success);
        }
    });
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
    under_every_kernel([&] {
        for (const auto& c : cases) {
            kdb_write_options options;
            if (c.locked_by_key_file) options.file_key = file_key;
            test_db t;
            ASSERT_EQ(t.init(kdb_write(options, {small_group_spec()}, {}, c.hashed)), kpass_success);
            EXPECT_EQ(try_password(t.db, c.typed, file_key.data()), c.result) << c.typed;
        }
    });
}

// Every candidate key of a wrong password (each encoding, with the key file
// and without), and each one transformed, is wiped once the try is over.
// They are computed in a child process, straight into a page of their own
// that the search leaves out.
TEST(TryPassword, LeavesNoCandidateKeyBehind) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const char* typed = "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f";  // two encodings: four keys (a search costs each)
    const std::array<uint8_t, 32> file_key = {9, 8, 7, 6, 5, 4, 3, 2, 1};
    kdb_write_options options;
    options.rounds = 3;
    const std::vector<uint8_t> file = kdb_write(options, {small_group_spec()}, {}, "pw");
    constexpr size_t most = 8;  // each key and its transform
    using key = std::array<uint8_t, kpass_key_size>;
    auto* needles = static_cast<key*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(needles, MAP_FAILED);
    static_assert(most * sizeof(key) <= 4096);
    pid_t child = fork();
    if (child == 0) {
        size_t n = 0;
        for (const uint8_t* with : {file_key.data(), static_cast<const uint8_t*>(nullptr)})
            for (const password_bytes& bytes : password_encodings(typed, true)) {
                kpass_hash_key(bytes.data(), with, needles[n].data());
                needles[n + 1] = needles[n];
                kpass_transform_key(file.data() + kdb_offset_transform_seed, options.rounds, needles[n + 1].data());
                n += 2;
            }
        _exit(n == most ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    test_db t;
    ASSERT_EQ(t.init(file), kpass_success);
    EXPECT_EQ(try_password(t.db, typed, file_key.data()), kpass_wrong_key);
    std::vector<secret> wanted;
    for (size_t i = 0; i < most; ++i) wanted.push_back({i % 2 ? "transformed key" : "candidate key", needles[i].data(), 32, false});
    EXPECT_EQ(copies_left(wanted, needles), std::vector<std::string>{});
    munmap(needles, 4096);
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
