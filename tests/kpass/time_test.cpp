// Packed times: the writer's packing and the library's unpacking.
#include "kpass_test_helpers.h"

namespace {

TEST(PackedTime, NeverExpiresExample) {
    std::array<uint8_t, 5> never = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    EXPECT_EQ(never, (std::array<uint8_t, 5>{0x2E, 0xDF, 0x39, 0x7E, 0xFB}));
    struct tm tm;
    std::memset(&tm, 0x5A, sizeof tm);
    EXPECT_EQ(kpass_unpack_time(never.data(), &tm), 0);
    EXPECT_EQ(tm.tm_year, 2999 - 1900);
    EXPECT_EQ(tm.tm_mon, 11);
    EXPECT_EQ(tm.tm_mday, 28);
    EXPECT_EQ(tm.tm_hour, 23);
    EXPECT_EQ(tm.tm_min, 59);
    EXPECT_EQ(tm.tm_sec, 59);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    EXPECT_STREQ(text, "2999-12-28 23:59:59");
}

TEST(PackedTime, EveryFieldRoundTrips) {
    for (int year : {0, 1, 1970, 2024, 9999, 16383})
        for (int month : {1, 6, 12})
            for (int day : {1, 15, 31})
                for (int hour : {0, 12, 23})
                    for (int minute : {0, 33, 59})
                        for (int second : {0, 7, 59}) {
                            std::array<uint8_t, 5> packed = kdb_pack_time(year, month, day, hour, minute, second);
                            struct tm tm;
                            kpass_unpack_time(packed.data(), &tm);
                            ASSERT_EQ(tm.tm_year + 1900, year);
                            ASSERT_EQ(tm.tm_mon + 1, month);
                            ASSERT_EQ(tm.tm_mday, day);
                            ASSERT_EQ(tm.tm_hour, hour);
                            ASSERT_EQ(tm.tm_min, minute);
                            ASSERT_EQ(tm.tm_sec, second);
                        }
}

TEST(PackedTime, OutOfRangeValuesUnpackAsStored) {
    std::array<uint8_t, 5> packed = kdb_pack_time(2020, 13, 0, 31, 63, 63);
    struct tm tm;
    kpass_unpack_time(packed.data(), &tm);
    EXPECT_EQ(tm.tm_mon + 1, 13);
    EXPECT_EQ(tm.tm_mday, 0);
    EXPECT_EQ(tm.tm_hour, 31);
    EXPECT_EQ(tm.tm_min, 63);
    EXPECT_EQ(tm.tm_sec, 63);
    uint8_t all_ones[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    kpass_unpack_time(all_ones, &tm);
    EXPECT_EQ(tm.tm_year + 1900, 16383);
    EXPECT_EQ(tm.tm_mon + 1, 15);
}

}  // namespace
