// The frame's notification-area icon, reminder timer, balloon click and settings tab pages.
#include <gtest/gtest.h>

#include <vector>

#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "framework/ModalSeam.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/settings_ids.h"
#include "skin/ProfileLink.h"
#include "resources/ids/tray_ids.h"
#include "tray/core/ReminderRule.h"
#include "tray/core/TextFormat.h"
#include "tests/mainframe/FrameFixture.h"
#include "ui_test_support.h"

namespace {


bool ShellHasIcon(HWND owner) {
    NOTIFYICONDATAW probe{};
    probe.cbSize = zyr::tray::kNotifyRecordSize;
    probe.hWnd = owner;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

class TrayFrameTest : public FrameFixture {
protected:
    CMainFrame& Open() {
        CMainFrame& opened = FrameFixture::Open();
        opened.defragWarnedDrive = [this] { ++warnedDriveCalls; };
        return opened;
    }
    int warnedDriveCalls = 0;
};

TEST_F(TrayFrameTest, TheIconShowsWithTheProductNameAndGoesWithTheWindow) {
    CMainFrame& f = Open();
    EXPECT_NE(f.trayIcon.Icon(), nullptr);
    EXPECT_EQ(f.trayIcon.Owner(), f.GetSafeHwnd());
    EXPECT_EQ(f.trayIcon.MenuId(), 186u);
    EXPECT_EQ(std::wstring(f.trayIcon.Record().szTip), LoadResourceString(128));
    EXPECT_TRUE(ShellHasIcon(f));
    // Hidden (minimised to the tray), the icon stays and a double click brings the window back.
    f.ShowWindow(SW_HIDE);
    EXPECT_TRUE(ShellHasIcon(f));
    ::SendMessageW(f, UM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(f.IsVisible());
    const HWND window = f;
    WriteProfileIntValue(L"", L"ConfirmExit", 0);
    WriteProfileIntValue(L"", L"MinimizeOnExit", 0);
    ::SendMessageW(f, WM_CLOSE, 0, 0);
    Pump(50, [&] { return !f.IsWindow(); });
    EXPECT_FALSE(f.IsWindow());
    EXPECT_FALSE(ShellHasIcon(window));
}

TEST_F(TrayFrameTest, TheMenusExitCommandClosesWithoutTheExitQuestion) {
    CMainFrame& f = Open();
    std::vector<ModalRequest> asked;
    ScopedModalAnswerer answers([&](const ModalRequest& request) {
        asked.push_back(request);
        return ModalAnswer{IDNO, L""};
    });
    // The real menu: its last item is Exit.
    HWND target = f;
    // Keys posted to this thread's queue reach the menu's loop whatever window has the focus.
    Later(300, [target] {
        ::PostMessageW(target, WM_KEYDOWN, VK_UP, 0);
        Later(200, [target] { ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0); });
    });
    Later(3000, [] { ::EndMenu(); });
    ::SendMessageW(f, UM_TRAY_NOTIFY, 0, WM_RBUTTONUP);
    Pump(2000, [&] { return !f.IsWindow(); });
    EXPECT_FALSE(f.IsWindow());
    EXPECT_TRUE(asked.empty());
}

TEST_F(TrayFrameTest, TheReminderTimerShowsABalloonOnlyForARememberedDrive) {
    CMainFrame& f = Open();
    ::SendMessageW(f, WM_TIMER, kTimerDefragWarning, 0);
    EXPECT_EQ(f.balloonKind, 0);
    std::vector<uint8_t> date;
    EXPECT_FALSE(zyr::fw::GetProfileBinary(L"", L"DefragWarningDate", date));

    WriteProfileStringValue(L"", L"DefragWarningDrive", L"C:");
    WriteProfileIntValue(L"", L"DefragWarningPercent", 14);
    const int64_t now = 1765400000;
    f.defragReminder.SetNow([now] { return now; });
    ::SendMessageW(f, WM_TIMER, kTimerDefragWarning, 0);
    EXPECT_EQ(f.balloonKind, 3);
    EXPECT_EQ(std::wstring(f.trayIcon.Record().szInfo),
              zyr::tray::FormatText(ShellText(IDS_REMINDER_TEXT), {L"C:", 14, 3}));
    EXPECT_EQ(std::wstring(f.trayIcon.Record().szInfoTitle), LoadResourceString(IDS_REMINDER_TITLE));
    EXPECT_EQ(f.trayIcon.Record().dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    ASSERT_TRUE(zyr::fw::GetProfileBinary(L"", L"DefragWarningDate", date));
    EXPECT_EQ(date, zyr::tray::EncodeWarningDate(now));
}

TEST_F(TrayFrameTest, TheReminderIsOffWhileShowDefragWarningIsCleared) {
    WriteProfileStringValue(L"", L"DefragWarningDrive", L"C:");
    WriteProfileIntValue(L"", L"ShowDefragWarning", 0);
    CMainFrame& f = Open();
    ::SendMessageW(f, WM_TIMER, kTimerDefragWarning, 0);
    EXPECT_EQ(f.balloonKind, 0);
    std::vector<uint8_t> date;
    EXPECT_FALSE(zyr::fw::GetProfileBinary(L"", L"DefragWarningDate", date));
}

TEST_F(TrayFrameTest, ABalloonClickDefragmentsTheRememberedDriveOnlyWhenIdle) {
    CMainFrame& f = Open();
    struct Case {
        const char* name;
        int balloonKind, busy;
        bool enabled;
        LPARAM event;
        bool acts;
    };
    const Case cases[] = {
        {"OtherBalloon", 0, 0, true, NIN_BALLOONUSERCLICK, false},
        {"Busy", 3, 1, true, NIN_BALLOONUSERCLICK, false},
        {"ModalWindowOpen", 3, 0, false, NIN_BALLOONUSERCLICK, false},
        {"TimedOut", 3, 0, true, NIN_BALLOONTIMEOUT, false},
        {"Idle", 3, 0, true, NIN_BALLOONUSERCLICK, true},
    };
    for (const Case& c : cases) {
        f.ShowHomePage();
        warnedDriveCalls = 0;
        f.balloonKind = c.balloonKind;
        f.busy = c.busy;
        ::EnableWindow(f, c.enabled);
        ::SendMessageW(f, UM_TRAY_NOTIFY, 0, c.event);
        ::EnableWindow(f, TRUE);
        EXPECT_EQ(warnedDriveCalls, c.acts ? 1 : 0) << c.name;
        EXPECT_EQ(f.SelectedTab(), c.acts ? 1 : 0) << c.name;
        EXPECT_EQ(f.defragPage.IsVisible(), c.acts) << c.name;
        EXPECT_EQ(f.busy, c.busy) << c.name;
    }
}

TEST_F(TrayFrameTest, TheSettingsTabLeadsToBothPagesAndBack) {
    CMainFrame& f = Open();
    f.SelectTab(2);
    EXPECT_TRUE(f.settingsPage.IsVisible());
    f.busy = 1;
    ::SendMessageW(f.settingsPage, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_GENERAL, BN_CLICKED), 0);
    EXPECT_TRUE(f.generalSettingsPage.IsVisible());
    EXPECT_EQ(f.SelectedTab(), 2);
    EXPECT_EQ(f.busy, 0);
    const RECT back = f.generalSettingsPage.BackButtonRect();
    const LPARAM at = MAKELPARAM((back.left + back.right) / 2, (back.top + back.bottom) / 2);
    ::SendMessageW(f.generalSettingsPage, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(f.settingsPage.IsVisible());
    ::SendMessageW(f.settingsPage, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_SCHEDULE, BN_CLICKED), 0);
    EXPECT_TRUE(f.schedulePage.IsVisible());
    EXPECT_EQ(f.SelectedTab(), 2);
}

TEST_F(TrayFrameTest, KeepRunningFromTheExitQuestionShowsOnTheGeneralPage) {
    CMainFrame& f = Open();
    f.SelectTab(2);
    ::SendMessageW(f.settingsPage, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_GENERAL, BN_CLICKED), 0);
    HWND minimize = ::GetDlgItem(f.generalSettingsPage, IDC_GENERAL_MINIMIZE_ON_EXIT);
    EXPECT_EQ(::SendMessageW(minimize, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    {
        ScopedModalAnswerer keepRunning([](const ModalRequest&) { return ModalAnswer{24, L""}; });
        ::SendMessageW(f, WM_CLOSE, 0, 0);
    }
    EXPECT_FALSE(f.IsVisible());
    EXPECT_EQ(::SendMessageW(minimize, BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace

namespace {

// The real defrag page: its jobs on the remembered drive run (Wine's volume controls fail at
// once) and the frame is idle again afterwards.
TEST_F(TrayFrameTest, TheBalloonClickRunsTheDefragPagesJobsOnTheRememberedDrive) {
    WriteProfileStringValue(L"", L"DefragWarningDrive", L"C:");
    CMainFrame& f = Open();
    f.defragWarnedDrive = [&f] { f.defragPage.DefragWarnedDrive(); };
    ScopedModalAnswerer answers([](const ModalRequest&) { return ModalAnswer{IDNO, L""}; });
    f.balloonKind = 3;
    ::SendMessageW(f, UM_TRAY_NOTIFY, 0, NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(f.defragPage.IsVisible());
    EXPECT_EQ(f.defragPage.CurrentJob().drive, L"C:");
    Pump(20000, [&] { return !f.defragPage.IsWorking() && f.busy == 0; });
    EXPECT_FALSE(f.defragPage.IsWorking());
    EXPECT_EQ(f.busy, 0);
}

}  // namespace
