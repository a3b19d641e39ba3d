// The schedule page's lists and buttons on a real page window from template 416, with the real
// options dialog driven from a timer, message boxes answered through the modal door, and the
// Task Scheduler double.
#include "schedule/SchedulePageLogic.h"

#include "app/SettingsValues.h"
#include "framework/App.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/schedule_ids.h"
#include "schedule/AccessRights.h"
#include "schedule/ScheduleOptionsDlg.h"
#include "schedule/Scheduler.h"
#include "tests/schedule/DialogDriver.h"
#include "tests/schedule/FakeTaskScheduler.h"
#include "tests/schedule/ProgramEnvironment.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace zyr::schedule {
namespace {

using testing::DailyTrigger;
using testing::DialogDriver;
using testing::FakeJob;
using testing::FakeTaskService;
using testing::WeeklyTrigger;

constexpr wchar_t kSettingsKey[] = L"ZyrTests\\SchedulePage";
constexpr wchar_t kPrefix[] = L"Zyr Disk Care Defrag";

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int Selected(HWND dialog, int comboId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, comboId, CB_GETCURSEL, 0, 0));
}
std::wstring ComboText(HWND dialog, int comboId) {
    wchar_t text[16] = {};
    GetDlgItemTextW(dialog, comboId, text, 16);
    return text;
}
bool Ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }

class SchedulePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseBuiltProgram(kSettingsKey);
        SetTaskSchedulerFactory(service.Factory());
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        answerer = std::make_unique<ScopedModalAnswerer>([this](const ModalRequest& request) {
            messages.push_back(request.text);
            return ModalAnswer{answer, {}};
        });
        host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        page = CreateDialogParamW(::ResourceInstance(), MAKEINTRESOURCEW(IDD_DEFRAG_SCHEDULE_PAGE), host,
                                  &SchedulePageTest::PageProc, reinterpret_cast<LPARAM>(&logic));
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override {
        DestroyWindow(host);
        answerer.reset();
        SetTaskSchedulerFactory(nullptr);
        testing::DeleteSettings(kSettingsKey);
    }

    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* logic = reinterpret_cast<CSchedulePageLogic*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!logic) return FALSE;
        if (message == WM_COMMAND) return logic->OnCommand(wParam, lParam);
        if (message == WM_NOTIFY) return logic->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        return FALSE;
    }

    void Open(const std::vector<FixedDrive>& drives = {}) {
        logic.Attach(page);
        logic.LoadSchedules(L"alice", L"HOST");
        // Initialize without the account lookup: the schedules above are the account's.
        logic.RefreshScheduleList();
        logic.FillDriveList(drives);
    }
    void InitializeFully(const std::vector<FixedDrive>& drives) { logic.Initialize(page, drives); }

    std::vector<std::wstring> Lines() {
        std::vector<std::wstring> lines;
        HWND list = GetDlgItem(page, IDC_SCHEDULE_LIST);
        int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[256] = {};
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    }
    void SelectLine(int line) {
        SendDlgItemMessageW(page, IDC_SCHEDULE_LIST, LB_SETCURSEL, line, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SCHEDULE_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SCHEDULE_LIST)));
    }
    void Press(int id) {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    FakeJob& AddSchedule(const std::wstring& suffix, const TASK_TRIGGER& trigger) {
        return service.AddJob(std::wstring(kPrefix) + L"_sch_" + suffix, L"HOST\\alice", trigger);
    }

    FakeTaskService service;
    CSchedulePageLogic logic;
    HWND host = nullptr, page = nullptr;
    std::unique_ptr<ScopedModalAnswerer> answerer;
    std::vector<std::wstring> messages;
    int answer = IDOK;
};

// The page's own initialisation in one piece: account, prefix, lists.
TEST_F(SchedulePageTest, InitializationLoadsTheSchedulesOfTheProcessAccount) {
    std::wstring user, domain;
    ASSERT_TRUE(GetProcessAccount(user, domain));
    service.AddJob(std::wstring(kPrefix) + L"_sch_mine", domain + L"\\" + user, WeeklyTrigger(0x2, 3, 0));
    service.AddJob(std::wstring(kPrefix) + L"_sch_other", L"HOST\\someone", WeeklyTrigger(0x2, 3, 0));
    InitializeFully({{L"C:\\", L"System", L"NTFS", 100LL << 30, 40LL << 30}});
    EXPECT_EQ(logic.manager().GetCount(), 1);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].rfind(L"At 3:00 AM every Mon", 0), 0u);
}

