// The values the entry details dialog shows for the fields of an entry that
// are not plain texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

struct kpass_db;
struct kpass_entry;

// Size of the text buffer the formatting calls below write into.
inline constexpr std::size_t entry_value_size = 256;

// The 16-byte identifier as 32 lowercase hexadecimal digits, in stored order.
const char* format_uuid(const uint8_t uuid[16], char* text);

// The image id as a signed decimal number.
const char* format_image_id(int32_t image_id, char* text);

// A packed time as "%Y-%m-%d %H:%M:%S". With never_for_far_future (the expiry
// time), 2999-12-28 23:59:59 is "Never" instead.
const char* format_time(const uint8_t packed[5], bool never_for_far_future, char* text);

// The entry view's expiry: "Never" as format_time gives it for the far
// future, else the date as format_time writes it, followed by " (expired)"
// when that local time lies before now (a time of the file whose fields
// are out of range is taken as mktime normalises it).
const char* format_expiry(const uint8_t packed[5], std::time_t now, char* text);

// Name of the first group whose id is the entry's group id; the empty text
// when no group has that id.
const char* entry_group_name(const kpass_db* db, const kpass_entry* entry);
