// Texts of the schedule page that need no window: drive sizes and a schedule's own sentence.
#pragma once
#include <cstdint>
#include <string>

namespace zyr::schedule {

// "1.00 GB", "1.00 MB", "1.00 KB" above 2^30, 2^20, 2^10 bytes (exclusive); else "<n> Bytes".
std::wstring FormatSize(int64_t bytes);

// The sentence the page shows for a weekly schedule when the task scheduler gives none:
// "Every Mon, Fri at 02:15"; all seven days read "Every day at 02:15". Days are the
// TASK_SUNDAY (0x1) ... TASK_SATURDAY (0x40) mask; every `weeks` > 1 names the interval.
std::wstring WeeklySentence(int days, int hour, int minute, int weeks = 1);
// "Every 3 days at 04:30" (or "Every day at 04:30" for an interval of 1).
std::wstring DailySentence(int interval, int hour, int minute);

}  // namespace zyr::schedule