TEST_F(SchedulePageTest, EmptyListShowsThePlaceholderWithoutEditOrDelete) {
    Open();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0], L"No defragmentation is scheduled. Press Add to schedule one.");
    SelectLine(0);
    EXPECT_FALSE(Enabled(IDC_SCHEDULE_EDIT));
    EXPECT_FALSE(Enabled(IDC_SCHEDULE_DELETE));
    EXPECT_TRUE(Enabled(IDC_SCHEDULE_ADD));
}

TEST_F(SchedulePageTest, LinesKeepTheirSchedulesWhenTheServiceGivesNoSentence) {
    service.giveTriggerText = false;  // as Wine's service
    AddSchedule(L"A", WeeklyTrigger(0x22, 2, 15));
    AddSchedule(L"B", WeeklyTrigger(0x2, 1, 0)).triggers.clear();  // unreadable: no line
    AddSchedule(L"C", DailyTrigger(1, 4, 30));
    Open();
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"Every Mon, Fri at 02:15", L"Every day at 04:30"}));
    EXPECT_FALSE(Enabled(IDC_SCHEDULE_EDIT));
    SelectLine(1);
    EXPECT_TRUE(Enabled(IDC_SCHEDULE_EDIT));
    EXPECT_TRUE(Enabled(IDC_SCHEDULE_DELETE));

    // Deleting the second line deletes C, not B.
    answer = IDYES;
    Press(IDC_SCHEDULE_DELETE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Do you want to delete the selected schedule?");
    EXPECT_EQ(service.Find(std::wstring(kPrefix) + L"_sch_C"), nullptr);
    EXPECT_NE(service.Find(std::wstring(kPrefix) + L"_sch_B"), nullptr);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"Every Mon, Fri at 02:15"}));
}

TEST_F(SchedulePageTest, DeleteAnsweredNoKeepsTheSchedule) {
    AddSchedule(L"A", WeeklyTrigger(0x22, 2, 15));
    Open();
    SelectLine(0);
    answer = IDNO;
    Press(IDC_SCHEDULE_DELETE);
    EXPECT_EQ(service.jobs.size(), 1u);
    EXPECT_EQ(logic.manager().GetCount(), 1);
}

TEST_F(SchedulePageTest, AddRunsTheDialogAndStoresAWeeklyDefragOfThisProgram) {
    Open();
    bool okAtStart = true, okAfterMonday = false, okAfterUntick = true;
    int hourAtStart = -1, minuteAtStart = -1;
    DialogDriver driver([&](HWND dialog) {
        okAtStart = OkEnabled(dialog);
        hourAtStart = Selected(dialog, IDC_SCHEDULE_HOUR);
        minuteAtStart = Selected(dialog, IDC_SCHEDULE_MINUTE);
        Click(dialog, IDC_SCHEDULE_MONDAY);
        okAfterMonday = OkEnabled(dialog);
        Click(dialog, IDC_SCHEDULE_MONDAY);
        okAfterUntick = OkEnabled(dialog);
        Click(dialog, IDC_SCHEDULE_MONDAY);
        Click(dialog, IDC_SCHEDULE_FRIDAY);
        SendDlgItemMessageW(dialog, IDC_SCHEDULE_HOUR, CB_SETCURSEL, 3, 0);
        SendDlgItemMessageW(dialog, IDC_SCHEDULE_MINUTE, CB_SETCURSEL, 2, 0);
        Click(dialog, IDOK);
    });
    Press(IDC_SCHEDULE_ADD);
    ASSERT_TRUE(driver.opened());
    EXPECT_FALSE(okAtStart);
    EXPECT_TRUE(okAfterMonday);
    EXPECT_FALSE(okAfterUntick);
    EXPECT_EQ(hourAtStart, 2);
    EXPECT_EQ(minuteAtStart, 0);

    ASSERT_EQ(service.jobs.size(), 1u);
    const FakeJob& job = service.jobs[0];
    EXPECT_EQ(job.application, ProgramFolder() + L"\\ZyrDiskCare.exe");
    EXPECT_EQ(job.workingDirectory, ProgramFolder() + L"\\");
    EXPECT_EQ(job.parameters, L"-defrag");
    EXPECT_EQ(job.triggers[0].Type.Weekly.rgfDaysOfTheWeek, 0x22);
    EXPECT_EQ(job.triggers[0].wStartHour, 3);
    EXPECT_EQ(job.triggers[0].wStartMinute, 30);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].rfind(L"At 3:30 AM every Mon, Fri", 0), 0u) << Lines()[0].c_str();
}

