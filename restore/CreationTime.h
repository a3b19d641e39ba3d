// Creation times of restore points (WMI date-time texts, UTC) as local date and time texts.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace zyr::restore {

inline constexpr wchar_t kInvalidDateTime[] = L"Invalid DateTime";

// Reads "yyyymmddHHMMSS" from the start of a WMI date-time text, and the UTC offset in minutes
// ("+uuu" or "-uuu" at characters 21 to 24) when the text carries one, as a UTC moment.
// False when a field is not a number or the fields are not a valid date and time.
bool ParseWmiDateTime(std::wstring_view text, SYSTEMTIME& utc);

// The text the restore page shows for a creation time: empty for a text shorter than 15
// characters, "Invalid DateTime" for one that is not a representable moment, else the moment
// in the time zone `zone` as the short date and the time of `locale`.
std::wstring CreationTimeText(std::wstring_view wmiText, const TIME_ZONE_INFORMATION& zone, LCID locale);

}  // namespace zyr::restore
