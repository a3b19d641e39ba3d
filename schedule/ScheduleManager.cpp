// CScheduleManager over the Task Scheduler 1.0 interfaces.
#include "schedule/ScheduleManager.h"

#include "framework/ComPtr.h"
#include "schedule/AccessRights.h"
#include "schedule/TaskSchedulerFactory.h"

#include <rpc.h>
#include <shlobj.h>

namespace zyr::schedule {
namespace {

using fw::ComPtr;
using fw::CoTaskString;

constexpr wchar_t kScheduleTag[] = L"_sch_";

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// `name` without its extension is the prefix itself, or starts with prefix + "_sch_".
bool IsManagedName(const std::wstring& name, const std::wstring& prefix) {
    size_t dot = name.find_last_of(L'.');
    std::wstring base = dot == std::wstring::npos ? name : name.substr(0, dot);
    if (EqualNoCase(base, prefix)) return true;
    std::wstring tagged = prefix + kScheduleTag;
    return base.size() >= tagged.size() && EqualNoCase(base.substr(0, tagged.size()), tagged);
}

std::wstring Read(ITask* task, HRESULT (STDMETHODCALLTYPE ITask::*getter)(LPWSTR*)) {
    CoTaskString text;
    if (FAILED((task->*getter)(text.put())) || !text) return {};
    return text.get();
}

TASK_TRIGGER EmptyTrigger() {
    TASK_TRIGGER trigger = {};
    trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
    return trigger;
}

}  // namespace

static_assert(sizeof(TASK_TRIGGER) == 48, "TASK_TRIGGER is 48 bytes");

std::wstring JobFilePath(const std::wstring& name) {
    wchar_t windows[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, 0, windows);
    return std::wstring(windows) + L"\\Tasks\\" + name + L".job";
}

CScheduleManager::~CScheduleManager() {
    if (scheduler) scheduler->Release();
}

void CScheduleManager::LoadTasks(std::wstring user, std::wstring domain, std::wstring namePrefix) {
    userName = std::move(user);
    domainName = std::move(domain);
    prefix = std::move(namePrefix);

    if (scheduler) {
        scheduler->Release();
        scheduler = nullptr;
    }
    if (FAILED(CreateTaskScheduler(&scheduler)) || !scheduler) {
        scheduler = nullptr;
        return;
    }
    ComPtr<IEnumWorkItems> items;
    if (FAILED(scheduler->Enum(items.put())) || !items) return;

    const std::wstring account = AccountName();
    for (;;) {
        LPWSTR* fetched = nullptr;
        ULONG count = 0;
        if (items->Next(1, &fetched, &count) != S_OK || count == 0 || !fetched) {
            if (fetched) CoTaskMemFree(fetched);
            break;
        }
        std::wstring name = fetched[0] ? fetched[0] : L"";
        CoTaskMemFree(fetched[0]);
        CoTaskMemFree(fetched);

        if (name.empty() || !IsManagedName(name, prefix)) continue;
        ComPtr<ITask> task;
        if (FAILED(scheduler->Activate(name.c_str(), kIidTask, task.putUnknown())) || !task) continue;
        CoTaskString taskAccount;
        if (FAILED(task->GetAccountInformation(taskAccount.put())) || !taskAccount) continue;
        if (EqualNoCase(taskAccount.get(), account)) names.push_back(name);
    }
}

void CScheduleManager::ClearList() { names.clear(); }

int CScheduleManager::GetCount() { return static_cast<int>(names.size()); }

bool CScheduleManager::IsValidIndex(int index) const {
    return index >= 0 && static_cast<size_t>(index) < names.size();
}

HRESULT CScheduleManager::OpenTask(int index, ITask** task) {
    return scheduler->Activate(names[static_cast<size_t>(index)].c_str(), kIidTask,
                               reinterpret_cast<IUnknown**>(task));
}

int CScheduleManager::GetTriggerText(int index, std::wstring& text) {
    if (!scheduler || !IsValidIndex(index)) return -1;
    ComPtr<ITask> task;
    if (FAILED(OpenTask(index, task.put())) || !task) return -1;
    CoTaskString sentence;
    if (SUCCEEDED(task->GetTriggerString(0, sentence.put())) && sentence) text = sentence.get();
    return 0;
}

int CScheduleManager::GetTrigger(int index, TASK_TRIGGER& trigger) {
    if (!scheduler || !IsValidIndex(index)) return -1;
    ComPtr<ITask> task;
    if (FAILED(OpenTask(index, task.put())) || !task) return -1;
    ComPtr<ITaskTrigger> first;
    if (FAILED(task->GetTrigger(0, first.put())) || !first) return -1;
    TASK_TRIGGER read = EmptyTrigger();
    if (FAILED(first->GetTrigger(&read))) return -1;
    trigger = read;
    return 0;
}

int CScheduleManager::GetTask(int index, ScheduleItemStruct* item) {
    if (!item || !scheduler || !IsValidIndex(index)) return -1;
    ComPtr<ITask> task;
    if (FAILED(OpenTask(index, task.put())) || !task) return -1;
    ComPtr<ITaskTrigger> first;
    if (FAILED(task->GetTrigger(0, first.put())) || !first) return -1;
    TASK_TRIGGER trigger = EmptyTrigger();
    if (FAILED(first->GetTrigger(&trigger))) return -1;

    item->workingDirectory = Read(task.get(), &ITask::GetWorkingDirectory);
    item->application = Read(task.get(), &ITask::GetApplicationName);
    item->parameters = Read(task.get(), &ITask::GetParameters);
    item->hour = trigger.wStartHour;
    item->minute = trigger.wStartMinute;
    if (trigger.TriggerType == TASK_TIME_TRIGGER_DAILY)
        item->days = 0x7F;
    else if (trigger.TriggerType == TASK_TIME_TRIGGER_WEEKLY)
        item->days = trigger.Type.Weekly.rgfDaysOfTheWeek;
    return 0;
}

std::wstring CScheduleManager::MakeTaskName() const {
    UUID id = {};
    UuidCreateSequential(&id);
    wchar_t text[64] = {};
    int length = StringFromGUID2(id, text, 64);  // "{8-4-4-4-12}" and its terminating zero
    std::wstring braced = length > 2 ? std::wstring(text, static_cast<size_t>(length - 1)) : L"{}";
    return prefix + kScheduleTag + braced.substr(1, braced.size() - 2);
}

int CScheduleManager::CreateWorkItem(const std::wstring& name, const ScheduleItemStruct& item) {
    ComPtr<ITask> task;
    if (FAILED(scheduler->NewWorkItem(name.c_str(), kClsidTask, kIidTask, task.putUnknown())) || !task) return -1;
    const std::wstring account = AccountName();
    if (FAILED(task->SetApplicationName(item.application.c_str())) ||
        FAILED(task->SetWorkingDirectory(item.workingDirectory.c_str())) ||
        FAILED(task->SetParameters(item.parameters.c_str())) ||
        FAILED(task->SetFlags(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON)) ||
        FAILED(task->SetAccountInformation(account.c_str(), nullptr)))
        return -1;

    WORD triggerIndex = 0;
    ComPtr<ITaskTrigger> trigger;
    if (SUCCEEDED(task->CreateTrigger(&triggerIndex, trigger.put())) && trigger) {
        SYSTEMTIME today = {};
        GetLocalTime(&today);
        TASK_TRIGGER weekly = EmptyTrigger();
        weekly.wBeginYear = today.wYear;
        weekly.wBeginMonth = today.wMonth;
        weekly.wBeginDay = today.wDay;
        weekly.wStartHour = static_cast<WORD>(item.hour);
        weekly.wStartMinute = static_cast<WORD>(item.minute);
        weekly.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
        weekly.Type.Weekly.WeeksInterval = 1;
        weekly.Type.Weekly.rgfDaysOfTheWeek = static_cast<WORD>(item.days);
        trigger->SetTrigger(&weekly);
    }

    ComPtr<IPersistFile> file;
    if (FAILED(task->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(file.put()))) || !file) return -1;
    if (FAILED(file->Save(nullptr, TRUE))) return -1;

