// Writing .kdb files, for the tests, the benchmark and the demo database.
// The program itself never writes a database.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
};

// Packs a time the way .kdb files store it.
std::array<uint8_t, 5> kdb_pack_time(int year, int month, int day, int hour, int minute, int second);

// The whole file, every field written, in the usual order.
std::vector<uint8_t> kdb_write(const kdb_write_options& options, const std::vector<kdb_group_spec>& groups,
                               const std::vector<kdb_entry_spec>& entries, const std::string& password);

// Writes bytes to path; false on failure.
bool kdb_save(const std::string& path, const std::vector<uint8_t>& bytes);
