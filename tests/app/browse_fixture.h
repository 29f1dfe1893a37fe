// A browsing session inside the test process: a virtual terminal, the key
// maps and a database built in memory, shown as after unlocking.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "support/memory_db.h"
#include "support/virtual_terminal.h"

// Ends what a test set up around a session, for the fixtures of this folder:
// a record the test allocated is released when it holds a loaded database,
// then freed; the key maps are freed; the terminal goes, and with it the
// windows, whose handles are cleared so that no later build deletes them.
void release_record(app_state& app);
void end_terminal_session(virtual_terminal* terminal);

class BrowseTest : public ::testing::Test {
protected:
    // rows x cols terminal; the lists are rows - 6 high.
    void start(int rows = 24, int cols = 80);
    void TearDown() override;

    // Handles the keys one by one as the key loop would; true when the last
    // one asked to quit.
    bool press(int key, int times = 1);

    // n groups g0..g(n-1) at level 0 with ids 1..n.
    void add_groups(int n);
    // n entries e0..e(n-1) in the group with id group_id, passwords p0...
    void add_entries(uint32_t group_id, int n, const std::string& prefix = "e");

    const browse_state& state() const { return app_.browse; }

    memory_db data_;
    app_state app_{};
    virtual_terminal* terminal_ = nullptr;
};
