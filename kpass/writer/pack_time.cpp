#include "kpass/writer/kdb_writer.h"

std::array<uint8_t, 5> kdb_pack_time(int year, int month, int day, int hour, int minute, int second) {
    return {
        static_cast<uint8_t>((year >> 6) & 0xFF),
        static_cast<uint8_t>(((year & 0x3F) << 2) | ((month >> 2) & 0x03)),
        static_cast<uint8_t>(((month & 0x03) << 6) | ((day & 0x1F) << 1) | ((hour >> 4) & 0x01)),
        static_cast<uint8_t>(((hour & 0x0F) << 4) | ((minute >> 2) & 0x0F)),
        static_cast<uint8_t>(((minute & 0x03) << 6) | (second & 0x3F)),
    };
}
