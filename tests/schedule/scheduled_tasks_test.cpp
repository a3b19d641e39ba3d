// The scan, defrag and logon tasks of the switches, and their removal, against the double.
#include "schedule/ScheduledTasks.h"

#include "app/SettingsValues.h"
#include "schedule/AccessRights.h"
#include "schedule/ScheduleManager.h"
#include "schedule/Scheduler.h"
#include "tests/schedule/FakeTaskScheduler.h"
#include "tests/schedule/ProgramEnvironment.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace zyr::schedule {
namespace {

using testing::FakeJob;
using testing::FakeTaskService;
using testing::WeeklyTrigger;

constexpr wchar_t kSettingsKey[] = L"ZyrTests\\ScheduledTasks";

// Hands out the given numbers in order.
std::function<int()> Draws(std::initializer_list<int> numbers) {
    auto values = std::make_shared<std::vector<int>>(numbers);
    auto next = std::make_shared<size_t>(0);
    return [values, next] { return (*values)[(*next)++ % values->size()]; };
}

std::wstring CurrentUserName() {
    wchar_t user[1000] = {};
    DWORD size = 1000;
    GetUserNameW(user, &size);
    return user;
}

class ScheduledTasksTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseBuiltProgram(kSettingsKey);
        SetTaskSchedulerFactory(service.Factory());
    }
    void TearDown() override {
        SetTaskSchedulerFactory(nullptr);
        testing::DeleteSettings(kSettingsKey);
    }

    FakeTaskService service;
};

TEST(ScanAndDefragTriggers, DrawsGiveTheTimeAndTheDaysOfTheTable) {
    struct Case {
        int hourDraw, minuteDraw, dayDraw;
        WORD hour, minute, defragDays, scanDays;
    };
    const Case cases[] = {
        {0, 0, 0, 1, 0, TASK_FRIDAY, TASK_SUNDAY | TASK_WEDNESDAY},
        {3, 58, 1, 4, 58, TASK_WEDNESDAY, TASK_MONDAY | TASK_FRIDAY},
        {6, 59, 2, 3, 0, TASK_THURSDAY, TASK_TUESDAY | TASK_SATURDAY},  // minute 59 is never drawn
        {32767, 117, 32767, 4, 58, TASK_WEDNESDAY, TASK_MONDAY | TASK_FRIDAY},
    };
    const SYSTEMTIME today = {2026, 12, 3, 9, 0, 0, 0, 0};
    for (const Case& c : cases) {
        ScanAndDefragTriggers t = MakeScanAndDefragTriggers(Draws({c.hourDraw, c.minuteDraw, c.dayDraw}), today);
        for (const TASK_TRIGGER* trigger : {&t.scan, &t.defrag}) {
            EXPECT_EQ(trigger->cbTriggerSize, 48);
            EXPECT_EQ(trigger->TriggerType, TASK_TIME_TRIGGER_WEEKLY);
            EXPECT_EQ(trigger->Type.Weekly.WeeksInterval, 1);
            EXPECT_EQ(trigger->wStartHour, c.hour);
            EXPECT_EQ(trigger->wStartMinute, c.minute);
            EXPECT_EQ(trigger->wBeginYear, 2026);
            EXPECT_EQ(trigger->wBeginMonth, 12);
            EXPECT_EQ(trigger->wBeginDay, 9);
            EXPECT_EQ(trigger->rgFlags, 0u);
        }
        EXPECT_EQ(t.defrag.Type.Weekly.rgfDaysOfTheWeek, c.defragDays) << c.dayDraw;
        EXPECT_EQ(t.scan.Type.Weekly.rgfDaysOfTheWeek, c.scanDays) << c.dayDraw;
    }
}

TEST_F(ScheduledTasksTest, AddTaskTwiceCreatesTheTwoTasksOnceWithTheFirstDraw) {
    AddScanAndDefragTasks(Draws({2, 30, 1}));  // 03:30, row 1
    AddScanAndDefragTasks(Draws({0, 5, 2}));   // would be 01:05, row 2

    ASSERT_EQ(service.jobs.size(), 2u);
    const std::wstring program = ProgramFolder() + L"\\ZyrDiskCare.exe";
    struct Expected {
        const wchar_t* name;
        const wchar_t* parameters;
        WORD days;
    };
    for (const Expected& e : {Expected{L"Zyr Disk Care", L"-scan", TASK_MONDAY | TASK_FRIDAY},
                              Expected{L"Zyr Disk Care Defrag", L"-defrag", TASK_WEDNESDAY}}) {
        const FakeJob* job = service.Find(e.name);
        ASSERT_NE(job, nullptr) << e.name;
        EXPECT_EQ(job->application, program);
        EXPECT_EQ(job->workingDirectory, ProgramFolder() + L"\\");
        EXPECT_EQ(job->parameters, e.parameters);
        EXPECT_EQ(job->comment, e.name);
        EXPECT_EQ(job->flags, static_cast<DWORD>(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON));
        EXPECT_EQ(job->account, CurrentUserName());
        ASSERT_EQ(job->triggers.size(), 1u) << e.name;
        EXPECT_EQ(job->triggers[0].TriggerType, TASK_TIME_TRIGGER_WEEKLY);
        EXPECT_EQ(job->triggers[0].Type.Weekly.rgfDaysOfTheWeek, e.days);
        EXPECT_EQ(job->triggers[0].wStartHour, 3);
        EXPECT_EQ(job->triggers[0].wStartMinute, 30);
    }
}

