// CScheduleManager against the in-process Task Scheduler double.
#include "schedule/ScheduleManager.h"

#include "tests/schedule/FakeTaskScheduler.h"

#include <gtest/gtest.h>

#include <regex>

namespace zyr::schedule {
namespace {

using testing::DailyTrigger;
using testing::FakeTaskService;
using testing::WeeklyTrigger;
using testing::WindowsTriggerSentence;

constexpr wchar_t kPrefix[] = L"Zyr Disk Care Defrag";
constexpr wchar_t kAccount[] = L"HOST\\alice";

class ScheduleManagerTest : public ::testing::Test {
protected:
    void SetUp() override { SetTaskSchedulerFactory(service.Factory()); }
    void TearDown() override { SetTaskSchedulerFactory(nullptr); }

    void Load() { manager.LoadTasks(L"alice", L"HOST", kPrefix); }

    static ScheduleItemStruct Item(int days, int hour, int minute) {
        ScheduleItemStruct item;
        item.days = days;
        item.hour = hour;
        item.minute = minute;
        item.application = L"C:\\Program Files\\Zyr\\ZyrDiskCare.exe";
        item.workingDirectory = L"C:\\Program Files\\Zyr\\";
        item.parameters = L"-defrag";
        return item;
    }

    FakeTaskService service;
    CScheduleManager manager;
};

TEST_F(ScheduleManagerTest, LoadsOnlyThePrefixAndItsSchedulesOfTheAccount) {
    struct Case {
        const wchar_t* name;
        const wchar_t* account;  // null: the account cannot be read
        bool managed;
    };
    const Case cases[] = {
        {L"Zyr Disk Care Defrag", L"HOST\\alice", true},                 // the prefix itself
        {L"Zyr Disk Care Defrag_sch_1", L"host\\ALICE", true},           // account without case
        {L"zyr disk care DEFRAG_SCH_2", L"HOST\\alice", true},           // name without case
        {L"Zyr Disk Care Defrag_sch_v1.2", L"HOST\\alice", true},        // only the last dot ends the base
        {L"XZyr Disk Care Defrag_sch_3", L"HOST\\alice", false},         // one more character in front
        {L"Zyr Disk Care Defrag_sch_4", L"HOST\\bob", false},            // another account
        {L"Zyr Disk Care Defrag_sch_5", L"alice", false},                // no domain
        {L"Zyr Disk Care Defrag_sch_6", nullptr, false},                 // unreadable account
        {L"Zyr Disk Care Defrag Weekly", L"HOST\\alice", false},         // not "_sch_"
        {L"Zyr Disk Care Defrag_sc", L"HOST\\alice", false},             // shorter than the tag
        {L"Zyr Disk Care", L"HOST\\alice", false},                       // the scan task
    };
    for (const Case& c : cases) {
        service.AddJob(c.name, c.account ? c.account : L"", WeeklyTrigger(0x2, 3, 0));
        if (!c.account) service.unreadableAccounts.insert(c.name);
    }
    Load();

    std::vector<std::wstring> expected;
    for (const Case& c : cases)
        if (c.managed) expected.push_back(std::wstring(c.name) + L".job");
    ASSERT_EQ(manager.GetCount(), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(manager.NameAt(static_cast<int>(i)), expected[i]);
}

TEST_F(ScheduleManagerTest, LoadingAppendsAndClearListForgetsWithoutDeleting) {
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", kAccount, WeeklyTrigger(0x2, 3, 0));
    Load();
    Load();
    EXPECT_EQ(manager.GetCount(), 2);
    manager.ClearList();
    EXPECT_EQ(manager.GetCount(), 0);
    EXPECT_EQ(service.jobs.size(), 1u);
}

TEST_F(ScheduleManagerTest, AddedScheduleIsAWeeklyJobOfTheAccountNamedWithAGuid) {
    Load();
    ASSERT_EQ(manager.AddTask(Item(0x22, 2, 15)), 0);
    ASSERT_EQ(manager.AddTask(Item(0x1, 23, 45)), 0);
    ASSERT_EQ(manager.GetCount(), 2);

    const std::wregex guidName(LR"(Zyr Disk Care Defrag_sch_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})");
    EXPECT_TRUE(std::regex_match(manager.NameAt(0), guidName)) << manager.NameAt(0).c_str();
    EXPECT_TRUE(std::regex_match(manager.NameAt(1), guidName)) << manager.NameAt(1).c_str();
    EXPECT_NE(manager.NameAt(0), manager.NameAt(1));

    const testing::FakeJob* job = service.Find(manager.NameAt(0));
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->application, L"C:\\Program Files\\Zyr\\ZyrDiskCare.exe");
    EXPECT_EQ(job->workingDirectory, L"C:\\Program Files\\Zyr\\");
    EXPECT_EQ(job->parameters, L"-defrag");
    EXPECT_EQ(job->flags, static_cast<DWORD>(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON));
    EXPECT_EQ(job->account, kAccount);
    ASSERT_EQ(job->triggers.size(), 1u);
    const TASK_TRIGGER& t = job->triggers[0];
    SYSTEMTIME today;
    GetLocalTime(&today);
    EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_WEEKLY);
    EXPECT_EQ(t.Type.Weekly.WeeksInterval, 1);
    EXPECT_EQ(t.Type.Weekly.rgfDaysOfTheWeek, 0x22);
    EXPECT_EQ(t.wStartHour, 2);
    EXPECT_EQ(t.wStartMinute, 15);
    EXPECT_EQ(t.wBeginYear, today.wYear);
    EXPECT_EQ(t.wBeginMonth, today.wMonth);
    EXPECT_EQ(t.wBeginDay, today.wDay);
    EXPECT_EQ(t.wEndYear, 0);
    EXPECT_EQ(t.MinutesDuration, 0u);
    EXPECT_EQ(t.rgFlags, 0u);

