// ScheduleItemStruct: one weekly schedule as the schedule page edits it.
#pragma once
#include <string>

namespace zyr::schedule {

struct ScheduleItemStruct {
    int days = 0;      // TASK_SUNDAY 0x1 ... TASK_SATURDAY 0x40
    int hour = 0;      // 0..23
    int minute = 0;    // 0..59
    std::wstring workingDirectory;
    std::wstring application;
    std::wstring parameters;
};

}  // namespace zyr::schedule
