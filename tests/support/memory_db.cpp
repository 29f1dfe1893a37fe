#include "support/memory_db.h"

memory_db::memory_db() { db(); }

char* memory_db::text(const std::string& value) {
    texts_.push_back(value);
    return texts_.back().data();
}

kpass_group* memory_db::add_group(uint32_t id, const std::string& name, uint16_t level) {
    kpass_group group{};
    group.id = id;
    group.name = text(name);
    group.level = level;
    groups_.push_back(group);
    return &groups_.back();
}

kpass_entry* memory_db::add_entry(uint32_t group_id, const std::string& title, const std::string& username,
                                  const std::string& password, const std::string& url) {
    kpass_entry entry{};
    entry.group_id = group_id;
    entry.title = text(title);
    entry.username = text(username);
    entry.password = text(password);
    entry.url = text(url);
    entry.notes = text("");
    entry.description = text("");
    entries_.push_back(entry);
    return &entries_.back();
}

kpass_db* memory_db::db() {
    group_pointers_.clear();
    for (auto& group : groups_) group_pointers_.push_back(&group);
    entry_pointers_.clear();
    for (auto& entry : entries_) entry_pointers_.push_back(&entry);
    db_.group_count = static_cast<uint32_t>(groups_.size());
    db_.entry_count = static_cast<uint32_t>(entries_.size());
    db_.groups = group_pointers_.data();
    db_.entries = entry_pointers_.data();
    return &db_;
}
