// DOS date and time stamps as stored in ZIP headers (date in the high 16 bits).
#pragma once

#include <cstdint>
#include <ctime>

namespace unzip {

struct DosDateTime {
    int year, month, day, hour, minute, second;
};

inline DosDateTime SplitDosTime(uint32_t dos_time) {
    DosDateTime t;
    t.year = 1980 + static_cast<int>((dos_time >> 25) & 0x7F);
    t.month = static_cast<int>((dos_time >> 21) & 0x0F);
    t.day = static_cast<int>((dos_time >> 16) & 0x1F);
    t.hour = static_cast<int>((dos_time >> 11) & 0x1F);
    t.minute = static_cast<int>((dos_time >> 5) & 0x3F);
    t.second = static_cast<int>((dos_time & 0x1F) * 2);
    return t;
}

// DOS stamps carry local time: interpret them in the local time zone so that the
// file shows the stored date and time.
inline time_t DosTimeToUnix(uint32_t dos_time) {
    DosDateTime d = SplitDosTime(dos_time);
    struct tm tm = {};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = d.hour;
    tm.tm_min = d.minute;
    tm.tm_sec = d.second;
    tm.tm_isdst = -1;
    return mktime(&tm);
}

} // namespace unzip
