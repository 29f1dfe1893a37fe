#include "app/page_keys.h"

#include <algorithm>

#include "keys/keymap.h"

bool is_page_command(const char* command) {
    return command == command_page_down || command == command_page_up || command == command_home ||
           command == command_end;
}

int first_showing(int cursor, int first, int rows) {
    if (rows <= 0 || cursor < first) return cursor;
    if (cursor >= first + rows) return cursor - rows + 1;
    return first;
}

int clamp_first(int first, int count, int rows) { return std::clamp(first, 0, std::max(count - rows, 0)); }

void page_move(const char* command, int* cursor, int* first, int count, int rows) {
    if (count <= 0 || rows <= 0) return;
    if (command == command_page_down) {
        *cursor = std::min(*cursor + rows, count - 1);
        *first = clamp_first(*first + rows, count, rows);
    } else if (command == command_page_up) {
        *cursor = std::max(*cursor - rows, 0);
        *first = std::max(*first - rows, 0);
    } else if (command == command_home) {
        *cursor = *first = 0;
    } else if (command == command_end) {
        *cursor = count - 1;
        *first = clamp_first(count, count, rows);
    }
    *first = first_showing(*cursor, *first, rows);
}
