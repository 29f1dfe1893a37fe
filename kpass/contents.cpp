// The decrypted contents: records of fields (type 2 bytes, size 4 bytes,
// data), each record ended by a field of type 0xFFFF.
//
// The records point into the decrypted contents themselves: a text whose
// field holds a NUL is read in place (it ends at its first NUL), and an
// attachment is its field's bytes. Only a text whose field holds no NUL is
// copied, with a NUL after it, into a small block of its own. So opening
// costs no copy of the texts and no memory beyond the records.
//
// Parsing runs twice over the same code: first to check every field and
// measure the copies, with nothing allocated, then to fill blocks of exactly
// that size. So the header's counts can never size an allocation that the
// contents do not back (a record takes at least the 6 bytes of its end
// field).
//
// Meta-stream entries (program state that KeePass 1.x and KeePassX keep in
// entries of a fixed form) stay in the entry records but get no pointer:
// the entry array and its count list the user's entries only.
#include <cstring>

#include "kpass/format.h"
#include "kpass/store.h"

namespace {

struct field {
    uint16_t type;
    uint8_t* data;
    size_t size;
};

// Where copied texts go. With no base it only counts.
struct copy_cursor {
    char* base;
    size_t used;
};

struct reader {
    uint8_t* contents;
    size_t size;
    size_t position;
    copy_cursor copies;
    char* empty;  // the shared empty text (null while measuring)
};

// The next field, or false when its header or its data run past the end.
bool next_field(reader& in, field& out) {
    size_t left = in.size - in.position;
    if (left < 6) return false;
    uint8_t* at = in.contents + in.position;
    uint32_t size = kdb_read_u32(at + 2);
    if (size > left - 6) return false;
    out.type = kdb_read_u16(at);
    out.data = at + 6;
    out.size = size;
    in.position += 6 + static_cast<size_t>(size);
    return true;
}

// Writers end every text with a NUL, so the last byte nearly always tells.
bool holds_nul(const field& f) {
    return f.size != 0 && (f.data[f.size - 1] == 0 || std::memchr(f.data, 0, f.size - 1) != nullptr);
}

// A text: in place when its field holds a NUL, the shared empty text when
// the field is empty, else a copy with a NUL after it.
char* put_text(reader& in, const field& f) {
    if (holds_nul(f)) return reinterpret_cast<char*>(f.data);
    if (f.size == 0) return in.empty;
    char* at = nullptr;
    if (in.copies.base != nullptr) {
        at = in.copies.base + in.copies.used;
        std::memcpy(at, f.data, f.size);
        at[f.size] = '\0';
    }
    in.copies.used += f.size + 1;
    return at;
}

// Size a group field must have, or -1 when any size will do.
long group_field_size(uint16_t type) {
    switch (type) {
        case kdb_group_id: return 4;
        case kdb_group_ctime: case kdb_group_mtime: case kdb_group_atime: case kdb_group_etime: return 5;
        case kdb_group_image: return 4;
        case kdb_group_level: return 2;
        case kdb_group_flags: return 4;
        default: return -1;
    }
}

long entry_field_size(uint16_t type) {
    switch (type) {
        case kdb_entry_uuid: return 16;
        case kdb_entry_group_id: case kdb_entry_image: return 4;
        case kdb_entry_ctime: case kdb_entry_mtime: case kdb_entry_atime: case kdb_entry_etime: return 5;
        default: return -1;
    }
}

void copy_time(uint8_t to[5], const field& f) { std::memcpy(to, f.data, 5); }

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
void apply_group_field(kpass_group* group, const field& f, reader& in) {
    if (f.type == kdb_group_name) {
        char* name = put_text(in, f);
        if (group) group->name = name;
        return;
    }
    if (!group) return;
    const uint8_t* d = f.data;
    switch (f.type) {
        case kdb_group_id: group->id = kdb_read_u32(d); break;
        case kdb_group_ctime: copy_time(group->ctime, f); break;
        case kdb_group_mtime: copy_time(group->mtime, f); break;
        case kdb_group_atime: copy_time(group->atime, f); break;
        case kdb_group_etime: copy_time(group->etime, f); break;
        case kdb_group_image: group->image_id = kdb_read_u32(d); break;
        case kdb_group_level: group->level = kdb_read_u16(d); break;
        case kdb_group_flags: group->flags = kdb_read_u32(d); break;
        default: break;  // kdb_group_ignored and unknown types carry nothing we keep
    }
}

char** entry_text(kpass_entry& entry, uint16_t type) {
    switch (type) {
        case kdb_entry_title: return &entry.title;
        case kdb_entry_url: return &entry.url;
        case kdb_entry_username: return &entry.username;
        case kdb_entry_password: return &entry.password;
        case kdb_entry_notes: return &entry.notes;
        case kdb_entry_description: return &entry.description;
        default: return nullptr;
    }
}

bool is_entry_text(uint16_t type) {
    return (type >= kdb_entry_title && type <= kdb_entry_notes) || type == kdb_entry_description;
}

void apply_entry_field(kpass_entry* entry, const field& f, reader& in) {
    if (is_entry_text(f.type)) {
        char* text = put_text(in, f);
        if (entry) *entry_text(*entry, f.type) = text;
        return;
    }
    if (!entry) return;
    const uint8_t* d = f.data;
    switch (f.type) {
        case kdb_entry_uuid: std::memcpy(entry->uuid, d, 16); break;
        case kdb_entry_group_id: entry->group_id = kdb_read_u32(d); break;
        case kdb_entry_image: entry->image_id = static_cast<int32_t>(kdb_read_u32(d)); break;
        case kdb_entry_ctime: copy_time(entry->ctime, f); break;
        case kdb_entry_mtime: copy_time(entry->mtime, f); break;
        case kdb_entry_atime: copy_time(entry->atime, f); break;
        case kdb_entry_etime: copy_time(entry->etime, f); break;
        case kdb_entry_binary:
            // An empty attachment points at the shared empty text, as a
            // missing one does.
            entry->binary = f.size != 0 ? f.data : reinterpret_cast<uint8_t*>(in.empty);
            entry->binary_size = static_cast<uint32_t>(f.size);
            break;
        default: break;
    }
}

// One record's fields up to and with its end field.
bool read_group(reader& in, kpass_group* group) {
    field f;
    while (next_field(in, f)) {
        if (f.type == kdb_end_field) return true;
        long size = group_field_size(f.type);
        if (size >= 0 && f.size != static_cast<size_t>(size)) return false;
        apply_group_field(group, f, in);
    }
    return false;
}

bool read_entry(reader& in, kpass_entry* entry) {
    field f;
    while (next_field(in, f)) {
        if (f.type == kdb_end_field) return true;
        long size = entry_field_size(f.type);
        if (size >= 0 && f.size != static_cast<size_t>(size)) return false;
        apply_entry_field(entry, f, in);
    }
    return false;
}

// Walks every record; fills records when given, else only checks and
// measures the copied texts into copies_size.
bool walk(uint8_t* contents, size_t size, uint32_t group_count, uint32_t entry_count, kpass_records* records,
          size_t& copies_size) {
    char* copies = records ? records->texts.data() : nullptr;
    reader in{contents, size, 0, {copies, 1}, copies};  // the block's first byte is the empty text
    if (in.empty) *in.empty = '\0';
    for (uint32_t i = 0; i < group_count; ++i) {
        kpass_group* group = records ? &records->groups[i] : nullptr;
        if (group) clear_group(*group, in.empty);
        if (!read_group(in, group)) return false;
    }
    for (uint32_t i = 0; i < entry_count; ++i) {
        kpass_entry* entry = records ? &records->entries[i] : nullptr;
        if (entry) clear_entry(*entry, in.empty);
        if (!read_entry(in, entry)) return false;
    }
    copies_size = in.copies.used;
    return true;
}

}  // namespace

