// The fragmentation reminder: a balloon at most once a week about the drive the defrag page remembered.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "tray/core/ReminderRule.h"

namespace zyr::tray {

// The machine's time zone through Windows (daylight saving included).
class SystemLocalClock : public ILocalClock {
public:
    bool ToLocal(int64_t utcSeconds, LocalDateTime& local) const override;
    bool FromLocal(const LocalDateTime& local, int64_t& utcSeconds) const override;
};

// Seconds since 1970-01-01 UTC now.
int64_t CurrentUnixTime();

// Text 427 (drive, percentage, limit) and title 426 of the reminder balloon.
struct ReminderBalloon {
    std::wstring text;
    std::wstring title;
};

class CDefragReminder {
public:
    using ShowBalloonFn = std::function<void(const ReminderBalloon&)>;
    using NowFn = std::function<int64_t()>;

    // `clock` must outlive the reminder; the defaults are the system's.
    explicit CDefragReminder(ShowBalloonFn showBalloon, NowFn now = &CurrentUnixTime,
                             const ILocalClock* clock = nullptr);

    // One daily check: when 7 days have passed since the morning of the last balloon (or
    // there was none) and a fragmented drive is remembered, shows the balloon and stores the
    // time. True when it showed one.
    bool Check();
    // The balloon for the remembered values, without the checks.
    static ReminderBalloon MakeBalloon(const std::wstring& drive, int percent, int limit);

    void SetNow(NowFn now) { now_ = std::move(now); }
    void SetClock(const ILocalClock* clock);

private:
    ShowBalloonFn showBalloon_;
    NowFn now_;
    const ILocalClock* clock_;
};

}  // namespace zyr::tray
