// WMI date-time text -> local date and time text.
#include "restore/CreationTime.h"

namespace zyr::restore {
namespace {

bool ReadNumber(std::wstring_view text, size_t offset, size_t count, int& value) {
    value = 0;
    for (size_t i = offset; i < offset + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        value = value * 10 + (text[i] - L'0');
    }
    return true;
}

std::wstring Format(int (WINAPI* format)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int), LCID locale,
                    DWORD flags, const SYSTEMTIME& time) {
    wchar_t buffer[128];
    int n = format(locale, flags, &time, nullptr, buffer, static_cast<int>(std::size(buffer)));
    return n > 0 ? std::wstring(buffer, static_cast<size_t>(n - 1)) : std::wstring();
}

}  // namespace

bool ParseWmiDateTime(std::wstring_view text, SYSTEMTIME& utc) {
    if (text.size() < 14) return false;
    int year, month, day, hour, minute, second;
    if (!ReadNumber(text, 0, 4, year) || !ReadNumber(text, 4, 2, month) || !ReadNumber(text, 6, 2, day) ||
        !ReadNumber(text, 8, 2, hour) || !ReadNumber(text, 10, 2, minute) || !ReadNumber(text, 12, 2, second))
        return false;
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    FILETIME moment;
    if (!SystemTimeToFileTime(&fields, &moment)) return false;  // checks every range

    // "yyyymmddHHMMSS.mmmmmmsUUU": the fields are local to an offset of UUU minutes east of UTC.
    int offset = 0;
    if (text.size() >= 25 && (text[21] == L'+' || text[21] == L'-') && ReadNumber(text, 22, 3, offset)) {
        ULARGE_INTEGER value{{moment.dwLowDateTime, moment.dwHighDateTime}};
        const ULONGLONG shift = static_cast<ULONGLONG>(offset) * 60 * 10000000;
        if (text[21] == L'+') {
            if (value.QuadPart < shift) return false;
            value.QuadPart -= shift;
        } else {
            value.QuadPart += shift;
        }
        moment.dwLowDateTime = value.LowPart;
        moment.dwHighDateTime = value.HighPart;
    }
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
