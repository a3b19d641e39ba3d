// The reminder's 7-day rule, its stored date and a fixed-offset calendar clock.
#include "tray/core/ReminderRule.h"

namespace zyr::tray {

// Days since 1970-01-01 of a proleptic Gregorian date (the usual era-based civil-days algorithm).
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LocalDateTime CivilFromSeconds(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    LocalDateTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

bool FixedOffsetClock::ToLocal(int64_t utcSeconds, LocalDateTime& local) const {
    local = CivilFromSeconds(utcSeconds + offset_);
    return true;
}

bool FixedOffsetClock::FromLocal(const LocalDateTime& local, int64_t& utcSeconds) const {
    utcSeconds = DaysFromCivil(local.year, local.month, local.day) * 86400 + local.hour * 3600 + local.minute * 60 +
                 local.second - offset_;
    return true;
}

std::vector<uint8_t> EncodeWarningDate(int64_t utcSeconds) {
    std::vector<uint8_t> bytes(8);
    const auto value = static_cast<uint64_t>(utcSeconds);
    for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}

std::optional<int64_t> DecodeWarningDate(const uint8_t* data, size_t size) {
    if (!data || size != 8) return std::nullopt;
    uint64_t value = 0;
    for (size_t i = 0; i < 8; ++i) value |= static_cast<uint64_t>(data[i]) << (8 * i);
    return static_cast<int64_t>(value);
}

std::optional<int64_t> DaysSinceReminderMorning(int64_t shown, int64_t now, const ILocalClock& clock) {
    if (shown < 0 || shown > now || now > kLatestTime) return std::nullopt;
    LocalDateTime day;
    if (!clock.ToLocal(shown, day)) return std::nullopt;
    day.hour = kReminderMorningHour;
    day.minute = 0;
    day.second = 0;
    int64_t morning = 0;
    if (!clock.FromLocal(day, morning)) return std::nullopt;
    return (now - morning) / 86400;  // C++ division rounds toward zero
}

bool ReminderDue(std::optional<int64_t> lastShown, int64_t now, const ILocalClock& clock) {
    if (!lastShown) return true;
    const std::optional<int64_t> days = DaysSinceReminderMorning(*lastShown, now, clock);
    return !days || *days >= kReminderDays;
}

}  // namespace zyr::tray
