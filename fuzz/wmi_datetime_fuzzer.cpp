// Fuzz target: WMI date-time texts; a text that reads as a date must read back the same.
#include "restore/core/WmiDateTime.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each byte one UTF-16 unit (as ANSI text widens), so seeds stay readable.
    std::wstring text(data, data + size);
    const auto time = zyr::restore::ParseWmiDateTime(text);
    if (!time) return 0;
    if (time->month < 1 || time->month > 12 || time->day < 1 || time->day > 31 || time->hour > 23 ||
        time->minute > 59 || time->second > 59 || time->year < 1601 || time->offsetMinutes < -999 ||
        time->offsetMinutes > 999)
        __builtin_trap();
    wchar_t again[32];
    std::swprintf(again, 32, L"%04d%02d%02d%02d%02d%02d", time->year, time->month, time->day, time->hour,
                  time->minute, time->second);
    const auto reread = zyr::restore::ParseWmiDateTime(again);
    if (!reread || reread->year != time->year || reread->day != time->day || reread->second != time->second)
        __builtin_trap();
    const auto seconds = zyr::restore::SecondsSince1601Utc(*time);
    if (seconds && *seconds < 0) __builtin_trap();
    return 0;
}
