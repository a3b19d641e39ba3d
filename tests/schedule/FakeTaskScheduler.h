// An in-process Task Scheduler 1.0 that behaves as Windows documents it, for the manager's tests.
#pragma once
#include <windows.h>
#include <mstask.h>

#include "schedule/TaskSchedulerFactory.h"

#include <set>
#include <string>
#include <vector>

namespace zyr::schedule::testing {

// One saved job ("<name>.job" in the Tasks folder).
struct FakeJob {
    std::wstring name;  // without ".job"
    std::wstring application, parameters, workingDirectory, comment;
    std::wstring account;
    bool hasAccount = false;
    DWORD flags = 0;
    std::vector<TASK_TRIGGER> triggers;
};

// The service's state, shared by every object it hands out. Names compare without case and
// with or without ".job"; Enum lists them with ".job", in the order they were first saved.
class FakeTaskService {
public:
    std::vector<FakeJob> jobs;
    std::set<std::wstring> unreadableAccounts;  // GetAccountInformation fails for these names
    bool giveTriggerText = true;                // false: GetTriggerString answers E_NOTIMPL (as Wine)
    HRESULT createResult = S_OK;                // the factory's answer
    HRESULT saveResult = S_OK;                  // IPersistFile::Save's answer
    HRESULT setTriggerResult = S_OK;            // forced answer of ITaskTrigger::SetTrigger
    HRESULT newWorkItemResult = S_OK;
    HRESULT deleteResult = S_OK;                // forced answer of ITaskScheduler::Delete
    int calls = 0;                              // calls into any interface of the service
    std::vector<std::wstring> deleted;          // names passed to Delete

    TaskSchedulerFactory Factory();

    FakeJob* Find(const std::wstring& name);
    // A saved job with one trigger, as another program would leave it.
    FakeJob& AddJob(const std::wstring& name, const std::wstring& account, const TASK_TRIGGER& trigger);
    void Save(const FakeJob& job);
};

// A weekly trigger (interval 1) and a daily one, 48 bytes as the service keeps them.
TASK_TRIGGER WeeklyTrigger(WORD days, WORD hour, WORD minute);
TASK_TRIGGER DailyTrigger(WORD interval, WORD hour, WORD minute);
// The sentence a Windows service gives for a trigger ("At 2:15 AM every Mon, Fri of every week, ...").
std::wstring WindowsTriggerSentence(const TASK_TRIGGER& trigger);

}  // namespace zyr::schedule::testing