// KeePass 1.x's own test: only an entry that meets all seven conditions is
// a meta-stream. One that meets some of them is an entry of the user's, and
// hiding it would lose it from view.
bool kpass_is_meta_stream(const kpass_entry& entry) {
    return entry.binary_size != 0 && entry.notes[0] != '\0' && std::strcmp(entry.description, "bin-stream") == 0 &&
           std::strcmp(entry.title, "Meta-Info") == 0 && std::strcmp(entry.username, "SYSTEM") == 0 &&
           std::strcmp(entry.url, "$") == 0 && entry.image_id == 0;
}

int kpass_parse_contents(secure_vector<uint8_t>& contents, size_t size, uint32_t group_count,
                         uint32_t entry_count, kpass_records& records) {
    if (size > contents.size()) return kpass_bad_contents;
    size_t copies_size = 0;
    if (!walk(contents.data(), size, group_count, entry_count, nullptr, copies_size)) return kpass_bad_contents;

    // Every count is now backed by at least 6 bytes a record.
    kpass_records filled;
    filled.groups.resize(group_count);
    filled.entries.resize(entry_count);
    filled.group_pointers.resize(static_cast<size_t>(group_count) + 1, nullptr);
    filled.entry_pointers.resize(static_cast<size_t>(entry_count) + 1, nullptr);
    filled.texts.resize(copies_size);  // every byte is written below
    size_t filled_size = 0;
    if (!walk(contents.data(), size, group_count, entry_count, &filled, filled_size) || filled_size != copies_size)
        return kpass_bad_contents;
    for (uint32_t i = 0; i < group_count; ++i) filled.group_pointers[i] = &filled.groups[i];
    // The pointers after the last listed entry stay null, so the array is
    // null-ended whatever number of meta-streams it leaves out.
    uint32_t listed = 0;
    for (uint32_t i = 0; i < entry_count; ++i)
        if (!kpass_is_meta_stream(filled.entries[i])) filled.entry_pointers[listed++] = &filled.entries[i];
    filled.listed_entry_count = listed;
    // Moving the buffer keeps its bytes where they are, and the records'
    // pointers with them.
    filled.contents = std::move(contents);
    records = std::move(filled);
    return kpass_success;
}
