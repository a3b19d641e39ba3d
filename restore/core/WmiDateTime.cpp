// WMI date-time parsing and the UTC moment it names.
#include "restore/core/WmiDateTime.h"

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

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::optional<WmiDateTime> ParseWmiDateTime(std::wstring_view text) {
    WmiDateTime t;
    if (text.size() < 14 || !ReadNumber(text, 0, 4, t.year) || !ReadNumber(text, 4, 2, t.month) ||
        !ReadNumber(text, 6, 2, t.day) || !ReadNumber(text, 8, 2, t.hour) || !ReadNumber(text, 10, 2, t.minute) ||
        !ReadNumber(text, 12, 2, t.second))
        return std::nullopt;
    if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    int offset = 0;
    if (text.size() >= 25 && (text[21] == L'+' || text[21] == L'-') && ReadNumber(text, 22, 3, offset))
        t.offsetMinutes = text[21] == L'-' ? -offset : offset;
    return t;
}

std::optional<int64_t> SecondsSince1601Utc(const WmiDateTime& t) {
    const int64_t days = DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(1601, 1, 1);
    const int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second - int64_t{t.offsetMinutes} * 60;
    if (seconds < 0) return std::nullopt;
    return seconds;
}

}  // namespace zyr::restore
