// When the fragmentation reminder may show again, and how its last showing is stored (portable).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zyr::tray {

// A local calendar time (month 1..12, day 1..31).
struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The machine's time zone rules: seconds since 1970-01-01 UTC to local time and back.
class ILocalClock {
public:
    virtual ~ILocalClock() = default;
    // False when the moment has no local date.
    virtual bool ToLocal(int64_t utcSeconds, LocalDateTime& local) const = 0;
    // False when the local time cannot be converted.
    virtual bool FromLocal(const LocalDateTime& local, int64_t& utcSeconds) const = 0;
};

// A clock with a fixed offset from UTC and no daylight saving (tests; the Gregorian calendar).
class FixedOffsetClock : public ILocalClock {
public:
    explicit FixedOffsetClock(int64_t offsetSeconds = 0) : offset_(offsetSeconds) {}
    bool ToLocal(int64_t utcSeconds, LocalDateTime& local) const override;
    bool FromLocal(const LocalDateTime& local, int64_t& utcSeconds) const override;

private:
    int64_t offset_;
};

// Calendar helpers on days since 1970-01-01.
int64_t DaysFromCivil(int64_t year, int month, int day);
LocalDateTime CivilFromSeconds(int64_t seconds);

inline constexpr int kReminderDays = 7;
// 9999-12-31 23:59:59 UTC: later moments are no times this program meets.
inline constexpr int64_t kLatestTime = 253402300799;
inline constexpr int kReminderMorningHour = 5;

// "DefragWarningDate": 8 bytes, little-endian seconds since 1970-01-01 UTC.
std::vector<uint8_t> EncodeWarningDate(int64_t utcSeconds);
// The stored moment; none for a value that is not exactly 8 bytes (an empty one included).
std::optional<int64_t> DecodeWarningDate(const uint8_t* data, size_t size);

// Whole days (rounded toward zero) from 05:00 local time of the day `shown` fell on until `now`.
// None when `shown` has no local date, its 05:00 cannot be converted, or it lies before 1970 or
// after `now` (moments that cannot be the last showing), or `now` lies after kLatestTime.
std::optional<int64_t> DaysSinceReminderMorning(int64_t shown, int64_t now, const ILocalClock& clock);

// True when the reminder may show at `now`: no usable last showing, or 7 days have passed.
bool ReminderDue(std::optional<int64_t> lastShown, int64_t now, const ILocalClock& clock);

}  // namespace zyr::tray