    if (AddAccessRights(account, JobFilePath(name)))
        OutputDebugStringW(L"AddAccessRights() succeeded.\n");
    else
        OutputDebugStringW(L"AddAccessRights() failed.\n");
    return 0;
}

int CScheduleManager::AddTask(const ScheduleItemStruct& item) {
    if (!scheduler) return -1;
    std::wstring name = MakeTaskName();
    int result = CreateWorkItem(name, item);
    if (result == 0) names.push_back(std::move(name));
    return result;
}

int CScheduleManager::UpdateTask(int index, const ScheduleItemStruct& item) {
    if (!scheduler || !IsValidIndex(index)) return -1;
    ComPtr<ITask> task;
    if (FAILED(OpenTask(index, task.put())) || !task) return -1;
    ComPtr<ITaskTrigger> first;
    if (FAILED(task->GetTrigger(0, first.put())) || !first) return -1;
    ComPtr<IPersistFile> file;
    if (FAILED(task->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(file.put()))) || !file) return -1;

    // The other members, the interval included, keep their values: a daily trigger's day
    // interval becomes the weeks interval.
    TASK_TRIGGER trigger = EmptyTrigger();
    if (FAILED(first->GetTrigger(&trigger))) return -1;
    trigger.wStartHour = static_cast<WORD>(item.hour);
    trigger.wStartMinute = static_cast<WORD>(item.minute);
    trigger.Type.Weekly.rgfDaysOfTheWeek = static_cast<WORD>(item.days);
    trigger.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
    // Nothing is saved when a change is refused, so a failure never reads as success.
    if (FAILED(first->SetTrigger(&trigger)) || FAILED(task->SetApplicationName(item.application.c_str())) ||
        FAILED(task->SetWorkingDirectory(item.workingDirectory.c_str())) ||
        FAILED(task->SetParameters(item.parameters.c_str())))
        return -1;
    return FAILED(file->Save(nullptr, TRUE)) ? -1 : 0;
}

int CScheduleManager::DeleteTask(int index) {
    if (!scheduler || !IsValidIndex(index)) return -1;
    if (scheduler->Delete(names[static_cast<size_t>(index)].c_str()) != S_OK) return -1;
    names.erase(names.begin() + index);
    return 0;
}

}  // namespace zyr::schedule
