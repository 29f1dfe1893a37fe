#include "browse_fixture.h"

#include <cstdlib>
#include <cstring>

#include "app/key_loop.h"
#include "keys/keymap.h"
#include "kpass/kpass.h"
#include "screen/layout.h"

namespace {

// Built by appending: GCC 12 warns falsely about "text" + std::to_string(i).
std::string numbered(const std::string& prefix, int i) {
    std::string text = prefix;
    text += std::to_string(i);
    return text;
}

}  // namespace

void BrowseTest::start(int rows, int cols) {
    terminal_ = new virtual_terminal(rows, cols);
    init_keymaps();
    app_.current_db = data_.db();
    std::strcpy(app_.database_path, "/tmp/example.kdb");
    show_first_screen(&app_);
}

void release_record(app_state& app) {
    if (app.current_db_loaded) kpass_free_db(app.current_db);
    app.current_db_loaded = false;
    std::free(app.current_db);
    app.current_db = nullptr;
}

void end_terminal_session(virtual_terminal* terminal) {
    std::free(group_keymap);
    std::free(entry_keymap);
    group_keymap = entry_keymap = nullptr;
    delete terminal;
    title_bar = groups_frame = groups_list = entries_frame = entries_list = help_bar = nullptr;
}

// The record here is the in-memory database's, not the test's to free.
void BrowseTest::TearDown() { end_terminal_session(terminal_); }

bool BrowseTest::press(int key, int times) {
    bool quit = false;
    for (int i = 0; i < times; ++i) quit = handle_key(&app_, key);
    return quit;
}

void BrowseTest::add_groups(int n) {
    for (int i = 0; i < n; ++i) data_.add_group(static_cast<uint32_t>(i + 1), numbered("g", i));
}

void BrowseTest::add_entries(uint32_t group_id, int n, const std::string& prefix) {
    for (int i = 0; i < n; ++i)
        data_.add_entry(group_id, numbered(prefix, i), numbered("user", i), numbered("p", i),
                        numbered("http://example.com/", i));
}
