// Interim: the task-scheduler switches before the task manager lands. They do nothing and say so.
#include "schedule/ScheduledTasks.h"

#include <windows.h>

namespace zyr::schedule {

void AddScanAndDefragTasks() { OutputDebugStringW(L"Task scheduler support is not built yet\n"); }
bool SetLaunchOnStartup(bool) {
    OutputDebugStringW(L"Task scheduler support is not built yet\n");
    return false;
}
void RemoveTasksAtUninstall() { OutputDebugStringW(L"Task scheduler support is not built yet\n"); }

}  // namespace zyr::schedule
