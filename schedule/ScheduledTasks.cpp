// The scan, defrag and logon tasks of the command-line switches, and their removal.
#include "schedule/ScheduledTasks.h"

#include "app/ProductConfiguration.h"
#include "app/SettingsValues.h"
#include "resources/ids/schedule_ids.h"
#include "schedule/AccessRights.h"
#include "schedule/ScheduleManager.h"
#include "schedule/Scheduler.h"

#include <cstdlib>
#include <string>

namespace zyr::schedule {
namespace {

struct DayRow {
    WORD defrag;
    WORD scan;
};
// Indexed by the third draw modulo 3.
constexpr DayRow kDayTable[3] = {
    {TASK_FRIDAY, TASK_SUNDAY | TASK_WEDNESDAY},
    {TASK_WEDNESDAY, TASK_MONDAY | TASK_FRIDAY},
    {TASK_THURSDAY, TASK_TUESDAY | TASK_SATURDAY},
};

// A task of this program made once: created, given its trigger and its command line.
void AddTaskOnce(const std::wstring& name, const TASK_TRIGGER& trigger, const std::wstring& parameters) {
    Scheduler scheduler;
    if (scheduler.IsTaskPresent(name)) return;
    if (SUCCEEDED(CoInitialize(nullptr))) scheduler.CreateTask(name, ProgramFolder() + L"\\", name);
    scheduler.AddTrigger(name, &trigger);
    scheduler.SetTaskParameters(name, parameters);
}

// Deletes every managed task of one prefix for the account.
void RemoveManagedTasks(const std::wstring& user, const std::wstring& domain, const std::wstring& prefix) {
    CScheduleManager manager;
    manager.LoadTasks(user, domain, prefix);
    for (int i = 0, n = manager.GetCount(); i < n; ++i) manager.DeleteTask(0);
}

// The manager needs COM on the calling thread; the switches run before any window.
class ThreadCom {
public:
    ThreadCom() : hr_(CoInitialize(nullptr)) {}
    ~ThreadCom() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

}  // namespace

ScanAndDefragTriggers MakeScanAndDefragTriggers(const std::function<int()>& nextRandom, const SYSTEMTIME& today) {
    TASK_TRIGGER trigger = {};
    trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
    trigger.wBeginYear = today.wYear;
    trigger.wBeginMonth = today.wMonth;
    trigger.wBeginDay = today.wDay;
    trigger.wStartHour = static_cast<WORD>(nextRandom() % 4 + 1);
    trigger.wStartMinute = static_cast<WORD>(nextRandom() % 59);
    trigger.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
    trigger.Type.Weekly.WeeksInterval = 1;
    const DayRow& row = kDayTable[nextRandom() % 3];

    ScanAndDefragTriggers triggers{trigger, trigger};
    triggers.scan.Type.Weekly.rgfDaysOfTheWeek = row.scan;
    triggers.defrag.Type.Weekly.rgfDaysOfTheWeek = row.defrag;
    return triggers;
}

void AddScanAndDefragTasks(const std::function<int()>& nextRandom) {
    SYSTEMTIME today = {};
    GetLocalTime(&today);
    ScanAndDefragTriggers triggers = MakeScanAndDefragTriggers(nextRandom, today);
    const std::wstring product = config::AppName();
    if (product.empty()) return;  // without a product name there is no task name
    AddTaskOnce(product, triggers.scan, L"-scan");
    AddTaskOnce(product + L" Defrag", triggers.defrag, L"-defrag");
}

void AddScanAndDefragTasks() {
    srand(GetTickCount());
    AddScanAndDefragTasks([] { return rand(); });
}

namespace {

// Creates or removes the logon task; true when it is then present for `launch`, absent otherwise.
bool ApplyLogonTask(const std::wstring& name, bool launch) {
    Scheduler scheduler;
    if (!launch) {
        if (scheduler.IsTaskPresent(name)) scheduler.RemoveTask(name);
        return !scheduler.IsTaskPresent(name);
    }
    if (scheduler.IsTaskPresent(name)) return true;
    const std::wstring comment = config::LoadText(IDS_LOGON_TASK_COMMENT);
    if (SUCCEEDED(CoInitialize(nullptr))) scheduler.CreateTask(name, ProgramFolder(), comment);
    TASK_TRIGGER atLogon = {};
    atLogon.cbTriggerSize = sizeof(TASK_TRIGGER);
    atLogon.wBeginYear = 2006;
    atLogon.wBeginMonth = 1;
    atLogon.wBeginDay = 1;
    atLogon.TriggerType = TASK_EVENT_TRIGGER_AT_LOGON;
    scheduler.AddTrigger(name, &atLogon);
    return scheduler.IsTaskPresent(name);
}

}  // namespace

bool SetLaunchOnStartup(bool launch) {
    settings::Write(settings::LaunchOnStartup, launch ? 1 : 0);
    const std::wstring name = config::LoadText(IDS_LOGON_TASK_NAME);
    if (name.empty()) {
        // Without its name there is no logon task.
        settings::Write(settings::LaunchOnStartup, 0);
        return !launch;
    }
    if (ApplyLogonTask(name, launch)) return true;
    // The stored value says what happens at logon: the other one when the change failed.
    settings::Write(settings::LaunchOnStartup, launch ? 0 : 1);
    return false;
}

void RemoveTasksAtUninstall() {
    ThreadCom com;
    std::wstring user, domain;
    GetProcessAccount(user, domain);
    const std::wstring product = config::AppName();
    if (!product.empty()) {
        RemoveManagedTasks(user, domain, product);
        RemoveManagedTasks(user, domain, product + L" Defrag");
        Scheduler().RemoveTask(product + L" Defrag");
    }
    SetLaunchOnStartup(false);
    Scheduler scheduler;
    if (!product.empty() && scheduler.IsTaskPresent(product)) scheduler.RemoveTask(product);
}

}  // namespace zyr::schedule
