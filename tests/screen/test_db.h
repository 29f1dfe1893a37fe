// Database records built by hand for drawing tests: groups from (name,
// level) pairs, ids 1, 2, 3 ... in order, and entries naming their group by
// index.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "kpass/kpass.h"

struct test_group {
    std::string name;
    int level;
};

struct test_entry {
    int group;  // index of the group it belongs to
    std::string title;
    std::string username = "";
    std::string password = "";
    std::string url = "";
};

class test_db {
public:
    test_db(const std::vector<test_group>& groups, const std::vector<test_entry>& entries = {});
    test_db(const test_db&) = delete;
    test_db& operator=(const test_db&) = delete;

    const kpass_db* get() const { return &db_; }
    kpass_db* get() { return &db_; }

private:
    char* keep(const std::string& text);

    kpass_db db_{};
    std::deque<std::string> texts_;
    std::vector<std::unique_ptr<kpass_group>> groups_;
    std::vector<std::unique_ptr<kpass_entry>> entries_;
    std::vector<kpass_group*> group_pointers_;
    std::vector<kpass_entry*> entry_pointers_;
};
