// The master password as other writers hashed it. The composite key is the
// SHA-256 of the password's bytes, and which bytes those were depends on the
// program that wrote the file and on the system it ran on: KeePass 1.x
// hashed the bytes of the Windows ANSI code page (Windows-1252 on Western
// systems, 1251 on Russian ones, 932 on Japanese ones, ...), KeePassX
// (before 0.4.4) and KeePassDroid the Latin-1 bytes, MacPass and kppy the
// UTF-8 bytes, and KeePassX put "?" for letters Windows-1252 lacks. A typed
// password is tried in each of them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "kpass/secure_memory.h"

struct kpass_db;

// One way of writing the password: its bytes and a NUL after them (size()
// counts the NUL), in a secure block that is wiped when it is released.
using password_bytes = secure_vector<char>;

// The byte strings to try for typed, in this order, each only when it
// exists and its bytes differ from every string before it:
//   Windows-1252, when every character has a byte there (its five
//     undefined bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for no
//     character, so U+0081 and the like have none);
//   Latin-1 (U+0000 to U+00FF), likewise;
//   UTF-8 (typed as it is);
//   Windows-1252 with "?" for each character it lacks ("??" for one past
//     U+FFFF, two UTF-16 units), when there is such a character;
//   each of windows_code_pages (code_pages.h: 1250, 1251, 1253 to 1258,
//     874, 932, 936, 949, 950) that has every character.
// Characters without bytes are never replaced by look-alikes ("best fit").
// So an ASCII text gives one string, typed as it is. typed_is_utf8 says
// whether the terminal sends UTF-8 (utf8_locale()); when it does not, the
// bytes typed belong to a character set that is not known, and typed as it
// is is the only string. A text that is not valid UTF-8 cannot be read as
// characters either and gives typed as it is alone. At most seven strings
// (say for a Greek text: 1253, 932, 936, 949, 950, UTF-8 and "?"). Never
// empty; throws std::bad_alloc.
std::vector<password_bytes> password_encodings(std::string_view typed, bool typed_is_utf8);

// Tries the NUL-terminated typed password on the locked record db in each
// of password_encodings(password, utf8_locale()): with file_key (a key
// file's key, kpass_key_size bytes) in each of them first, when there is
// one, then without it in each, so that a database that needs no key file
// opens in a run that has one. Every key comes from kpass_hash_key, all of
// them into one secure block (wiped when released) before one
// kpass_decrypt_db_any call tries them in that order: so a wrong password
// costs about one transform, not one for each key. Returns its result:
// kpass_success (0) when one matched; kpass_bad_contents or
// kpass_out_of_memory, which end the tries (for damaged contents the key
// did match and the file is what is wrong); else kpass_wrong_key. Out of
// memory for the byte strings or the keys is kpass_out_of_memory too.
int try_password(kpass_db* db, const char* password, const uint8_t* file_key = nullptr);
