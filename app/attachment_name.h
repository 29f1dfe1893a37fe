// The name an attachment is first offered to be saved under.
#pragma once

#include <cstddef>
#include <string_view>

// Room for the longest name (255 bytes) and its NUL.
inline constexpr std::size_t attachment_name_size = 256;

// Writes into name, NUL-terminated, the attachment's name (its
// description) made fit to be typed and to name a file in the working
// directory, in this order: the part after its last "/"; every control
// character as "_" (a byte below 32 or 127, and in UTF-8 (utf8) U+0080 to
// U+009F), and in UTF-8 every byte that the decoder (screen/utf8.h) takes
// as part of no character too, so that the prompt's typing takes every
// byte of it; cut to 255 bytes between two characters; then "", "." and
// ".." as "attachment". So "a/b" gives "b", and "../x" gives "x".
void attachment_file_name(std::string_view description, bool utf8, char* name);