    // A fresh manager of the same account finds both again, as "<name>.job".
    CScheduleManager reloaded;
    reloaded.LoadTasks(L"ALICE", L"host", kPrefix);
    ASSERT_EQ(reloaded.GetCount(), 2);
    EXPECT_EQ(reloaded.NameAt(0), manager.NameAt(0) + L".job");
}

TEST_F(ScheduleManagerTest, ReadsBackWhatWasAddedAndTheServicesSentence) {
    Load();
    ASSERT_EQ(manager.AddTask(Item(0x22, 2, 15)), 0);
    ScheduleItemStruct read;
    ASSERT_EQ(manager.GetTask(0, &read), 0);
    EXPECT_EQ(read.days, 0x22);
    EXPECT_EQ(read.hour, 2);
    EXPECT_EQ(read.minute, 15);
    EXPECT_EQ(read.application, L"C:\\Program Files\\Zyr\\ZyrDiskCare.exe");
    EXPECT_EQ(read.workingDirectory, L"C:\\Program Files\\Zyr\\");
    EXPECT_EQ(read.parameters, L"-defrag");

    std::wstring text = L"unchanged";
    ASSERT_EQ(manager.GetTriggerText(0, text), 0);
    EXPECT_EQ(text.rfind(L"At 2:15 AM every Mon, Fri of every week", 0), 0u) << text.c_str();

    // Without a sentence from the service the text stays as passed, and the call still succeeds.
    service.giveTriggerText = false;
    text = L"unchanged";
    EXPECT_EQ(manager.GetTriggerText(0, text), 0);
    EXPECT_EQ(text, L"unchanged");
}

TEST_F(ScheduleManagerTest, DaysOfADailyTriggerAreEveryDayAndOfOtherTypesUntouched) {
    service.AddJob(L"Zyr Disk Care Defrag_sch_daily", kAccount, DailyTrigger(1, 4, 30));
    TASK_TRIGGER monthly = WeeklyTrigger(0, 5, 0);
    monthly.TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
    monthly.Type.MonthlyDate.rgfDays = 1;
    monthly.Type.MonthlyDate.rgfMonths = 0xFFF;
    service.AddJob(L"Zyr Disk Care Defrag_sch_monthly", kAccount, monthly);
    Load();
    ASSERT_EQ(manager.GetCount(), 2);

    ScheduleItemStruct daily;
    ASSERT_EQ(manager.GetTask(0, &daily), 0);
    EXPECT_EQ(daily.days, 0x7F);
    EXPECT_EQ(daily.hour, 4);
    EXPECT_EQ(daily.minute, 30);

    ScheduleItemStruct other;
    other.days = 0x55;
    ASSERT_EQ(manager.GetTask(1, &other), 0);
    EXPECT_EQ(other.days, 0x55);
    EXPECT_EQ(other.hour, 5);
}

TEST_F(ScheduleManagerTest, UpdateMakesADailyTriggerWeeklyWithItsFormerInterval) {
    TASK_TRIGGER daily = DailyTrigger(3, 4, 30);
    daily.wBeginYear = 2025;
    service.AddJob(L"Zyr Disk Care Defrag_sch_daily", kAccount, daily);
    Load();
    ASSERT_EQ(manager.UpdateTask(0, Item(0x41, 22, 45)), 0);

    const testing::FakeJob* job = service.Find(L"Zyr Disk Care Defrag_sch_daily");
    ASSERT_NE(job, nullptr);
    const TASK_TRIGGER& t = job->triggers[0];
    EXPECT_EQ(t.TriggerType, TASK_TIME_TRIGGER_WEEKLY);
    EXPECT_EQ(t.Type.Weekly.WeeksInterval, 3);
    EXPECT_EQ(t.Type.Weekly.rgfDaysOfTheWeek, 0x41);
    EXPECT_EQ(t.wStartHour, 22);
    EXPECT_EQ(t.wStartMinute, 45);
    EXPECT_EQ(t.wBeginYear, 2025);  // the rest of the trigger stays
    EXPECT_EQ(job->application, L"C:\\Program Files\\Zyr\\ZyrDiskCare.exe");
    EXPECT_EQ(job->parameters, L"-defrag");
    EXPECT_EQ(job->account, kAccount);
}

TEST_F(ScheduleManagerTest, RefusedChangeIsReportedAndNothingIsSaved) {
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", kAccount, WeeklyTrigger(0x2, 3, 0));
    Load();
    service.setTriggerResult = E_INVALIDARG;
    EXPECT_EQ(manager.UpdateTask(0, Item(0x4, 5, 15)), -1);
    service.setTriggerResult = S_OK;
    const testing::FakeJob* job = service.Find(L"Zyr Disk Care Defrag_sch_A");
    EXPECT_EQ(job->triggers[0].Type.Weekly.rgfDaysOfTheWeek, 0x2);
    EXPECT_EQ(job->parameters, L"");

    service.saveResult = E_ACCESSDENIED;
    EXPECT_EQ(manager.UpdateTask(0, Item(0x4, 5, 15)), -1);
    EXPECT_EQ(manager.AddTask(Item(0x4, 5, 15)), -1);
    EXPECT_EQ(manager.GetCount(), 1);
    service.saveResult = S_OK;
    service.newWorkItemResult = E_ACCESSDENIED;
    EXPECT_EQ(manager.AddTask(Item(0x4, 5, 15)), -1);
    EXPECT_EQ(manager.GetCount(), 1);
    EXPECT_EQ(service.jobs.size(), 1u);
}

TEST_F(ScheduleManagerTest, DeleteRemovesTheJobAndItsEntry) {
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", kAccount, WeeklyTrigger(0x2, 3, 0));
    service.AddJob(L"Zyr Disk Care Defrag_sch_B", kAccount, WeeklyTrigger(0x4, 3, 0));
    Load();
    ASSERT_EQ(manager.AddTask(Item(0x8, 1, 0)), 0);
    std::wstring added = manager.NameAt(2);

    ASSERT_EQ(manager.DeleteTask(0), 0);
    EXPECT_EQ(service.deleted.back(), L"Zyr Disk Care Defrag_sch_A.job");  // passed as stored
    ASSERT_EQ(manager.GetCount(), 2);
    EXPECT_EQ(manager.NameAt(0), L"Zyr Disk Care Defrag_sch_B.job");
    ASSERT_EQ(manager.DeleteTask(1), 0);
    EXPECT_EQ(service.deleted.back(), added);
    EXPECT_EQ(service.jobs.size(), 1u);

    // A job removed behind the manager's back cannot be deleted; its entry stays.
    service.jobs.clear();
    EXPECT_EQ(manager.DeleteTask(0), -1);
    EXPECT_EQ(manager.GetCount(), 1);
}

TEST_F(ScheduleManagerTest, IndexOutsideTheListFailsWithoutAskingTheService) {
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", kAccount, WeeklyTrigger(0x2, 3, 0));
    Load();
    ScheduleItemStruct item = Item(0x2, 1, 0);
    std::wstring text;
    const int calls = service.calls;
    for (int index : {-1, 1, 100}) {
        EXPECT_EQ(manager.GetTriggerText(index, text), -1);
        EXPECT_EQ(manager.GetTask(index, &item), -1);
        EXPECT_EQ(manager.UpdateTask(index, item), -1);
        EXPECT_EQ(manager.DeleteTask(index), -1);
    }
    EXPECT_EQ(manager.GetTask(0, nullptr), -1);
    EXPECT_EQ(service.calls, calls);
}

TEST_F(ScheduleManagerTest, WithoutAServiceEveryOperationFails) {
    service.createResult = REGDB_E_CLASSNOTREG;
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", kAccount, WeeklyTrigger(0x2, 3, 0));
    Load();
    EXPECT_EQ(manager.GetCount(), 0);
    EXPECT_EQ(manager.AddTask(Item(0x2, 1, 0)), -1);
    std::wstring text;
    EXPECT_EQ(manager.GetTriggerText(0, text), -1);

    CScheduleManager neverLoaded;
    EXPECT_EQ(neverLoaded.AddTask(Item(0x2, 1, 0)), -1);
    EXPECT_EQ(neverLoaded.GetCount(), 0);
}

TEST_F(ScheduleManagerTest, ScheduleChangedBehindTheListCannotBeRead) {
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", kAccount, WeeklyTrigger(0x2, 3, 0));
    Load();
    service.Find(L"Zyr Disk Care Defrag_sch_A")->triggers.clear();
    ScheduleItemStruct item;
    EXPECT_EQ(manager.GetTask(0, &item), -1);
    EXPECT_EQ(manager.UpdateTask(0, Item(0x2, 1, 0)), -1);
    service.jobs.clear();
    std::wstring text;
    EXPECT_EQ(manager.GetTriggerText(0, text), -1);
}

}  // namespace
}  // namespace zyr::schedule
