// The cost of one cursor step in the group tree: draw_groups and
// draw_entries, as the program calls them, on a curses screen whose output
// goes to /dev/null.
#include <curses.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "kpass/kpass.h"
#include "screen/entries_pane.h"
#include "screen/groups_pane.h"
#include "screen/layout.h"

namespace {

constexpr int screen_rows = 50;
constexpr int screen_cols = 200;
constexpr uint32_t entries_per_group = 10;
constexpr int deepest_level = 19;  // 20 levels
constexpr double least_seconds = 0.3;
constexpr int least_steps = 5;

// Records built by hand in memory; the object owns every record and text.
struct memory_records {
    std::deque<std::string> texts;
    std::deque<kpass_group> groups;
    std::deque<kpass_entry> entries;
    std::vector<kpass_group*> group_pointers;
    std::vector<kpass_entry*> entry_pointers;
    kpass_db db{};
};

char* keep(memory_records& records, std::string text) {
    return records.texts.emplace_back(std::move(text)).data();
}

void add_group(memory_records& records, uint32_t id, int level) {
    kpass_group group{};
    group.id = id;
    group.name = keep(records, "Group " + std::to_string(id));
    group.level = static_cast<uint16_t>(level);
    records.group_pointers.push_back(&records.groups.emplace_back(group));
}

void add_entry(memory_records& records, uint32_t number, uint32_t group_id) {
    kpass_entry entry{};
    entry.group_id = group_id;
    entry.title = keep(records, "Account " + std::to_string(number));
    entry.username = keep(records, "user" + std::to_string(number) + "@example.com");
    entry.password = keep(records, "secret-" + std::to_string(number));
    entry.url = keep(records, "https://www.example.com/login/" + std::to_string(number));
    entry.notes = entry.description = keep(records, "");
    records.entry_pointers.push_back(&records.entries.emplace_back(entry));
}

// Levels in tree order. Flat: every group at the top. Deep: each group one
// level below the one before or a sibling of one of its ancestors, at
// random (a fixed seed), down to the twentieth level.
std::vector<int> tree_levels(tree_shape shape, uint32_t group_count) {
    std::vector<int> levels(group_count, 0);
    if (shape == tree_shape::flat) return levels;
    std::mt19937 random(5);
    for (uint32_t i = 1; i < group_count; ++i) {
        int above = levels[i - 1];
        bool deeper = above < deepest_level && random() % 3 != 0;
        levels[i] = deeper ? above + 1 : static_cast<int>(random() % (above + 1));
    }
    return levels;
}

void build_records(memory_records& records, tree_shape shape, uint32_t group_count) {
    std::vector<int> levels = tree_levels(shape, group_count);
    uint32_t number = 0;
    for (uint32_t i = 0; i < group_count; ++i) add_group(records, i + 1, levels[i]);
    for (uint32_t i = 0; i < group_count; ++i)
        for (uint32_t k = 0; k < entries_per_group; ++k) add_entry(records, ++number, i + 1);
    records.group_pointers.push_back(nullptr);
    records.entry_pointers.push_back(nullptr);
    records.db.group_count = group_count;
    records.db.entry_count = static_cast<uint32_t>(records.entries.size());
    records.db.groups = records.group_pointers.data();
    records.db.entries = records.entry_pointers.data();
}

// Deletes the windows build_layout made (a derived window before its frame)
// while their screen still exists, so that the next build_layout, on
// another screen, does not delete them again.
void drop_layout() {
    for (WINDOW** window : {&groups_list, &groups_frame, &entries_list, &entries_frame, &title_bar, &help_bar}) {
        if (*window != nullptr) delwin(*window);
        *window = nullptr;
    }
}

// A curses screen of the given size writing to /dev/null, torn down with
// the object.
struct null_terminal {
    FILE* out = nullptr;
    FILE* in = nullptr;
    SCREEN* screen = nullptr;

    null_terminal(int rows, int cols) {
        out = std::fopen("/dev/null", "w");
        in = std::fopen("/dev/null", "r");
        if (out != nullptr && in != nullptr) screen = newterm("xterm", out, in);
        if (screen == nullptr) {
            std::fprintf(stderr, "kdbrowse-bench: no curses screen for the redraw figures\n");
            std::exit(1);
        }
        set_term(screen);
        resize_term(rows, cols);
        cbreak();
        noecho();
        curs_set(0);
    }
    ~null_terminal() {
        drop_layout();
        endwin();
        delscreen(screen);
        std::fclose(in);
        std::fclose(out);
    }
    null_terminal(const null_terminal&) = delete;
    null_terminal& operator=(const null_terminal&) = delete;
};

}  // namespace

// The cursor moves back and forth between the middle group and the one
// after it, the tree scrolled so that the middle group sits mid-window; each
// step redraws both panes with the group tree in focus.
double redraw_seconds(tree_shape shape, uint32_t group_count) {
    memory_records records;
    build_records(records, shape, group_count);
    null_terminal terminal(screen_rows, screen_cols);
    build_layout(&records.db);

    const int middle = static_cast<int>(group_count / 2);
    const int first_row = std::max(0, middle - window_height(groups_list) / 2);
    int steps = 0;
    double start = now_seconds(), elapsed = 0;
    while (steps < least_steps || elapsed < least_seconds) {
        const int cursor = middle + steps % 2;
        draw_groups(&records.db, first_row, cursor, true);
        draw_entries(&records.db, cursor, 0, 0, false, false);
        ++steps;
        elapsed = now_seconds() - start;
    }
    return elapsed / steps;
}
