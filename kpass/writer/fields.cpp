#include "kpass/writer/kdb_writer.h"

namespace {

void put_u16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

void kdb_add_field_sized(std::vector<uint8_t>& out, uint16_t type, uint32_t declared_size,
                         const std::vector<uint8_t>& data) {
    put_u16(out, type);
    put_u32(out, declared_size);
    out.insert(out.end(), data.begin(), data.end());
}

void kdb_add_bytes(std::vector<uint8_t>& out, uint16_t type, const uint8_t* data, size_t size) {
    put_u16(out, type);
    put_u32(out, static_cast<uint32_t>(size));
    out.insert(out.end(), data, data + size);
}

void kdb_add_field(std::vector<uint8_t>& out, uint16_t type, const std::vector<uint8_t>& data) {
    kdb_add_bytes(out, type, data.data(), data.size());
}

void kdb_add_text(std::vector<uint8_t>& out, uint16_t type, const std::string& text) {
    kdb_add_bytes(out, type, reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1);
}

void kdb_add_u16(std::vector<uint8_t>& out, uint16_t type, uint16_t value) {
    std::vector<uint8_t> data;
    put_u16(data, value);
    kdb_add_field(out, type, data);
}

void kdb_add_u32(std::vector<uint8_t>& out, uint16_t type, uint32_t value) {
    std::vector<uint8_t> data;
    put_u32(data, value);
    kdb_add_field(out, type, data);
}

void kdb_end_record(std::vector<uint8_t>& out) { kdb_add_bytes(out, kdb_end_field, nullptr, 0); }

void kdb_set_u32(std::vector<uint8_t>& file, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) file.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}
