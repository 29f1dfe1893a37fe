#include "kpass/kpass.h"

// Packed times are 5 bytes: 14 bits of year, then 4 of month, 5 of day, 5 of
// hour, 6 of minute and 6 of second. Values are passed on as stored, even
// out of their range, so that a damaged time shows as what it is.
int kpass_unpack_time(const uint8_t packed[5], struct tm* tm) {
    int year = (packed[0] << 6) | (packed[1] >> 2);
    int month = ((packed[1] & 0x03) << 2) | (packed[2] >> 6);
    int day = (packed[2] >> 1) & 0x1F;
    int hour = ((packed[2] & 0x01) << 4) | (packed[3] >> 4);
    int minute = ((packed[3] & 0x0F) << 2) | (packed[4] >> 6);
    int second = packed[4] & 0x3F;
    tm->tm_year = year - 1900;
    tm->tm_mon = month - 1;
    tm->tm_mday = day;
    tm->tm_hour = hour;
    tm->tm_min = minute;
    tm->tm_sec = second;
    tm->tm_wday = 0;
    tm->tm_yday = 0;
    tm->tm_isdst = 0;
    return 0;
}