TEST_F(ScheduledTasksTest, LogonTaskComesAndGoesWithTheSetting) {
    ASSERT_TRUE(SetLaunchOnStartup(true));
    EXPECT_EQ(settings::Read(settings::LaunchOnStartup), 1);
    const FakeJob* job = service.Find(L"Zyr Disk Care at logon");
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->application, ProgramFolder() + L"\\ZyrDiskCare.exe");
    EXPECT_EQ(job->workingDirectory, ProgramFolder());
    EXPECT_EQ(job->parameters, L"");
    EXPECT_EQ(job->comment, L"Starts Zyr Disk Care when you log on.");
    ASSERT_EQ(job->triggers.size(), 1u);
    const TASK_TRIGGER& t = job->triggers[0];
    EXPECT_EQ(t.TriggerType, TASK_EVENT_TRIGGER_AT_LOGON);
    EXPECT_EQ(t.wBeginYear, 2006);
    EXPECT_EQ(t.wBeginMonth, 1);
    EXPECT_EQ(t.wBeginDay, 1);
    EXPECT_EQ(t.wStartHour, 0);

    // Enabling again changes nothing.
    ASSERT_TRUE(SetLaunchOnStartup(true));
    EXPECT_EQ(service.Find(L"Zyr Disk Care at logon")->triggers.size(), 1u);

    ASSERT_TRUE(SetLaunchOnStartup(false));
    EXPECT_EQ(settings::Read(settings::LaunchOnStartup), 0);
    EXPECT_EQ(service.Find(L"Zyr Disk Care at logon"), nullptr);
    EXPECT_TRUE(SetLaunchOnStartup(false));
}

TEST_F(ScheduledTasksTest, UninstallLeavesNoTaskOfTheProgramForThisAccount) {
    std::wstring user, domain;
    ASSERT_TRUE(GetProcessAccount(user, domain));
    const std::wstring account = domain + L"\\" + user;

    AddScanAndDefragTasks(Draws({1, 2, 0}));
    ASSERT_TRUE(SetLaunchOnStartup(true));
    CScheduleManager page;
    page.LoadTasks(user, domain, L"Zyr Disk Care Defrag");
    ScheduleItemStruct item;
    item.days = TASK_MONDAY;
    item.hour = 2;
    item.application = L"C:\\Zyr\\ZyrDiskCare.exe";
    item.parameters = L"-defrag";
    ASSERT_EQ(page.AddTask(item), 0);
    ASSERT_EQ(page.AddTask(item), 0);
    service.AddJob(L"Zyr Disk Care_sch_old", account, WeeklyTrigger(0x2, 1, 0));
    service.AddJob(L"Zyr Disk Care Defrag_sch_someone", L"HOST\\someone", WeeklyTrigger(0x2, 1, 0));
    service.AddJob(L"Backup Tool", account, WeeklyTrigger(0x2, 1, 0));
    ASSERT_EQ(service.jobs.size(), 8u);

    RemoveTasksAtUninstall();

    std::vector<std::wstring> left;
    for (const FakeJob& job : service.jobs) left.push_back(job.name);
    EXPECT_EQ(left, (std::vector<std::wstring>{L"Zyr Disk Care Defrag_sch_someone", L"Backup Tool"}));
    EXPECT_EQ(settings::Read(settings::LaunchOnStartup), 0);
}

TEST_F(ScheduledTasksTest, WithoutTheServiceTheSwitchesDoNothingAndEnd) {
    service.createResult = REGDB_E_CLASSNOTREG;
    AddScanAndDefragTasks(Draws({1, 2, 0}));
    EXPECT_FALSE(SetLaunchOnStartup(true));
    EXPECT_EQ(settings::Read(settings::LaunchOnStartup), 0);  // nothing starts at logon
    RemoveTasksAtUninstall();
    EXPECT_EQ(settings::Read(settings::LaunchOnStartup), 0);
    EXPECT_TRUE(service.jobs.empty());
}

}  // namespace
}  // namespace zyr::schedule
