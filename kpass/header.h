// The 124-byte header at the start of a .kdb file.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t kpass_header_size = 124;
inline constexpr uint32_t kpass_signature_1 = 0x9AA2D903;
inline constexpr uint32_t kpass_signature_2 = 0xB54BFB65;
inline constexpr uint32_t kpass_version = 0x00030000;       // compared under the mask below
inline constexpr uint32_t kpass_version_mask = 0xFFFFFF00;

// Little-endian word at p.
inline uint32_t kpass_read_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
