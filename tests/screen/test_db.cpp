#include "test_db.h"

char* test_db::keep(const std::string& text) { return texts_.emplace_back(text).data(); }

test_db::test_db(const std::vector<test_group>& groups, const std::vector<test_entry>& entries) {
    for (const test_group& wanted : groups) {
        auto group = std::make_unique<kpass_group>();
        group->id = static_cast<uint32_t>(groups_.size() + 1);
        group->name = keep(wanted.name);
        group->level = static_cast<uint16_t>(wanted.level);
        group_pointers_.push_back(group.get());
        groups_.push_back(std::move(group));
    }
    for (const test_entry& wanted : entries) {
        auto entry = std::make_unique<kpass_entry>();
        entry->group_id = static_cast<uint32_t>(wanted.group + 1);
        entry->title = keep(wanted.title);
        entry->username = keep(wanted.username);
        entry->password = keep(wanted.password);
        entry->url = keep(wanted.url);
        entry->notes = keep("");
        entry->description = keep("");
        entry_pointers_.push_back(entry.get());
        entries_.push_back(std::move(entry));
    }
    db_.group_count = static_cast<uint32_t>(group_pointers_.size());
    db_.entry_count = static_cast<uint32_t>(entry_pointers_.size());
    db_.groups = group_pointers_.empty() ? nullptr : group_pointers_.data();
    db_.entries = entry_pointers_.empty() ? nullptr : entry_pointers_.data();
}
