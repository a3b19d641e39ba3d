// Size texts and schedule sentences.
#include "schedule/core/ScheduleText.h"

#include <cwchar>

namespace zyr::schedule {
namespace {

std::wstring Time(int hour, int minute) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%.2d:%.2d", hour, minute);
    return text;
}

}  // namespace

std::wstring FormatSize(int64_t n) {
    wchar_t text[64];
    if (n > 0x40000000LL)
        std::swprintf(text, 64, L"%.2f GB", static_cast<double>(n) / 1073741824.0);
    else if (n > 0x100000LL)
        std::swprintf(text, 64, L"%.2f MB", static_cast<double>(n) / 1048576.0);
    else if (n > 1024)
        std::swprintf(text, 64, L"%.2f KB", static_cast<double>(n) / 1024.0);
    else
        std::swprintf(text, 64, L"%lld Bytes", static_cast<long long>(n));
    return text;
}

std::wstring WeeklySentence(int days, int hour, int minute, int weeks) {
    // Monday first, as the options dialog lists them.
    static constexpr struct {
        int bit;
        const wchar_t* name;
    } kDays[] = {{0x2, L"Mon"}, {0x4, L"Tue"}, {0x8, L"Wed"}, {0x10, L"Thu"},
                 {0x20, L"Fri"}, {0x40, L"Sat"}, {0x1, L"Sun"}};
    std::wstring names;
    if ((days & 0x7F) == 0x7F) {
        names = L"day";
    } else {
        for (const auto& day : kDays) {
            if (!(days & day.bit)) continue;
            if (!names.empty()) names += L", ";
            names += day.name;
        }
    }
    if (names.empty()) names = L"week";
    std::wstring sentence = L"Every " + names;
    if (weeks > 1) sentence += L", every " + std::to_wstring(weeks) + L" weeks,";
    return sentence + L" at " + Time(hour, minute);
}

std::wstring DailySentence(int interval, int hour, int minute) {
    std::wstring every = interval > 1 ? L"Every " + std::to_wstring(interval) + L" days" : L"Every day";
    return every + L" at " + Time(hour, minute);
}

}  // namespace zyr::schedule