TEST_F(SchedulePageTest, TheDialogShowsTwoDigitHoursAndQuarterMinutesAndCancelChangesNothing) {
    AddSchedule(L"A", WeeklyTrigger(0x2, 5, 0));
    Open();
    SelectLine(0);
    std::wstring caption, firstHour, lastHour, lastMinute;
    int hours = 0, minutes = 0;
    DialogDriver driver([&](HWND dialog) {
        wchar_t text[64] = {};
        GetWindowTextW(dialog, text, 64);
        caption = text;
        hours = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SCHEDULE_HOUR, CB_GETCOUNT, 0, 0));
        minutes = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SCHEDULE_MINUTE, CB_GETCOUNT, 0, 0));
        SendDlgItemMessageW(dialog, IDC_SCHEDULE_HOUR, CB_SETCURSEL, 0, 0);
        firstHour = ComboText(dialog, IDC_SCHEDULE_HOUR);
        SendDlgItemMessageW(dialog, IDC_SCHEDULE_HOUR, CB_SETCURSEL, 23, 0);
        lastHour = ComboText(dialog, IDC_SCHEDULE_HOUR);
        SendDlgItemMessageW(dialog, IDC_SCHEDULE_MINUTE, CB_SETCURSEL, 3, 0);
        lastMinute = ComboText(dialog, IDC_SCHEDULE_MINUTE);
        Click(dialog, IDC_SCHEDULE_SUNDAY);
        Click(dialog, IDCANCEL);
    });
    Press(IDC_SCHEDULE_EDIT);
    ASSERT_TRUE(driver.opened());
    EXPECT_EQ(caption, L"Schedule Defragmentation");
    EXPECT_EQ(hours, 24);
    EXPECT_EQ(minutes, 4);
    EXPECT_EQ(firstHour, L"00");
    EXPECT_EQ(lastHour, L"23");
    EXPECT_EQ(lastMinute, L"45");
    const TASK_TRIGGER& t = service.jobs[0].triggers[0];
    EXPECT_EQ(t.Type.Weekly.rgfDaysOfTheWeek, 0x2);
    EXPECT_EQ(t.wStartHour, 5);
}

TEST_F(SchedulePageTest, EditOpensOnTheStoredScheduleAndSavesItWeeklyOnTheQuarter) {
    struct Case {
        TASK_TRIGGER stored;
        int minuteIndex;
        bool allDays;
    };
    const Case cases[] = {
        {WeeklyTrigger(0x22, 4, 50), 3, false},  // minute 50 opens on "45"
        {DailyTrigger(2, 1, 14), 0, true},       // daily: every day ticked
    };
    for (const Case& c : cases) {
        service.jobs.clear();
        AddSchedule(L"A", c.stored);
        logic.manager().ClearList();
        logic.LoadSchedules(L"alice", L"HOST");
        logic.RefreshScheduleList();
        SelectLine(0);
        int minuteIndex = -1, hourIndex = -1;
        bool monday = false, friday = false, sunday = false, saturday = false;
        DialogDriver driver([&](HWND dialog) {
            minuteIndex = Selected(dialog, IDC_SCHEDULE_MINUTE);
            hourIndex = Selected(dialog, IDC_SCHEDULE_HOUR);
            monday = Ticked(dialog, IDC_SCHEDULE_MONDAY);
            friday = Ticked(dialog, IDC_SCHEDULE_FRIDAY);
            saturday = Ticked(dialog, IDC_SCHEDULE_SATURDAY);
            sunday = Ticked(dialog, IDC_SCHEDULE_SUNDAY);
            Click(dialog, IDOK);
        });
        Press(IDC_SCHEDULE_EDIT);
        ASSERT_TRUE(driver.opened());
        EXPECT_EQ(minuteIndex, c.minuteIndex);
        EXPECT_EQ(hourIndex, c.stored.wStartHour);
        EXPECT_TRUE(monday);
        EXPECT_TRUE(friday);
        EXPECT_EQ(saturday, c.allDays);
        EXPECT_EQ(sunday, c.allDays);

        const TASK_TRIGGER& saved = service.jobs[0].triggers[0];
        EXPECT_EQ(saved.TriggerType, TASK_TIME_TRIGGER_WEEKLY);
        EXPECT_EQ(saved.wStartMinute, c.minuteIndex * 15);
        EXPECT_EQ(saved.Type.Weekly.rgfDaysOfTheWeek, c.allDays ? 0x7F : 0x22);
    }
}

