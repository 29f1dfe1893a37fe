// The master password in the ANSI code pages of Windows systems that are
// not Western European: KeePass 1.x hashed the password in the code page of
// the system it ran on (Windows-1251 on a Russian one, 932 on a Japanese
// one, ...). The conversion is the C library's iconv, strict: a character
// the code page lacks is never replaced by a look-alike.
#pragma once

#include <optional>
#include <span>

#include "kpass/secure_memory.h"

// The iconv names of the code pages, in the order they are tried. Each was
// checked to give Windows' bytes: glibc's CP874 is Windows-874 (TIS-620
// lacks its euro sign and quotes), CP932 is Windows-31J (Shift_JIS lacks
// its NEC and IBM rows), CP936, CP949 and CP950 are GBK (with 936's euro
// sign at 0x80), UHC and Big5 (with 950's euro sign at 0xA3E1).
inline constexpr const char* windows_code_pages[] = {"CP1250", "CP1251", "CP1253", "CP1254", "CP1255",
                                                     "CP1256", "CP1257", "CP1258", "CP874",  "CP932",
                                                     "CP936",  "CP949",  "CP950"};

// The characters (Unicode scalar values) in the code page named page: its
// bytes and a NUL after them, in a secure block; none when a character has
// no bytes there, or when the C library lacks the code page. The
// characters are handed to iconv as they are (wchar_t is UCS-4), so that it
// converts in one step and keeps no copy of them in buffers of its own.
// The library's tables add a few one-way cases: 1255 and 1258 write a
// letter with a mark as the letter and the code page's combining mark (as
// the Hebrew and Vietnamese keyboards of Windows type it), and 932 takes
// U+00A5, U+301C and the like as 0x5C, 0x8160, ... (what a Japanese input
// method on Linux types for the keys that gave these bytes on Windows).
// Throws std::bad_alloc.
std::optional<secure_vector<char>> in_windows_code_page(std::span<const wchar_t> characters, const char* page);
