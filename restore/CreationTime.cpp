// WMI date-time text -> local date and time text.
#include "restore/CreationTime.h"

#include "restore/core/WmiDateTime.h"

namespace zyr::restore {
namespace {

std::wstring Format(int(WINAPI* format)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int), LCID locale,
                    DWORD flags, const SYSTEMTIME& time) {
    wchar_t buffer[128];
    int n = format(locale, flags, &time, nullptr, buffer, static_cast<int>(std::size(buffer)));
    return n > 0 ? std::wstring(buffer, static_cast<size_t>(n - 1)) : std::wstring();
}

}  // namespace

bool ParseWmiDateTime(std::wstring_view text, SYSTEMTIME& utc) {
    const std::optional<WmiDateTime> fields = ParseWmiDateTime(text);
    const std::optional<int64_t> seconds = fields ? SecondsSince1601Utc(*fields) : std::nullopt;
    if (!seconds) return false;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(*seconds) * 10000000;
    const FILETIME moment{ticks.LowPart, ticks.HighPart};
    return FileTimeToSystemTime(&moment, &utc) != FALSE;
}

std::wstring CreationTimeText(std::wstring_view wmiText, const TIME_ZONE_INFORMATION& zone, LCID locale) {
    if (wmiText.size() < 15) return {};
    SYSTEMTIME utc, local;
    TIME_ZONE_INFORMATION rules = zone;  // the call takes a non-const pointer on older headers
    if (!ParseWmiDateTime(wmiText, utc) || !SystemTimeToTzSpecificLocalTime(&rules, &utc, &local))
        return kInvalidDateTime;
    std::wstring date = Format(GetDateFormatW, locale, DATE_SHORTDATE, local);
    std::wstring time = Format(GetTimeFormatW, locale, 0, local);
    if (date.empty() || time.empty()) return kInvalidDateTime;
    return date + L' ' + time;
}

}  // namespace zyr::restore
