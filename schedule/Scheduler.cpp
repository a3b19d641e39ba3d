// Scheduler: one task by name, each call in its own COM session.
#include "schedule/Scheduler.h"

#include "app/ProductConfiguration.h"
#include "framework/ComPtr.h"
#include "schedule/TaskSchedulerFactory.h"

#include <cstdio>

namespace zyr::schedule {
namespace {

using fw::ComPtr;

// CoInitialize for one operation, CoUninitialize when it ends (only after a success).
class ComSession {
public:
    ComSession() : hr_(CoInitialize(nullptr)) {}
    ~ComSession() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// The CoUninitialize that CreateTask owes its caller, on every path.
struct EndCallersSession {
    ~EndCallersSession() { CoUninitialize(); }
};

HRESULT OpenTask(ITaskScheduler* scheduler, const std::wstring& name, ComPtr<ITask>& task) {
    return scheduler->Activate(name.c_str(), kIidTask, task.putUnknown());
}

HRESULT SaveTask(ITask* task) {
    ComPtr<IPersistFile> file;
    HRESULT hr = task->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(file.put()));
    if (FAILED(hr)) return hr;
    return file->Save(nullptr, TRUE);
}

}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    size_t slash = folder.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

bool Scheduler::IsTaskPresent(const std::wstring& name) {
    ComSession com;
    if (!com.ok()) return false;
    ComPtr<ITaskScheduler> scheduler;
    hr_ = CreateTaskScheduler(scheduler.put());
    if (FAILED(hr_) || !scheduler) return false;
    ComPtr<ITask> task;
    hr_ = OpenTask(scheduler.get(), name, task);
    return hr_ == S_OK;
}

bool Scheduler::CreateTask(const std::wstring& name, const std::wstring& workingDirectory,
                           const std::wstring& comment) {
    EndCallersSession endSession;
    ComPtr<ITaskScheduler> scheduler;
    hr_ = CreateTaskScheduler(scheduler.put());
    if (FAILED(hr_) || !scheduler) return false;
    ComPtr<ITask> task;
    hr_ = scheduler->NewWorkItem(name.c_str(), kClsidTask, kIidTask, task.putUnknown());
    if (FAILED(hr_) || !task) return false;

    std::wstring application = ProgramFolder() + L"\\" + config::ExeName();
    wchar_t user[1000] = {};
    DWORD userSize = 1000;
    GetUserNameW(user, &userSize);
    task->SetApplicationName(application.c_str());
    task->SetWorkingDirectory(workingDirectory.c_str());
    task->SetFlags(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON);
    task->SetAccountInformation(user, nullptr);
    hr_ = task->SetComment(comment.c_str());
    if (FAILED(hr_)) {
        fwprintf(stderr, L"Failed calling SetComment, error = 0x%x\n", static_cast<unsigned>(hr_));
        return false;
    }

    ComPtr<IPersistFile> file;
    hr_ = task->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(file.put()));
    if (FAILED(hr_)) {
        fwprintf(stderr, L"Failed calling QueryInterface, error = 0x%x\n", static_cast<unsigned>(hr_));
        return false;
    }
    hr_ = file->Save(nullptr, TRUE);
    if (FAILED(hr_)) {
        fwprintf(stderr, L"Failed calling Save, error = 0x%x\n", static_cast<unsigned>(hr_));
        return false;
    }
    return true;
}

void Scheduler::AddTrigger(const std::wstring& name, const TASK_TRIGGER* trigger) {
    if (!trigger) return;
    ComSession com;
    if (!com.ok()) return;
    ComPtr<ITaskScheduler> scheduler;
    hr_ = CreateTaskScheduler(scheduler.put());
    if (FAILED(hr_) || !scheduler) return;
    ComPtr<ITask> task;
    hr_ = OpenTask(scheduler.get(), name, task);
    if (FAILED(hr_)) {
        wprintf(L"Failed calling ITaskScheduler::Activate: ");
        wprintf(L"error = 0x%x\n", static_cast<unsigned>(hr_));
        return;
    }
    WORD index = 0;
    ComPtr<ITaskTrigger> taskTrigger;
    hr_ = task->CreateTrigger(&index, taskTrigger.put());
    if (FAILED(hr_)) {
        wprintf(L"Failed calling ITask::CreatTrigger: ");
        wprintf(L"error = 0x%x\n", static_cast<unsigned>(hr_));
        return;
    }
    TASK_TRIGGER copy = *trigger;
    hr_ = taskTrigger->SetTrigger(&copy);
    if (FAILED(hr_)) {
        wprintf(L"Failed calling ITaskTrigger::SetTrigger: ");
        wprintf(L"error = 0x%x\n", static_cast<unsigned>(hr_));
        return;
    }
    hr_ = SaveTask(task.get());
    if (FAILED(hr_)) return;
    wprintf(L"The trigger was created and IPersistFile::Save was \n");
    wprintf(L"called to save the new trigger to disk.\n");
}

void Scheduler::SetTaskParameters(const std::wstring& name, const std::wstring& parameters) {
    if (!IsTaskPresent(name)) return;
    ComSession com;
    if (!com.ok()) return;
    ComPtr<ITaskScheduler> scheduler;
    hr_ = CreateTaskScheduler(scheduler.put());
    if (FAILED(hr_) || !scheduler) return;
    ComPtr<ITask> task;
    hr_ = OpenTask(scheduler.get(), name, task);
    if (FAILED(hr_)) return;
    hr_ = task->SetParameters(parameters.c_str());
    if (FAILED(hr_)) return;
    hr_ = SaveTask(task.get());
}

bool Scheduler::RemoveTask(const std::wstring& name) {
    ComSession com;
    if (!com.ok()) return false;
    ComPtr<ITaskScheduler> scheduler;
    hr_ = CreateTaskScheduler(scheduler.put());
    if (FAILED(hr_) || !scheduler) return false;
    hr_ = scheduler->Delete(name.c_str());
    return hr_ == S_OK;
}

}  // namespace zyr::schedule