TEST_F(SchedulePageTest, UnreadableScheduleIsReportedAndTenthScheduleIsTheLast) {
    AddSchedule(L"A", WeeklyTrigger(0x2, 1, 0));
    Open();
    SelectLine(0);
    service.jobs.clear();  // removed behind the page's back
    Press(IDC_SCHEDULE_EDIT);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"could not be read"), std::wstring::npos);

    for (int i = 0; i < 10; ++i) AddSchedule(std::to_wstring(i), WeeklyTrigger(0x2, 1, static_cast<WORD>(i)));
    logic.manager().ClearList();
    logic.LoadSchedules(L"alice", L"HOST");
    logic.RefreshScheduleList();
    ASSERT_EQ(Lines().size(), 10u);
    messages.clear();
    DialogDriver driver([](HWND dialog) { Click(dialog, IDCANCEL); });
    Press(IDC_SCHEDULE_ADD);
    EXPECT_FALSE(driver.opened());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"up to 10"), std::wstring::npos);
    EXPECT_EQ(service.jobs.size(), 10u);
}

TEST_F(SchedulePageTest, AtLeastOneDriveStaysTickedAndTheChoiceIsStoredAtOnce) {
    settings::Write(settings::SkipScheduleDefrag, L"D");
    Open({{L"C:\\", L"", L"NTFS", 1073741825, 1048577}, {L"D:\\", L"Data", L"NTFS", 2048, 1025}});
    HWND list = GetDlgItem(page, IDC_SCHEDULE_DRIVE_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    wchar_t text[64] = {};
    ListView_GetItemText(list, 0, 0, text, 64);
    EXPECT_STREQ(text, L" (C:\\)");
    ListView_GetItemText(list, 1, 0, text, 64);
    EXPECT_STREQ(text, L"Data (D:\\)");
    ListView_GetItemText(list, 0, 2, text, 64);
    EXPECT_STREQ(text, L"1.00 GB");
    ListView_GetItemText(list, 0, 3, text, 64);
    EXPECT_STREQ(text, L"1.00 MB");
    ListView_GetItemText(list, 1, 4, text, 64);
    EXPECT_STREQ(text, L"1023 Bytes");
    EXPECT_TRUE(ListView_GetCheckState(list, 0));
    EXPECT_FALSE(ListView_GetCheckState(list, 1));
    EXPECT_TRUE(messages.empty());

    ListView_SetCheckState(list, 0, FALSE);  // the last ticked drive
    EXPECT_TRUE(ListView_GetCheckState(list, 0));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"At least one drive must stay selected for the scheduled defragmentation.");
    EXPECT_EQ(settings::Read(settings::SkipScheduleDefrag), L"D");

    ListView_SetCheckState(list, 1, TRUE);
    EXPECT_EQ(settings::Read(settings::SkipScheduleDefrag), L"");
    ListView_SetCheckState(list, 0, FALSE);
    EXPECT_EQ(settings::Read(settings::SkipScheduleDefrag), L"C");
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SchedulePageTest, StoredChoiceThatLeavesNoDriveKeepsTheUntickedOne) {
    settings::Write(settings::SkipScheduleDefrag, L"C");
    Open({{L"C:\\", L"System", L"NTFS", 4096, 0}});
    HWND list = GetDlgItem(page, IDC_SCHEDULE_DRIVE_LIST);
    EXPECT_FALSE(ListView_GetCheckState(list, 0));
    ListView_SetCheckState(list, 0, TRUE);
    EXPECT_EQ(settings::Read(settings::SkipScheduleDefrag), L"");
    settings::Write(settings::SkipScheduleDefrag, L"C");  // as if stored elsewhere meanwhile
    ListView_SetCheckState(list, 0, FALSE);
    EXPECT_TRUE(ListView_GetCheckState(list, 0));
    EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace zyr::schedule
