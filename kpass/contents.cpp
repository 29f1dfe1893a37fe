// The decrypted contents: records of fields (type 2 bytes, size 4 bytes,
// data), each record ended by a field of type 0xFFFF.
//
// Parsing runs twice over the same code: first to check every field and
// measure what the records need, with nothing allocated, then to fill
// blocks of exactly that size. So the header's counts can never size an
// allocation that the contents do not back (a record takes at least the 6
// bytes of its end field).
#include <cstring>

#include "kpass/store.h"

namespace {

constexpr uint16_t end_of_record = 0xFFFF;

struct field {
    uint16_t type;
    std::span<const uint8_t> data;
};

// The place texts and attachments go. With no base it only counts.
struct arena_cursor {
    char* base;
    size_t used;
};

struct reader {
    std::span<const uint8_t> contents;
    size_t position;
    arena_cursor arena;
};

uint16_t read_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t read_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// The next field, or false when its header or its data run past the end.
bool next_field(reader& in, field& out) {
    size_t left = in.contents.size() - in.position;
    if (left < 6) return false;
    const uint8_t* at = in.contents.data() + in.position;
    uint32_t size = read_u32(at + 2);
    if (size > left - 6) return false;
    out.type = read_u16(at);
    out.data = in.contents.subspan(in.position + 6, size);
    in.position += 6 + static_cast<size_t>(size);
    return true;
}

// A text is its bytes up to the first NUL, or all of them when the field
// has none; the arena copy always ends with a NUL.
char* put_text(arena_cursor& arena, std::span<const uint8_t> data) {
    const void* nul = std::memchr(data.data(), 0, data.size());
    size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data.data()) : data.size();
    char* at = nullptr;
    if (arena.base != nullptr) {
        at = arena.base + arena.used;
        if (length != 0) std::memcpy(at, data.data(), length);
        at[length] = '\0';
    }
    arena.used += length + 1;
    return at;
}

uint8_t* put_bytes(arena_cursor& arena, std::span<const uint8_t> data) {
    uint8_t* at = nullptr;
    if (arena.base != nullptr) {
        at = reinterpret_cast<uint8_t*>(arena.base + arena.used);
        if (!data.empty()) std::memcpy(at, data.data(), data.size());
    }
    arena.used += data.size();
    return at;
}

// Size a group field must have, or -1 when any size will do.
long group_field_size(uint16_t type) {
    switch (type) {
        case 0x0001: return 4;
        case 0x0003: case 0x0004: case 0x0005: case 0x0006: return 5;
        case 0x0007: return 4;
        case 0x0008: return 2;
        case 0x0009: return 4;
        default: return -1;
    }
}

long entry_field_size(uint16_t type) {
    switch (type) {
        case 0x0001: return 16;
        case 0x0002: case 0x0003: return 4;
        case 0x0009: case 0x000A: case 0x000B: case 0x000C: return 5;
        default: return -1;
    }
}

void copy_time(uint8_t to[5], std::span<const uint8_t> data) { std::memcpy(to, data.data(), 5); }

void clear_group(kpass_group& group, char* empty) {
    std::memset(&group, 0, sizeof group);
    group.name = empty;
}

void clear_entry(kpass_entry& entry, char* empty) {
    std::memset(&entry, 0, sizeof entry);
    entry.title = entry.url = entry.username = entry.password = entry.notes = entry.description = empty;
    entry.binary = reinterpret_cast<uint8_t*>(empty);
}

// Stores a checked field into group (null while measuring).
void apply_group_field(kpass_group* group, const field& f, arena_cursor& arena) {
    if (f.type == 0x0002) {
        char* name = put_text(arena, f.data);
        if (group) group->name = name;
        return;
    }
    if (!group) return;
    const uint8_t* d = f.data.data();
    switch (f.type) {
        case 0x0001: group->id = read_u32(d); break;
        case 0x0003: copy_time(group->ctime, f.data); break;
        case 0x0004: copy_time(group->mtime, f.data); break;
        case 0x0005: copy_time(group->atime, f.data); break;
        case 0x0006: copy_time(group->etime, f.data); break;
        case 0x0007: group->image_id = read_u32(d); break;
        case 0x0008: group->level = read_u16(d); break;
        case 0x0009: group->flags = read_u32(d); break;
        default: break;  // 0x0000 and unknown types carry nothing we keep
    }
}

