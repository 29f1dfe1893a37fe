// The byte strings a typed master password is tried as, and unlocking
// files whose writers hashed other bytes of the same text.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "db/password_encodings.h"
#include "kpass/kpass.h"
#include "kpass/writer/kdb_writer.h"

namespace {

std::string text_of(const password_bytes& bytes) {
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\0');
    return std::string(bytes.data(), bytes.size() - 1);
}

struct encodings_case {
    const char* what;
    const char* typed;
    bool utf8;
    std::vector<std::string> tries;
};

TEST(PasswordEncodings, EachEncodingThatHoldsTheTextOnceInOrder) {
    const encodings_case cases[] = {
        {"ASCII", "pass word", true, {"pass word"}},
        {"ASCII in the C locale", "pass word", false, {"pass word"}},
        {"the empty text", "", true, {""}},
        {"2-byte letter: Windows-1252 and Latin-1 agree", "\xc3\xa9", true, {"\xe9", "\xc3\xa9"}},
        {"the file kpx-latin1-password's", "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f", true,
         {"\xf6\xe4\xfc\xdf", "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f"}},
        {"y with diaeresis, the last Latin-1 byte", "\xc3\xbf", true, {"\xff", "\xc3\xbf"}},
        {"euro sign: Windows-1252 only, then UTF-8", "\xe2\x82\xac", true, {"\x80", "\xe2\x82\xac"}},
        {"quotes of Windows-1252", "\xe2\x80\x9epassword\xe2\x80\x9d", true,
         {"\x84password\x94", "\xe2\x80\x9epassword\xe2\x80\x9d"}},
        {"capital Y with diaeresis at 0x9F", "\xc5\xb8", true, {"\x9f", "\xc5\xb8"}},
        {"a letter each of Windows-1252 and Latin-1 alone", "\xe2\x82\xac\xc2\x90", true, {"\xe2\x82\xac\xc2\x90"}},
        {"U+0081 and U+0090: undefined in Windows-1252, bytes in Latin-1", "\xc2\x81\xc2\x90", true,
         {"\x81\x90", "\xc2\x81\xc2\x90"}},
        {"euro sign and u with diaeresis", "\xe2\x82\xac\xc3\xbc", true, {"\x80\xfc", "\xe2\x82\xac\xc3\xbc"}},
        {"CJK: UTF-8 only", "\xe6\x97\xa5\xe6\x9c\xac", true, {"\xe6\x97\xa5\xe6\x9c\xac"}},
        {"4-byte character", "key\xf0\x9f\x94\x91", true, {"key\xf0\x9f\x94\x91"}},
        {"raw bytes in the C locale", "p\xe4ss", false, {"p\xe4ss"}},
        {"UTF-8 bytes in the C locale", "\xc3\xa9", false, {"\xc3\xa9"}},
        {"invalid UTF-8", "p\xe4ss \xc3\xa9", true, {"p\xe4ss \xc3\xa9"}},
        {"a sequence cut short", "\xc3\xa9\xe2\x82", true, {"\xc3\xa9\xe2\x82"}},
    };
    for (const encodings_case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<password_bytes> got = password_encodings(c.typed, c.utf8);
        std::vector<std::string> texts;
        for (const password_bytes& bytes : got) texts.push_back(text_of(bytes));
        EXPECT_EQ(texts, c.tries);
    }
}

// Files of the project's writer whose password was hashed as the given bytes.
class TryPasswordTest : public ::testing::Test {
protected:
    void SetUp() override { db_ = static_cast<kpass_db*>(std::malloc(sizeof(kpass_db))); }
    void TearDown() override {
        if (loaded_) kpass_free_db(db_);
        std::free(db_);
    }
    void load(const std::vector<uint8_t>& file) {
        ASSERT_EQ(kpass_init_db(db_, file.data(), static_cast<int>(file.size())), kpass_success);
        loaded_ = true;
    }
    void load_hashed_as(const std::string& hashed_bytes) {
        kdb_write_options options;
        options.rounds = 5;
        kdb_group_spec group;
        group.id = 1;
        group.name = "g";
        kdb_entry_spec entry;
        entry.group_id = 1;
        entry.title = "t";
        load(kdb_write(options, {group}, {entry}, hashed_bytes));
    }
    kpass_db* db_ = nullptr;
    bool loaded_ = false;
};

TEST_F(TryPasswordTest, TextTypedInAUtf8TerminalUnlocksWhateverItsWriterHashed) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    struct hashed_case {
        const char* what;
        const char* hashed;
        const char* typed;
    };
    const hashed_case cases[] = {
        {"Windows-1252 bytes of quotes and a euro sign", "\x84pass\x80\x94", "\xe2\x80\x9epass\xe2\x82\xac\xe2\x80\x9d"},
        {"Latin-1 bytes", "p\xe4ss", "p\xc3\xa4ss"},
        {"UTF-8 bytes", "p\xc3\xa4ss w\xc3\xb6rd", "p\xc3\xa4ss w\xc3\xb6rd"},
        {"UTF-8 bytes of CJK", "\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x97\xa5\xe6\x9c\xac"},
    };
    for (const hashed_case& c : cases) {
        SCOPED_TRACE(c.what);
        load_hashed_as(c.hashed);
        EXPECT_EQ(try_password(db_, "wr\xc3\xb6ng \xe2\x82\xac"), kpass_wrong_key);
        EXPECT_EQ(db_->entries, nullptr);
        ASSERT_EQ(try_password(db_, c.typed), kpass_success);
        EXPECT_STREQ(db_->entries[0]->title, "t");
        kpass_free_db(db_);
        loaded_ = false;
    }
}

TEST_F(TryPasswordTest, InTheCLocaleTheBytesAreTriedAsTyped) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    load_hashed_as("p\xe4ss");
    EXPECT_EQ(try_password(db_, "p\xc3\xa4ss"), kpass_wrong_key);
    EXPECT_EQ(try_password(db_, "p\xe4ss"), kpass_success);
}

TEST_F(TryPasswordTest, DamagedContentsUnderTheRightKeyAreNoWrongKey) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    std::vector<uint8_t> not_records(40, 0xEE);  // hashed and padded right, but no group record
    kdb_write_options options;
    options.rounds = 5;
    load(kdb_seal(options, 1, 0, not_records, "\x80uro"));
    EXPECT_EQ(try_password(db_, "\xe2\x82\xac" "uro"), kpass_bad_contents);
    EXPECT_EQ(db_->groups, nullptr);
    EXPECT_EQ(try_password(db_, "other \xe2\x82\xac"), kpass_wrong_key);
}

TEST_F(TryPasswordTest, TheKeePassXFileWithALatin1Password) {
    std::ifstream in(KDBROWSE_SOURCE_DIR "/../shared/peer-kdb/kpx-latin1-password.kdb", std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (file.empty()) GTEST_SKIP() << "no ../shared/peer-kdb/kpx-latin1-password.kdb: cross-check skipped";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    load(file);
    ASSERT_EQ(try_password(db_, "\xc3\xb6\xc3\xa4\xc3\xbc\xc3\x9f"), kpass_success);
    ASSERT_EQ(db_->entry_count, 1u);
    EXPECT_STREQ(db_->entries[0]->title, "mytitle");
}

}  // namespace
