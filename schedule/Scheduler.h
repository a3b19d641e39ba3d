// Scheduler: single operations on one Task Scheduler task given by name.
#pragma once
#include <windows.h>
#include <mstask.h>

#include <string>

namespace zyr::schedule {

// Every operation but CreateTask pairs its own CoInitialize/CoUninitialize; CreateTask expects
// the caller's successful CoInitialize and ends it on every path.
class Scheduler {
public:
    Scheduler() = default;
    virtual ~Scheduler() = default;

    // True only when opening the task answers exactly S_OK.
    bool IsTaskPresent(const std::wstring& name);
    // A new job running this program (program folder + executable name) for the current user.
    bool CreateTask(const std::wstring& name, const std::wstring& workingDirectory, const std::wstring& comment);
    // Adds `trigger` as a new trigger of the task and saves it; nothing for a null trigger.
    void AddTrigger(const std::wstring& name, const TASK_TRIGGER* trigger);
    // Sets the command line of an existing task and saves it.
    void SetTaskParameters(const std::wstring& name, const std::wstring& parameters);
    // True only when the delete answers S_OK.
    bool RemoveTask(const std::wstring& name);

    HRESULT lastResult() const { return hr_; }

private:
    HRESULT hr_ = S_OK;
};

// The folder of this process's executable, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace zyr::schedule
