// Fuzz target: reminder texts, the stored reminder date with the 7-day rule, and the limit field.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/core/WarningLimit.h"
#include "tray/core/ReminderRule.h"
#include "tray/core/TextFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each byte one UTF-16 unit, so seeds stay readable.
    const std::wstring text(data, data + size);

    const std::wstring formatted = zyr::tray::FormatText(text, {L"C:", 12, 3});
    if (text.find(L'%') == std::wstring::npos && formatted != text) __builtin_trap();

    const int limit = zyr::settingspages::ParseWarningLimit(text);
    const bool leadingDigit = !text.empty() && text[0] >= L'0' && text[0] <= L'9';
    if (limit < 0 || (!leadingDigit && limit != 0)) __builtin_trap();
    if (limit > 0 && limit < INT_MAX && std::to_wstring(limit).size() > zyr::settingspages::kWarningLimitChars)
        __builtin_trap();

    // The first 8 bytes as the stored date, the next 8 as the current time, one byte as the zone.
    if (size >= 17) {
        const auto shown = zyr::tray::DecodeWarningDate(data, 8);
        const auto now = zyr::tray::DecodeWarningDate(data + 8, 8);
        const zyr::tray::FixedOffsetClock clock((static_cast<int>(data[16]) - 128) * 450);
        const bool due = zyr::tray::ReminderDue(shown, *now, clock);
        const auto days = zyr::tray::DaysSinceReminderMorning(*shown, *now, clock);
        if (days && (*days < 0 || due != (*days >= zyr::tray::kReminderDays))) __builtin_trap();
    }
    return 0;
}
