#include "kpass/writer/kdb_writer.h"

std::vector<uint8_t> kdb_group_record(const kdb_group_spec& group) {
    std::vector<uint8_t> out;
    kdb_add_u32(out, kdb_group_id, group.id);
    kdb_add_text(out, kdb_group_name, group.name);
    kdb_add_bytes(out, kdb_group_ctime, group.ctime.data(), 5);
    kdb_add_bytes(out, kdb_group_mtime, group.mtime.data(), 5);
    kdb_add_bytes(out, kdb_group_atime, group.atime.data(), 5);
    kdb_add_bytes(out, kdb_group_etime, group.etime.data(), 5);
    kdb_add_u32(out, kdb_group_image, group.image_id);
    kdb_add_u16(out, kdb_group_level, group.level);
    kdb_add_u32(out, kdb_group_flags, group.flags);
    kdb_end_record(out);
    return out;
}

std::vector<uint8_t> kdb_entry_record(const kdb_entry_spec& entry) {
    std::vector<uint8_t> out;
    kdb_add_bytes(out, kdb_entry_uuid, entry.uuid.data(), 16);
    kdb_add_u32(out, kdb_entry_group_id, entry.group_id);
    kdb_add_u32(out, kdb_entry_image, static_cast<uint32_t>(entry.image_id));
    kdb_add_text(out, kdb_entry_title, entry.title);
    kdb_add_text(out, kdb_entry_url, entry.url);
    kdb_add_text(out, kdb_entry_username, entry.username);
    kdb_add_text(out, kdb_entry_password, entry.password);
    kdb_add_text(out, kdb_entry_notes, entry.notes);
    kdb_add_bytes(out, kdb_entry_ctime, entry.ctime.data(), 5);
    kdb_add_bytes(out, kdb_entry_mtime, entry.mtime.data(), 5);
    kdb_add_bytes(out, kdb_entry_atime, entry.atime.data(), 5);
    kdb_add_bytes(out, kdb_entry_etime, entry.etime.data(), 5);
    kdb_add_text(out, kdb_entry_description, entry.description);
    kdb_add_bytes(out, kdb_entry_binary, reinterpret_cast<const uint8_t*>(entry.binary.data()), entry.binary.size());
    kdb_end_record(out);
    return out;
}
