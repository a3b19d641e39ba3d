// The in-process Task Scheduler double: scheduler, tasks, triggers, enumeration, persistence.
#include "tests/schedule/FakeTaskScheduler.h"

#include <algorithm>
#include <cwchar>

namespace zyr::schedule::testing {
namespace {

constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
constexpr HRESULT kExists = HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
constexpr HRESULT kAccountNotSet = static_cast<HRESULT>(0x8004130F);  // SCHED_E_ACCOUNT_INFORMATION_NOT_SET
constexpr HRESULT kTriggerNotFound = static_cast<HRESULT>(0x80041309);  // SCHED_E_TRIGGER_NOT_FOUND
constexpr IID kIidTaskTrigger = {0x148BD52B, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
constexpr IID kIidScheduledWorkItem = {0xa6b952f0, 0xa4b1, 0x11d0, {0x99, 0x7d, 0x00, 0xaa, 0x00, 0x68, 0x87, 0xec}};
constexpr IID kIidEnumWorkItems = {0x148BD528, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
constexpr IID kIidPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring WithoutJob(const std::wstring& name) {
    if (name.size() > 4 && CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".job", 4, TRUE) == CSTR_EQUAL)
        return name.substr(0, name.size() - 4);
    return name;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

LPWSTR CoCopy(const std::wstring& text) {
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy) wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

HRESULT GiveString(const std::wstring& text, LPWSTR* out) {
    if (!out) return E_POINTER;
    *out = CoCopy(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Reference counting shared by the objects below.
template <class Self>
class RefCounted {
public:
    ULONG AddRefImpl() { return ++refs_; }
    ULONG ReleaseImpl() {
        ULONG left = --refs_;
        if (left == 0) delete static_cast<Self*>(this);
        return left;
    }

private:
    ULONG refs_ = 1;
};

class FakeTask;

class FakeTrigger final : public ITaskTrigger, public RefCounted<FakeTrigger> {
public:
    FakeTrigger(FakeTask* task, WORD index);
    ~FakeTrigger();
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == kIidTaskTrigger) {
            *out = static_cast<ITaskTrigger*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return AddRefImpl(); }
    ULONG WINAPI Release() override { return ReleaseImpl(); }
    HRESULT WINAPI SetTrigger(const PTASK_TRIGGER trigger) override;
    HRESULT WINAPI GetTrigger(PTASK_TRIGGER trigger) override;
    HRESULT WINAPI GetTriggerString(LPWSTR* text) override;

private:
    FakeTask* task_;
    WORD index_;
};

// A work item: the job as the caller edits it; Save writes it to the service.
class FakeTask final : public ITask, public IPersistFile, public RefCounted<FakeTask> {
public:
    FakeTask(FakeTaskService& service, FakeJob job) : service(service), job(std::move(job)) {}

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        ++service.calls;
        if (iid == IID_IUnknown || iid == kIidTask || iid == kIidScheduledWorkItem) {
            *out = static_cast<ITask*>(this);
        } else if (iid == kIidPersistFile || iid == kIidPersist) {
            *out = static_cast<IPersistFile*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return AddRefImpl(); }
    ULONG WINAPI Release() override { return ReleaseImpl(); }

    // IScheduledWorkItem
    HRESULT WINAPI CreateTrigger(WORD* index, ITaskTrigger** trigger) override {
        ++service.calls;
        if (!index || !trigger) return E_POINTER;
        SYSTEMTIME now;
        GetLocalTime(&now);
        TASK_TRIGGER fresh = {};
        fresh.cbTriggerSize = sizeof(TASK_TRIGGER);
        fresh.wBeginYear = now.wYear;
        fresh.wBeginMonth = now.wMonth;
        fresh.wBeginDay = now.wDay;
        fresh.TriggerType = TASK_TIME_TRIGGER_ONCE;
        job.triggers.push_back(fresh);
        *index = static_cast<WORD>(job.triggers.size() - 1);
        *trigger = new FakeTrigger(this, *index);
        return S_OK;
    }
    HRESULT WINAPI DeleteTrigger(WORD index) override {
        ++service.calls;
        if (index >= job.triggers.size()) return kTriggerNotFound;
        job.triggers.erase(job.triggers.begin() + index);
        return S_OK;
    }
    HRESULT WINAPI GetTriggerCount(WORD* count) override {
        ++service.calls;
        if (!count) return E_POINTER;
        *count = static_cast<WORD>(job.triggers.size());
        return S_OK;
    }
    HRESULT WINAPI GetTrigger(WORD index, ITaskTrigger** trigger) override {
        ++service.calls;
        if (!trigger) return E_POINTER;
        *trigger = nullptr;
        if (index >= job.triggers.size()) return kTriggerNotFound;
        *trigger = new FakeTrigger(this, index);
        return S_OK;
    }
    HRESULT WINAPI GetTriggerString(WORD index, LPWSTR* text) override {
        ++service.calls;
        if (!text) return E_POINTER;
        *text = nullptr;
        if (!service.giveTriggerText) return E_NOTIMPL;
        if (index >= job.triggers.size()) return kTriggerNotFound;
        return GiveString(WindowsTriggerSentence(job.triggers[index]), text);
    }
    HRESULT WINAPI GetRunTimes(const LPSYSTEMTIME, const LPSYSTEMTIME, WORD*, LPSYSTEMTIME*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetNextRunTime(SYSTEMTIME*) override { return E_NOTIMPL; }
    HRESULT WINAPI SetIdleWait(WORD, WORD) override { return E_NOTIMPL; }
    HRESULT WINAPI GetIdleWait(WORD*, WORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI Run() override { return E_NOTIMPL; }
    HRESULT WINAPI Terminate() override { return E_NOTIMPL; }
    HRESULT WINAPI EditWorkItem(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI GetMostRecentRunTime(SYSTEMTIME*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetStatus(HRESULT*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetExitCode(DWORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI SetComment(LPCWSTR text) override { return SetString(job.comment, text); }
    HRESULT WINAPI GetComment(LPWSTR* text) override { return GetString(job.comment, text); }
    HRESULT WINAPI SetCreator(LPCWSTR) override { return S_OK; }
    HRESULT WINAPI GetCreator(LPWSTR* text) override { return GetString(L"", text); }
    HRESULT WINAPI SetWorkItemData(WORD, BYTE[]) override { return E_NOTIMPL; }
    HRESULT WINAPI GetWorkItemData(WORD*, BYTE**) override { return E_NOTIMPL; }
    HRESULT WINAPI SetErrorRetryCount(WORD) override { return E_NOTIMPL; }
    HRESULT WINAPI GetErrorRetryCount(WORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI SetErrorRetryInterval(WORD) override { return E_NOTIMPL; }
    HRESULT WINAPI GetErrorRetryInterval(WORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI SetFlags(DWORD flags) override {
        ++service.calls;
        job.flags = flags;
        return S_OK;
    }
    HRESULT WINAPI GetFlags(DWORD* flags) override {
        ++service.calls;
        if (!flags) return E_POINTER;
        *flags = job.flags;
        return S_OK;
    }
    HRESULT WINAPI SetAccountInformation(LPCWSTR account, LPCWSTR password) override {
        ++service.calls;
        if (!account) return E_INVALIDARG;
        job.account = account;
        job.hasAccount = true;
        return S_OK;
    }
    HRESULT WINAPI GetAccountInformation(LPWSTR* account) override {
        ++service.calls;
        if (!account) return E_POINTER;
        *account = nullptr;
        for (const std::wstring& name : service.unreadableAccounts)
            if (SameName(name, job.name)) return E_ACCESSDENIED;
        if (!job.hasAccount) return kAccountNotSet;
        return GiveString(job.account, account);
    }

    // ITask
    HRESULT WINAPI SetApplicationName(LPCWSTR text) override { return SetString(job.application, text); }
    HRESULT WINAPI GetApplicationName(LPWSTR* text) override { return GetString(job.application, text); }
    HRESULT WINAPI SetParameters(LPCWSTR text) override { return SetString(job.parameters, text); }
    HRESULT WINAPI GetParameters(LPWSTR* text) override { return GetString(job.parameters, text); }
    HRESULT WINAPI SetWorkingDirectory(LPCWSTR text) override { return SetString(job.workingDirectory, text); }
    HRESULT WINAPI GetWorkingDirectory(LPWSTR* text) override { return GetString(job.workingDirectory, text); }
    HRESULT WINAPI SetPriority(DWORD) override { return S_OK; }
    HRESULT WINAPI GetPriority(DWORD* priority) override {
        if (priority) *priority = NORMAL_PRIORITY_CLASS;
        return S_OK;
    }
    HRESULT WINAPI SetTaskFlags(DWORD) override { return S_OK; }
    HRESULT WINAPI GetTaskFlags(DWORD* flags) override {
        if (flags) *flags = 0;
        return S_OK;
    }
    HRESULT WINAPI SetMaxRunTime(DWORD) override { return S_OK; }
    HRESULT WINAPI GetMaxRunTime(DWORD* ms) override {
        if (ms) *ms = 72 * 3600 * 1000;
        return S_OK;
    }

    // IPersistFile
    HRESULT WINAPI GetClassID(CLSID* id) override {
        if (!id) return E_POINTER;
        *id = kClsidTask;
        return S_OK;
    }
    HRESULT WINAPI IsDirty() override { return S_OK; }
    HRESULT WINAPI Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    HRESULT WINAPI Save(LPCOLESTR file, WINBOOL) override {
        ++service.calls;
        if (file) return E_INVALIDARG;  // the program always saves to the job's own file
        if (FAILED(service.saveResult)) return service.saveResult;
        service.Save(job);
        return S_OK;
    }
    HRESULT WINAPI SaveCompleted(LPCOLESTR) override { return S_OK; }
    HRESULT WINAPI GetCurFile(LPOLESTR* file) override { return GetString(job.name + L".job", file); }

    FakeTaskService& service;
    FakeJob job;

private:
    HRESULT SetString(std::wstring& field, LPCWSTR text) {
        ++service.calls;
        if (!text) return E_INVALIDARG;
        field = text;
        return S_OK;
    }
    HRESULT GetString(const std::wstring& field, LPWSTR* text) {
        ++service.calls;
        return GiveString(field, text);
    }
};

FakeTrigger::FakeTrigger(FakeTask* task, WORD index) : task_(task), index_(index) { task_->AddRef(); }
FakeTrigger::~FakeTrigger() { task_->Release(); }

HRESULT FakeTrigger::SetTrigger(const PTASK_TRIGGER trigger) {
    ++task_->service.calls;
    if (!trigger) return E_POINTER;
    if (FAILED(task_->service.setTriggerResult)) return task_->service.setTriggerResult;
    if (index_ >= task_->job.triggers.size()) return kTriggerNotFound;
    // What the service refuses: a wrong size, an impossible time, a weekly trigger without days.
    if (trigger->cbTriggerSize != sizeof(TASK_TRIGGER) || trigger->wStartHour > 23 || trigger->wStartMinute > 59)
        return E_INVALIDARG;
    if (trigger->TriggerType == TASK_TIME_TRIGGER_WEEKLY &&
        (trigger->Type.Weekly.rgfDaysOfTheWeek == 0 || trigger->Type.Weekly.rgfDaysOfTheWeek > 0x7F ||
         trigger->Type.Weekly.WeeksInterval == 0))
        return E_INVALIDARG;
    task_->job.triggers[index_] = *trigger;
    return S_OK;
}

HRESULT FakeTrigger::GetTrigger(PTASK_TRIGGER trigger) {
    ++task_->service.calls;
    if (!trigger) return E_POINTER;
    if (index_ >= task_->job.triggers.size()) return kTriggerNotFound;
    *trigger = task_->job.triggers[index_];
    return S_OK;
}

HRESULT FakeTrigger::GetTriggerString(LPWSTR* text) {
    ++task_->service.calls;
    if (!text) return E_POINTER;
    *text = nullptr;
    if (!task_->service.giveTriggerText) return E_NOTIMPL;
    if (index_ >= task_->job.triggers.size()) return kTriggerNotFound;
    return GiveString(WindowsTriggerSentence(task_->job.triggers[index_]), text);
}

class FakeEnum final : public IEnumWorkItems, public RefCounted<FakeEnum> {
public:
    FakeEnum(FakeTaskService& service, std::vector<std::wstring> names) : service_(service), names_(std::move(names)) {}
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == kIidEnumWorkItems) {
            *out = static_cast<IEnumWorkItems*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return AddRefImpl(); }
    ULONG WINAPI Release() override { return ReleaseImpl(); }
    HRESULT WINAPI Next(ULONG wanted, LPWSTR** names, ULONG* fetched) override {
        ++service_.calls;
        if (!names || wanted == 0 || (wanted > 1 && !fetched)) return E_INVALIDARG;
        *names = nullptr;
        ULONG n = static_cast<ULONG>(std::min<size_t>(wanted, names_.size() - next_));
        if (fetched) *fetched = n;
        if (n == 0) return S_FALSE;
        auto* array = static_cast<LPWSTR*>(CoTaskMemAlloc(n * sizeof(LPWSTR)));
        for (ULONG i = 0; i < n; ++i) array[i] = CoCopy(names_[next_++]);
        *names = array;
        return n == wanted ? S_OK : S_FALSE;
    }
    HRESULT WINAPI Skip(ULONG count) override {
        next_ = std::min(names_.size(), next_ + count);
        return S_OK;
    }
    HRESULT WINAPI Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT WINAPI Clone(IEnumWorkItems**) override { return E_NOTIMPL; }

private:
    FakeTaskService& service_;
    std::vector<std::wstring> names_;
    size_t next_ = 0;
};

class FakeScheduler final : public ITaskScheduler, public RefCounted<FakeScheduler> {
public:
    explicit FakeScheduler(FakeTaskService& service) : service_(service) {}
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == kIidTaskScheduler) {
            *out = static_cast<ITaskScheduler*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return AddRefImpl(); }
    ULONG WINAPI Release() override { return ReleaseImpl(); }
    HRESULT WINAPI SetTargetComputer(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI GetTargetComputer(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT WINAPI Enum(IEnumWorkItems** items) override {
        ++service_.calls;
        if (!items) return E_POINTER;
        std::vector<std::wstring> names;
        for (const FakeJob& job : service_.jobs) names.push_back(job.name + L".job");
        *items = new FakeEnum(service_, std::move(names));
        return S_OK;
    }
    HRESULT WINAPI Activate(LPCWSTR name, REFIID iid, IUnknown** task) override {
        ++service_.calls;
        if (!name || !task) return E_POINTER;
        *task = nullptr;
        if (iid != kIidTask) return E_NOINTERFACE;
        const FakeJob* job = service_.Find(name);
        if (!job) return kNotFound;
        *task = static_cast<ITask*>(new FakeTask(service_, *job));
        return S_OK;
    }
    HRESULT WINAPI Delete(LPCWSTR name) override {
        ++service_.calls;
        if (!name) return E_POINTER;
        service_.deleted.push_back(name);
        if (FAILED(service_.deleteResult)) return service_.deleteResult;
        std::wstring key = WithoutJob(name);
        auto it = std::find_if(service_.jobs.begin(), service_.jobs.end(),
                               [&](const FakeJob& job) { return SameName(job.name, key); });
        if (it == service_.jobs.end()) return kNotFound;
        service_.jobs.erase(it);
        return S_OK;
    }
    HRESULT WINAPI NewWorkItem(LPCWSTR name, REFCLSID clsid, REFIID iid, IUnknown** task) override {
        ++service_.calls;
        if (!name || !task) return E_POINTER;
        *task = nullptr;
        if (FAILED(service_.newWorkItemResult)) return service_.newWorkItemResult;
        if (clsid != kClsidTask) return CLASS_E_CLASSNOTAVAILABLE;
        if (iid != kIidTask) return E_NOINTERFACE;
        if (service_.Find(name)) return kExists;
        FakeJob job;
        job.name = WithoutJob(name);
        *task = static_cast<ITask*>(new FakeTask(service_, std::move(job)));
        return S_OK;
    }
    HRESULT WINAPI AddWorkItem(LPCWSTR, IScheduledWorkItem*) override { return E_NOTIMPL; }
    HRESULT WINAPI IsOfType(LPCWSTR, REFIID) override { return E_NOTIMPL; }

private:
    FakeTaskService& service_;
};

std::wstring TimeText(const TASK_TRIGGER& t) {
    int hour12 = t.wStartHour % 12 == 0 ? 12 : t.wStartHour % 12;
    wchar_t text[32];
    swprintf(text, 32, L"At %d:%02d %ls", hour12, t.wStartMinute, t.wStartHour < 12 ? L"AM" : L"PM");
    return text;
}

std::wstring DayNames(WORD days) {
    static const wchar_t* const kNames[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    std::wstring text;
    for (int i = 0; i < 7; ++i) {
        if (!(days & (1 << i))) continue;
        if (!text.empty()) text += L", ";
        text += kNames[i];
    }
    return text;
}

}  // namespace

TaskSchedulerFactory FakeTaskService::Factory() {
    return [this](ITaskScheduler** scheduler) -> HRESULT {
        if (FAILED(createResult)) return createResult;
        *scheduler = new FakeScheduler(*this);
        return S_OK;
    };
}

FakeJob* FakeTaskService::Find(const std::wstring& name) {
    std::wstring key = WithoutJob(name);
    for (FakeJob& job : jobs)
        if (SameName(job.name, key)) return &job;
    return nullptr;
}

FakeJob& FakeTaskService::AddJob(const std::wstring& name, const std::wstring& account, const TASK_TRIGGER& trigger) {
    FakeJob job;
    job.name = name;
    job.account = account;
    job.hasAccount = true;
    job.application = L"C:\\Program Files\\Other\\other.exe";
    job.triggers.push_back(trigger);
    Save(job);
    return *Find(name);
}

void FakeTaskService::Save(const FakeJob& job) {
    if (FakeJob* existing = Find(job.name))
        *existing = job;
    else
        jobs.push_back(job);
}

TASK_TRIGGER WeeklyTrigger(WORD days, WORD hour, WORD minute) {
    TASK_TRIGGER t = {};
    t.cbTriggerSize = sizeof(TASK_TRIGGER);
    t.wBeginYear = 2026;
    t.wBeginMonth = 1;
    t.wBeginDay = 5;
    t.wStartHour = hour;
    t.wStartMinute = minute;
    t.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
    t.Type.Weekly.WeeksInterval = 1;
    t.Type.Weekly.rgfDaysOfTheWeek = days;
    return t;
}

TASK_TRIGGER DailyTrigger(WORD interval, WORD hour, WORD minute) {
    TASK_TRIGGER t = WeeklyTrigger(0, hour, minute);
    t.TriggerType = TASK_TIME_TRIGGER_DAILY;
    t.Type.Daily.DaysInterval = interval;
    return t;
}

std::wstring WindowsTriggerSentence(const TASK_TRIGGER& t) {
    wchar_t start[48];
    swprintf(start, 48, L", starting %d/%d/%d", t.wBeginMonth, t.wBeginDay, t.wBeginYear);
    switch (t.TriggerType) {
    case TASK_TIME_TRIGGER_DAILY:
        return TimeText(t) + L" every day" + start;
    case TASK_TIME_TRIGGER_WEEKLY:
        return TimeText(t) + L" every " + DayNames(t.Type.Weekly.rgfDaysOfTheWeek) + L" of every week" + start;
    case TASK_EVENT_TRIGGER_AT_LOGON:
        return L"Run at user logon";
    default:
        return TimeText(t) + start;
    }
}

}  // namespace zyr::schedule::testing
