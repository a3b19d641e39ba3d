// The program's own tasks in the task scheduler, as the command-line switches act on them.
#pragma once
#include <windows.h>
#include <mstask.h>

#include <functional>

namespace zyr::schedule {

// "-addtask": the weekly scan task and the defrag task, each created once.
void AddScanAndDefragTasks();
// The logon task and "LaunchOnStartup": created with true, removed with false. True when the
// task is present (for true) or absent (for false) afterwards; when not, "LaunchOnStartup" is
// put back to what the task does.
bool SetLaunchOnStartup(bool launch);
// "-uninstall": every task of the program in the order uninstalling removes them.
void RemoveTasksAtUninstall();

// The same "-addtask" with the random numbers drawn from `nextRandom` (hour, minute, days).
void AddScanAndDefragTasks(const std::function<int()>& nextRandom);

// The two weekly triggers of "-addtask" for three draws and a begin date.
struct ScanAndDefragTriggers {
    TASK_TRIGGER scan;
    TASK_TRIGGER defrag;
};
ScanAndDefragTriggers MakeScanAndDefragTriggers(const std::function<int()>& nextRandom, const SYSTEMTIME& today);

}  // namespace zyr::schedule