char** entry_text(kpass_entry& entry, uint16_t type) {
    switch (type) {
        case 0x0004: return &entry.title;
        case 0x0005: return &entry.url;
        case 0x0006: return &entry.username;
        case 0x0007: return &entry.password;
        case 0x0008: return &entry.notes;
        case 0x000D: return &entry.description;
        default: return nullptr;
    }
}

bool is_entry_text(uint16_t type) { return (type >= 0x0004 && type <= 0x0008) || type == 0x000D; }

void apply_entry_field(kpass_entry* entry, const field& f, arena_cursor& arena) {
    if (is_entry_text(f.type)) {
        char* text = put_text(arena, f.data);
        if (entry) *entry_text(*entry, f.type) = text;
        return;
    }
    if (f.type == 0x000E) {
        uint8_t* bytes = put_bytes(arena, f.data);
        if (entry) {
            entry->binary = bytes;
            entry->binary_size = static_cast<uint32_t>(f.data.size());
        }
        return;
    }
    if (!entry) return;
    const uint8_t* d = f.data.data();
    switch (f.type) {
        case 0x0001: std::memcpy(entry->uuid, d, 16); break;
        case 0x0002: entry->group_id = read_u32(d); break;
        case 0x0003: entry->image_id = static_cast<int32_t>(read_u32(d)); break;
        case 0x0009: copy_time(entry->ctime, f.data); break;
        case 0x000A: copy_time(entry->mtime, f.data); break;
        case 0x000B: copy_time(entry->atime, f.data); break;
        case 0x000C: copy_time(entry->etime, f.data); break;
        default: break;
    }
}

// One record's fields up to and with its end field.
bool read_group(reader& in, kpass_group* group) {
    field f;
    while (next_field(in, f)) {
        if (f.type == end_of_record) return true;
        long size = group_field_size(f.type);
        if (size >= 0 && f.data.size() != static_cast<size_t>(size)) return false;
        apply_group_field(group, f, in.arena);
    }
    return false;
}

bool read_entry(reader& in, kpass_entry* entry) {
    field f;
    while (next_field(in, f)) {
        if (f.type == end_of_record) return true;
        long size = entry_field_size(f.type);
        if (size >= 0 && f.data.size() != static_cast<size_t>(size)) return false;
        apply_entry_field(entry, f, in.arena);
    }
    return false;
}

// Walks every record; fills records when given, else only checks and
// measures the arena into arena_size.
bool walk(std::span<const uint8_t> contents, uint32_t group_count, uint32_t entry_count, kpass_records* records,
          size_t& arena_size) {
    reader in{contents, 0, {records ? records->arena.data() : nullptr, 1}};
    char* empty = in.arena.base;  // the shared empty text
    if (empty) *empty = '\0';
    for (uint32_t i = 0; i < group_count; ++i) {
        kpass_group* group = records ? &records->groups[i] : nullptr;
        if (group) clear_group(*group, empty);
        if (!read_group(in, group)) return false;
    }
    for (uint32_t i = 0; i < entry_count; ++i) {
        kpass_entry* entry = records ? &records->entries[i] : nullptr;
        if (entry) clear_entry(*entry, empty);
        if (!read_entry(in, entry)) return false;
    }
    arena_size = in.arena.used;
    return true;
}

}  // namespace

int kpass_parse_contents(std::span<const uint8_t> contents, uint32_t group_count, uint32_t entry_count,
                         kpass_records& records) {
    size_t arena_size = 0;
    if (!walk(contents, group_count, entry_count, nullptr, arena_size)) return kpass_bad_contents;

    // Every count is now backed by at least 6 bytes a record.
    kpass_records filled;
    filled.groups.resize(group_count);
    filled.entries.resize(entry_count);
    filled.group_pointers.resize(static_cast<size_t>(group_count) + 1, nullptr);
    filled.entry_pointers.resize(static_cast<size_t>(entry_count) + 1, nullptr);
    filled.arena.resize(arena_size);  // every byte is written below
    size_t filled_size = 0;
    if (!walk(contents, group_count, entry_count, &filled, filled_size) || filled_size != arena_size)
        return kpass_bad_contents;
    for (uint32_t i = 0; i < group_count; ++i) filled.group_pointers[i] = &filled.groups[i];
    for (uint32_t i = 0; i < entry_count; ++i) filled.entry_pointers[i] = &filled.entries[i];
    records = std::move(filled);
    return kpass_success;
}
