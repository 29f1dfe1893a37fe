// Database records built by hand in memory, for tests that need groups and
// entries without a file. The object owns every record and text.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "kpass/kpass.h"

class memory_db {
public:
    memory_db();
    memory_db(const memory_db&) = delete;
    memory_db& operator=(const memory_db&) = delete;

    kpass_group* add_group(uint32_t id, const std::string& name, uint16_t level = 0);
    kpass_entry* add_entry(uint32_t group_id, const std::string& title, const std::string& username = "",
                           const std::string& password = "", const std::string& url = "");
    // The record, its arrays and counts brought up to date.
    kpass_db* db();
    // A copy of value (NULs included) that lives as long as the object,
    // for the fields of a record: entry->notes = m.text("...").
    char* text(const std::string& value);

private:
    kpass_db db_{};
    std::deque<kpass_group> groups_;
    std::deque<kpass_entry> entries_;
    std::deque<std::string> texts_;
    std::vector<kpass_group*> group_pointers_;
    std::vector<kpass_entry*> entry_pointers_;
};
