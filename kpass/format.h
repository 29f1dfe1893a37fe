// The numbers of the .kdb file format, named once for the reader and the
// writer: the 124-byte header, and the field types of the group and entry
// records. Not part of the library's public interface.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- The header: the first 124 bytes of a file. All words little-endian.

inline constexpr size_t kdb_offset_signature_1 = 0, kdb_offset_signature_2 = 4, kdb_offset_flags = 8,
                        kdb_offset_version = 12, kdb_offset_master_seed = 16, kdb_offset_iv = 32,
                        kdb_offset_group_count = 48, kdb_offset_entry_count = 52, kdb_offset_hash = 56,
                        kdb_offset_transform_seed = 88, kdb_offset_rounds = 120, kdb_header_size = 124;

inline constexpr uint32_t kdb_signature_1 = 0x9AA2D903;
inline constexpr uint32_t kdb_signature_2 = 0xB54BFB65;  // 0xB54BFB67 marks KeePass 2.x
inline constexpr uint32_t kdb_version = 0x00030000;       // compared under the mask below
inline constexpr uint32_t kdb_version_mask = 0xFFFFFF00;

// ---- The contents: records of fields (a 2-byte type, a 4-byte size, the
// data), each record ended by a field of type kdb_end_field and size 0.

inline constexpr uint16_t kdb_end_field = 0xFFFF;

// Group field types.
inline constexpr uint16_t kdb_group_ignored = 0x0000, kdb_group_id = 0x0001, kdb_group_name = 0x0002,
                          kdb_group_ctime = 0x0003, kdb_group_mtime = 0x0004, kdb_group_atime = 0x0005,
                          kdb_group_etime = 0x0006, kdb_group_image = 0x0007, kdb_group_level = 0x0008,
                          kdb_group_flags = 0x0009;
// Entry field types.
inline constexpr uint16_t kdb_entry_ignored = 0x0000, kdb_entry_uuid = 0x0001, kdb_entry_group_id = 0x0002,
                          kdb_entry_image = 0x0003, kdb_entry_title = 0x0004, kdb_entry_url = 0x0005,
                          kdb_entry_username = 0x0006, kdb_entry_password = 0x0007, kdb_entry_notes = 0x0008,
                          kdb_entry_ctime = 0x0009, kdb_entry_mtime = 0x000A, kdb_entry_atime = 0x000B,
                          kdb_entry_etime = 0x000C, kdb_entry_description = 0x000D, kdb_entry_binary = 0x000E;

// Little-endian words at p.
inline uint16_t kdb_read_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t kdb_read_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
