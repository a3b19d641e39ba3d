// WMI date-time texts ("yyyymmddHHMMSS.mmmmmmsUUU") read into a checked UTC moment (portable).
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace zyr::restore {

struct WmiDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int offsetMinutes = 0;  // the fields are local to this offset east of UTC (0 when not given)
};

// Reads the first 14 characters as year, month, day, hour, minute and second, and the UTC
// offset ("+uuu" or "-uuu" at characters 21 to 24) when the text carries one. Empty when a
// field is not a decimal number or the fields are no valid date and time from the year 1601 on.
std::optional<WmiDateTime> ParseWmiDateTime(std::wstring_view text);

// The moment in seconds since 1 January 1601 UTC, the offset applied; empty when it falls
// before that day.
std::optional<int64_t> SecondsSince1601Utc(const WmiDateTime& time);

}  // namespace zyr::restore
