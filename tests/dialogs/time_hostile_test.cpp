// Packed times out of their range, as damaged or hostile files hold them:
// shown with the values as they are stored (strftime gets them unchecked),
// never a crash, never an overrun of the text buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs/entry_values.h"
#include "kpass/writer/kdb_writer.h"

namespace {

std::string shown(const std::array<uint8_t, 5>& packed, bool never_for_far_future = false) {
    char text[entry_value_size];
    std::memset(text, 'X', sizeof text);
    const char* result = format_time(packed.data(), never_for_far_future, text);
    EXPECT_NE(std::memchr(result, 0, entry_value_size), nullptr);
    return result;
}

TEST(time_hostile, fields_out_of_range_are_shown_as_stored) {
    EXPECT_EQ(shown(kdb_pack_time(2024, 13, 1, 12, 0, 63)), "2024-13-01 12:00:63");
    EXPECT_EQ(shown(kdb_pack_time(2023, 2, 31, 24, 60, 61)), "2023-02-31 24:60:61");
    // Every bit set: year 16383, month 15, day 31, hour 31, minute and second 63.
    EXPECT_EQ(shown({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "16383-15-31 31:63:63");
    // Every bit clear: year 0, month 0 (one before January), day 0.
    EXPECT_EQ(shown({0, 0, 0, 0, 0}), "0-00-00 00:00:00");
    EXPECT_EQ(shown({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, true), "16383-15-31 31:63:63");
}

TEST(time_hostile, only_the_exact_far_future_time_reads_never) {
    EXPECT_EQ(shown(kdb_pack_time(2999, 12, 28, 23, 59, 59), true), "Never");
    EXPECT_EQ(shown(kdb_pack_time(2999, 12, 28, 23, 59, 59), false), "2999-12-28 23:59:59");
    EXPECT_EQ(shown(kdb_pack_time(2999, 12, 28, 23, 59, 60), true), "2999-12-28 23:59:60");
}

}  // namespace
