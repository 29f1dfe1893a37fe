#include <fstream>

#include "kpass/writer/kdb_writer.h"

std::vector<uint8_t> kdb_write(const kdb_write_options& options, const std::vector<kdb_group_spec>& groups,
                               const std::vector<kdb_entry_spec>& entries, const std::string& password) {
    std::vector<uint8_t> contents;
    for (const kdb_group_spec& group : groups) {
        std::vector<uint8_t> record = kdb_group_record(group);
        contents.insert(contents.end(), record.begin(), record.end());
    }
    for (const kdb_entry_spec& entry : entries) {
        std::vector<uint8_t> record = kdb_entry_record(entry);
        contents.insert(contents.end(), record.begin(), record.end());
    }
    return kdb_seal(options, static_cast<uint32_t>(groups.size()), static_cast<uint32_t>(entries.size()), contents,
                    password);
}

bool kdb_save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}
