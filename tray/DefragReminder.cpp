// CDefragReminder: the stored date, the remembered drive and the balloon texts.
#include "tray/DefragReminder.h"

#include <windows.h>

#include "app/ProductConfiguration.h"
#include "app/SettingsValues.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/tray_ids.h"
#include "tray/core/TextFormat.h"

namespace zyr::tray {
namespace {

constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;  // 100 ns units from 1601 to 1970
constexpr int64_t kTicksPerSecond = 10000000;

bool ToFileTime(int64_t utcSeconds, FILETIME& ft) {
    if (utcSeconds < 0 || utcSeconds > (INT64_MAX - kUnixEpochAsFileTime) / kTicksPerSecond) return false;
    const auto ticks = static_cast<uint64_t>(utcSeconds * kTicksPerSecond + kUnixEpochAsFileTime);
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

int64_t FromFileTime(const FILETIME& ft) {
    const uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return (static_cast<int64_t>(ticks) - kUnixEpochAsFileTime) / kTicksPerSecond;
}

const SystemLocalClock& DefaultClock() {
    static const SystemLocalClock clock;
    return clock;
}

}  // namespace

bool SystemLocalClock::ToLocal(int64_t utcSeconds, LocalDateTime& local) const {
    FILETIME ft{};
    SYSTEMTIME utc{}, st{};
    if (!ToFileTime(utcSeconds, ft) || !::FileTimeToSystemTime(&ft, &utc) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st))
        return false;
    local = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    return true;
}

bool SystemLocalClock::FromLocal(const LocalDateTime& local, int64_t& utcSeconds) const {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(local.year);
    st.wMonth = static_cast<WORD>(local.month);
    st.wDay = static_cast<WORD>(local.day);
    st.wHour = static_cast<WORD>(local.hour);
    st.wMinute = static_cast<WORD>(local.minute);
    st.wSecond = static_cast<WORD>(local.second);
    SYSTEMTIME utc{};
    FILETIME ft{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc) || !::SystemTimeToFileTime(&utc, &ft)) return false;
    utcSeconds = FromFileTime(ft);
    return true;
}

int64_t CurrentUnixTime() {
    FILETIME ft{};
    ::GetSystemTimeAsFileTime(&ft);
    return FromFileTime(ft);
}

CDefragReminder::CDefragReminder(ShowBalloonFn showBalloon, NowFn now, const ILocalClock* clock)
    : showBalloon_(std::move(showBalloon)), now_(std::move(now)), clock_(clock ? clock : &DefaultClock()) {}

void CDefragReminder::SetClock(const ILocalClock* clock) { clock_ = clock ? clock : &DefaultClock(); }

ReminderBalloon CDefragReminder::MakeBalloon(const std::wstring& drive, int percent, int limit) {
    ReminderBalloon balloon;
    balloon.text = FormatText(config::LoadText(IDS_REMINDER_TEXT), {drive, percent, limit});
    balloon.title = LoadResourceString(IDS_REMINDER_TITLE);
    return balloon;
}

bool CDefragReminder::Check() {
    const int64_t now = now_();
    std::vector<uint8_t> stored;
    std::optional<int64_t> lastShown;
    if (fw::GetProfileBinary(L"", settings::DefragWarningDate, stored))
        lastShown = DecodeWarningDate(stored.data(), stored.size());
    if (!ReminderDue(lastShown, now, *clock_)) return false;
    const std::wstring drive = settings::Read(settings::DefragWarningDrive);
    if (drive.empty()) return false;
    const int limit = settings::Read(settings::DefragWarningLimit);
    const int percent = fw::GetProfileInt(L"", settings::DefragWarningPercent, limit + 1);
    if (showBalloon_) showBalloon_(MakeBalloon(drive, percent, limit));
    const std::vector<uint8_t> date = EncodeWarningDate(now);
    fw::WriteProfileBinary(L"", settings::DefragWarningDate, date.data(), static_cast<uint32_t>(date.size()));
    return true;
}

}  // namespace zyr::tray
