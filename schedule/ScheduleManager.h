// CScheduleManager: the program's own weekly defrag schedules of one name prefix and account.
#pragma once
#include <windows.h>
#include <mstask.h>

#include "schedule/ScheduleItem.h"

#include <string>
#include <vector>

namespace zyr::schedule {

// Loaded once with LoadTasks, then used by list index; the indexes follow the order of loading
// and adding. The calling thread must have initialised COM. Operations answer 0 or -1.
class CScheduleManager {
public:
    CScheduleManager() = default;
    virtual ~CScheduleManager();
    CScheduleManager(const CScheduleManager&) = delete;
    CScheduleManager& operator=(const CScheduleManager&) = delete;

    // Appends the tasks named `prefix` or `prefix`_sch_... that run as domain\user.
    virtual void LoadTasks(std::wstring userName, std::wstring domainName, std::wstring prefix);
    // Forgets the list; the tasks stay.
    virtual void ClearList();
    virtual int GetCount();
    // The service's sentence for trigger 0; `text` stays as passed when the service gives none.
    virtual int GetTriggerText(int index, std::wstring& text);
    virtual int GetTask(int index, ScheduleItemStruct* item);
    virtual int AddTask(const ScheduleItemStruct& item);
    virtual int UpdateTask(int index, const ScheduleItemStruct& item);
    virtual int DeleteTask(int index);

    // Trigger 0 of a task as stored (for a sentence of our own when the service gives none).
    int GetTrigger(int index, TASK_TRIGGER& trigger);
    const std::wstring& NameAt(int index) const { return names[static_cast<size_t>(index)]; }
    std::wstring AccountName() const { return domainName + L"\\" + userName; }

private:
    std::wstring MakeTaskName() const;
    int CreateWorkItem(const std::wstring& name, const ScheduleItemStruct& item);
    bool IsValidIndex(int index) const;
    HRESULT OpenTask(int index, ITask** task);

    ITaskScheduler* scheduler = nullptr;
    std::vector<std::wstring> names;
    std::wstring userName, domainName, prefix;
};

// The path of a job file: <Windows folder>\Tasks\<name>.job.
std::wstring JobFilePath(const std::wstring& name);

}  // namespace zyr::schedule
