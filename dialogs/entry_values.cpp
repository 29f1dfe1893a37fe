#include "dialogs/entry_values.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "db/queries.h"
#include "kpass/kpass.h"

const char* format_uuid(const uint8_t uuid[16], char* text) {
    for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", uuid[i]);
    return text;
}

const char* format_image_id(int32_t image_id, char* text) {
    std::snprintf(text, entry_value_size, "%d", image_id);
    return text;
}

const char* format_time(const uint8_t packed[5], bool never_for_far_future, char* text) {
    struct tm time {};
    kpass_unpack_time(packed, &time);
    // strftime leaves the buffer undefined when the text does not fit.
    if (std::strftime(text, entry_value_size, "%Y-%m-%d %H:%M:%S", &time) == 0) text[0] = '\0';
    if (never_for_far_future && std::strcmp(text, "2999-12-28 23:59:59") == 0) return "Never";
    return text;
}

const char* format_expiry(const uint8_t packed[5], std::time_t now, char* text) {
    const char* shown = format_time(packed, true, text);
    if (shown != text) return shown;  // "Never"
    struct tm time {};
    kpass_unpack_time(packed, &time);
    time.tm_isdst = -1;
    const std::time_t expires = std::mktime(&time);
    if (expires != static_cast<std::time_t>(-1) && expires < now)
        std::strncat(text, " (expired)", entry_value_size - std::strlen(text) - 1);
    return text;
}

const char* entry_group_name(const kpass_db* db, const kpass_entry* entry) {
    int index = find_group_by_id(db, entry->group_id);
    if (index < 0 || static_cast<uint32_t>(index) >= db->group_count) return "";
    return db->groups[index]->name;
}
