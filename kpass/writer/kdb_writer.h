// Writing .kdb files, for the tests, the benchmark and the demo database.
// The program itself never writes a database.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kpass/format.h"

enum class kdb_cipher { aes, twofish };

struct kdb_group_spec {
    uint32_t id = 0;
    std::string name;
    uint16_t level = 0;
    uint32_t image_id = 0;
    uint32_t flags = 0;
    std::array<uint8_t, 5> ctime{}, mtime{}, atime{}, etime{};
};

struct kdb_entry_spec {
    std::array<uint8_t, 16> uuid{};
    uint32_t group_id = 0;
    int32_t image_id = 0;
    std::string title, url, username, password, notes, description;
    std::string binary;  // attachment bytes
    std::array<uint8_t, 5> ctime{}, mtime{}, atime{}, etime{};
};

struct kdb_write_options {
    kdb_cipher cipher = kdb_cipher::aes;
    uint32_t rounds = 50;
    uint32_t flags = 0;            // 0: the usual SHA-2 bit plus the cipher's bit
    uint32_t version = 0x00030004;
    // Random when not given.
    std::optional<std::array<uint8_t, 16>> master_seed, iv;
    std::optional<std::array<uint8_t, 32>> transform_seed;
    // A key file's key, which locks the file with the password (or alone,
    // with the password "").
    std::optional<std::array<uint8_t, 32>> file_key;
};

// Packs a time the way .kdb files store it.
std::array<uint8_t, 5> kdb_pack_time(int year, int month, int day, int hour, int minute, int second);

// The whole file, every field written, in the usual order.
std::vector<uint8_t> kdb_write(const kdb_write_options& options, const std::vector<kdb_group_spec>& groups,
                               const std::vector<kdb_entry_spec>& entries, const std::string& password);

// Writes bytes to path; false on failure.
bool kdb_save(const std::string& path, const std::vector<uint8_t>& bytes);

// ---- Lower-level pieces, for crafting files field by field (odd or broken
// ones too). Contents are plain bytes: records of fields, each field a 2-byte
// type, a 4-byte size and the data.

// The field types and header offsets are kpass/format.h's.

// Appends a field holding data as it is.
void kdb_add_field(std::vector<uint8_t>& out, uint16_t type, const std::vector<uint8_t>& data);
// Appends a field whose size word says declared_size while data is what
// follows (to make a size run past the end, or a short fixed field).
void kdb_add_field_sized(std::vector<uint8_t>& out, uint16_t type, uint32_t declared_size,
                         const std::vector<uint8_t>& data);
// A text field: its bytes and a terminating NUL.
void kdb_add_text(std::vector<uint8_t>& out, uint16_t type, const std::string& text);
void kdb_add_u16(std::vector<uint8_t>& out, uint16_t type, uint16_t value);
void kdb_add_u32(std::vector<uint8_t>& out, uint16_t type, uint32_t value);
void kdb_add_bytes(std::vector<uint8_t>& out, uint16_t type, const uint8_t* data, size_t size);
// The end field of a record (type 0xFFFF, size 0).
void kdb_end_record(std::vector<uint8_t>& out);

// A whole record with every field, in the usual order.
std::vector<uint8_t> kdb_group_record(const kdb_group_spec& group);
std::vector<uint8_t> kdb_entry_record(const kdb_entry_spec& entry);

enum class kdb_padding {
    valid,
    zero,       // last byte 0
    too_large,  // last byte 17
    uneven,     // last byte right, an earlier padding byte not
};

struct kdb_seal_options {
    bool break_hash = false;  // store a contents hash that does not match
    kdb_padding padding = kdb_padding::valid;
};

// Pads, hashes and encrypts contents under a header that states the given
// counts (which need not match the contents), keyed by password.
std::vector<uint8_t> kdb_seal(const kdb_write_options& options, uint32_t group_count, uint32_t entry_count,
                              const std::vector<uint8_t>& contents, const std::string& password,
                              const kdb_seal_options& seal = {});

// Overwrites the little-endian word at offset (a header field).
void kdb_set_u32(std::vector<uint8_t>& file, size_t offset, uint32_t value);

// Random bytes from the system.
void kdb_random_bytes(uint8_t* out, size_t size);
