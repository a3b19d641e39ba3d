// The skinned schedule page: layout of its panels and buttons, navigation, home-page answers,
// and a schedule added through its glass button.
#include "schedule/DefragSchedulePage.h"

#include "framework/ModalSeam.h"
#include "resources/ids/schedule_ids.h"
#include "tests/schedule/DialogDriver.h"
#include "tests/schedule/FakeTaskScheduler.h"
#include "tests/schedule/ProgramEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

namespace zyr::schedule {
namespace {

constexpr wchar_t kSettingsKey[] = L"ZyrTests\\DefragSchedulePage";

class DefragSchedulePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseBuiltProgram(kSettingsKey);
        SetTaskSchedulerFactory(service.Factory());
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        answerer = std::make_unique<ScopedModalAnswerer>([](const ModalRequest&) { return ModalAnswer{IDOK, {}}; });
        host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 840, 600, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        CDefragSchedulePage::Navigation navigation{[this] { ++settingsShown; }, [this] { ++pageShown; }};
        page = std::make_unique<CDefragSchedulePage>(host, navigation);
        ASSERT_TRUE(page->CreatePage());
        MoveWindow(*page, 0, 0, 800, 500, TRUE);
        page->ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        page.reset();
        DestroyWindow(host);
        answerer.reset();
        SetTaskSchedulerFactory(nullptr);
        testing::DeleteSettings(kSettingsKey);
    }

    RECT ControlRect(int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(*page, id), &r);
        MapWindowPoints(nullptr, *page, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    testing::FakeTaskService service;
    std::unique_ptr<ScopedModalAnswerer> answerer;
    HWND host = nullptr;
    std::unique_ptr<CDefragSchedulePage> page;
    int settingsShown = 0, pageShown = 0;
};

TEST_F(DefragSchedulePageTest, ListsSitInTheirPanelsAndButtonsStandRightAlignedBelow) {
    const RECT drives = page->drivesPanel(), schedules = page->schedulesPanel();
    EXPECT_EQ(drives.top, 100);
    EXPECT_EQ(schedules.top, 210);
    EXPECT_EQ(schedules.right, 799);

    const RECT driveList = ControlRect(IDC_SCHEDULE_DRIVE_LIST), scheduleList = ControlRect(IDC_SCHEDULE_LIST);
    EXPECT_GE(driveList.left, drives.left + 10);
    EXPECT_LE(driveList.bottom, drives.bottom - 10);
    EXPECT_GE(scheduleList.top, schedules.top + 10);
    EXPECT_LE(scheduleList.right, schedules.right - 10);

    const RECT add = ControlRect(IDC_SCHEDULE_ADD), edit = ControlRect(IDC_SCHEDULE_EDIT),
               remove = ControlRect(IDC_SCHEDULE_DELETE);
    EXPECT_EQ(remove.right, 799);
    EXPECT_EQ(remove.top, 418);
    EXPECT_EQ(remove.bottom - remove.top, 25);
    EXPECT_EQ(edit.right, remove.left - 8);
    EXPECT_EQ(add.right, edit.left - 8);
    EXPECT_EQ(add.top, 418);

    // A wider page moves them along.
    MoveWindow(*page, 0, 0, 700, 500, TRUE);
    EXPECT_EQ(ControlRect(IDC_SCHEDULE_DELETE).right, 699);
}

TEST_F(DefragSchedulePageTest, AnswersAsAHomePageButtonAndGoesBackToTheSettings) {
    EXPECT_EQ(page->GetButtonName(), L"Defrag Schedule");
    EXPECT_EQ(page->GetButtonImage(), L"images/buttons and headers/button_defrag_schedule.png");
    EXPECT_EQ(page->GetButtonImageOver(), page->GetButtonImage());
    EXPECT_EQ(page->GetButtonTooltip(), L"Defragment your drives automatically on the days and at the times you choose");
    page->OnButtonClick();
    EXPECT_EQ(pageShown, 1);

    const RECT back = page->BackButtonRect();
    SendMessageW(*page, WM_LBUTTONUP, 0, MAKELPARAM((back.left + back.right) / 2, (back.top + back.bottom) / 2));
    EXPECT_EQ(settingsShown, 1);
    const RECT forward = page->ForwardButtonRect();
    SendMessageW(*page, WM_LBUTTONUP, 0, MAKELPARAM((forward.left + forward.right) / 2, (forward.top + forward.bottom) / 2));
    EXPECT_EQ(settingsShown, 1);
    EXPECT_EQ(pageShown, 1);
}

TEST_F(DefragSchedulePageTest, GlassButtonAddsASchedule) {
    testing::DialogDriver driver([](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_SCHEDULE_WEDNESDAY), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    SendMessageW(GetDlgItem(*page, IDC_SCHEDULE_ADD), BM_CLICK, 0, 0);
    ASSERT_TRUE(driver.opened());
    ASSERT_EQ(service.jobs.size(), 1u);
    EXPECT_EQ(service.jobs[0].triggers[0].Type.Weekly.rgfDaysOfTheWeek, 0x8);
    EXPECT_EQ(service.jobs[0].triggers[0].wStartHour, 2);
    EXPECT_EQ(page->logic().manager().GetCount(), 1);
}

}  // namespace
}  // namespace zyr::schedule
