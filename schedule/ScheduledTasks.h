// The program's own tasks in the task scheduler, as the command-line switches act on them.
#pragma once

namespace zyr::schedule {

// "-addtask": the weekly scan task and the defrag task, each created once.
void AddScanAndDefragTasks();
// The logon task and "LaunchOnStartup": created with true, removed with false.
bool SetLaunchOnStartup(bool launch);
// "-uninstall": every task of the program in the order uninstalling removes them.
void RemoveTasksAtUninstall();

}  // namespace zyr::schedule
