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

void page_move(const char* command, int* cursor, int* first, int count, int rows) {
    if (count <= 0 || rows <= 0) return;
    const int last_page = std::max(count - rows, 0);
    if (command == command_page_down) {
        *cursor = std::min(*cursor + rows, count - 1);
        *first = std::min(*first + rows, last_page);
    } else if (command == command_page_up) {
        *cursor = std::max(*cursor - rows, 0);
        *first = std::max(*first - rows, 0);
    } else if (command == command_home) {
        *cursor = *first = 0;
    } else if (command == command_end) {
        *cursor = count - 1;
        *first = last_page;
    }
    *first = first_showing(*cursor, *first, rows);
}
