// CTrayIcon against Wine's notification area: records, cut texts, menu, double click, shell restart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ResourceInstance.h"
#include "tray/TrayIcon.h"
#include "ui_test_support.h"

namespace zyr::tray {
namespace {

// What the owner window received.
struct OwnerLog {
    std::vector<UINT> commands;
    int trayMessages = 0;
};
OwnerLog ownerLog;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) ownerLog.commands.push_back(LOWORD(wp));
    if (msg == UM_TRAY_NOTIFY) ++ownerLog.trayMessages;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateOwner() {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OwnerProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZyrTrayOwner";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, L"ZyrTrayOwner", L"tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

// Whether the notification area holds the icon of (owner, 0): modifying it succeeds then.
bool ShellHasIcon(HWND owner) {
    NOTIFYICONDATAW probe{};
    probe.cbSize = kNotifyRecordSize;
    probe.hWnd = owner;
    probe.uID = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseResourceLibrary();
        owner = CreateOwner();
        ownerLog = {};
        icon = static_cast<HICON>(::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr);
    }
    void TearDown() override {
        tray.reset();
        ::DestroyWindow(owner);
        ::DestroyIcon(icon);
    }
    CTrayIcon& Tray() {
        tray = std::make_unique<CTrayIcon>();
        tray->SetNotifyWindow(owner);
        return *tray;
    }

    HWND owner = nullptr;
    HICON icon = nullptr;
    std::unique_ptr<CTrayIcon> tray;
};

TEST_F(TrayIconTest, AddsTheIconWithTooltipAndCallbackThenModifiesAndRemovesIt) {
    CTrayIcon& t = Tray();
    ASSERT_TRUE(t.SetIcon(icon, L"Zyr Disk Care"));
    const NOTIFYICONDATAW& r = t.Record();
    EXPECT_EQ(r.cbSize, kNotifyRecordSize);
    EXPECT_EQ(r.hWnd, owner);
    EXPECT_EQ(r.uID, 0u);
    EXPECT_EQ(r.uCallbackMessage, 1034u);
    EXPECT_EQ(r.uFlags, static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE));
    EXPECT_STREQ(r.szTip, L"Zyr Disk Care");
    EXPECT_EQ(t.Icon(), icon);
    EXPECT_TRUE(ShellHasIcon(owner));
    // A second icon modifies; no tooltip keeps the stored one.
    EXPECT_TRUE(t.SetIcon(icon, nullptr));
    EXPECT_STREQ(t.Record().szTip, L"Zyr Disk Care");
    // A null icon removes it; removing again is a success with nothing to do.
    EXPECT_TRUE(t.SetIcon(nullptr, nullptr));
    EXPECT_EQ(t.Icon(), nullptr);
    EXPECT_FALSE(ShellHasIcon(owner));
    EXPECT_TRUE(t.RemoveIcon());
    EXPECT_TRUE(t.SetIcon(icon, nullptr));
    EXPECT_TRUE(t.RemoveIcon());
    EXPECT_FALSE(ShellHasIcon(owner));
}

TEST_F(TrayIconTest, AnIconWithoutOwnerOrTooltipCarriesOnlyTheIconFlag) {
    CTrayIcon lone;
    // No notify window: no NIF_MESSAGE; no tooltip: no NIF_TIP.
    lone.SetIcon(icon, nullptr);
    EXPECT_EQ(lone.Record().uFlags, static_cast<UINT>(NIF_ICON));
    lone.RemoveIcon();
    EXPECT_EQ(lone.Icon(), nullptr);
}

TEST_F(TrayIconTest, TextsLongerThanTheirFieldsAreCutToFit) {
    CTrayIcon& t = Tray();
    ASSERT_TRUE(t.SetIcon(icon, std::wstring(300, L't').c_str()));
    EXPECT_EQ(std::wstring(t.Record().szTip), std::wstring(127, L't'));
    ASSERT_TRUE(t.ShowBalloon(std::wstring(600, L'x').c_str(), std::wstring(100, L'y').c_str()));
    EXPECT_EQ(std::wstring(t.Record().szInfo), std::wstring(255, L'x'));
    EXPECT_EQ(std::wstring(t.Record().szInfoTitle), std::wstring(63, L'y'));
    // A surrogate pair across the end is left out whole.
    std::wstring title(62, L'a');
    title += L"\xD83D\xDCBE";
    ASSERT_TRUE(t.ShowBalloon(L"text", title.c_str()));
    EXPECT_EQ(std::wstring(t.Record().szInfoTitle), std::wstring(62, L'a'));
    // Exactly fitting texts are kept whole.
    ASSERT_TRUE(t.ShowBalloon(std::wstring(255, L'z').c_str(), nullptr));
    EXPECT_EQ(std::wstring(t.Record().szInfo), std::wstring(255, L'z'));
    EXPECT_STREQ(t.Record().szInfoTitle, L"");
}

TEST_F(TrayIconTest, ABalloonIsAWarningForNinetySeconds) {
    CTrayIcon& t = Tray();
    ASSERT_TRUE(t.SetIcon(icon, L"tip"));
    EXPECT_TRUE(t.ShowBalloon(L"Drive C: is 12% fragmented.", L"Drive needs defragmenting"));
    const NOTIFYICONDATAW& r = t.Record();
    EXPECT_EQ(r.cbSize, kNotifyRecordSize);
    EXPECT_EQ(r.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(r.uTimeout, 90000u);
    EXPECT_EQ(r.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_STREQ(r.szInfo, L"Drive C: is 12% fragmented.");
    EXPECT_STREQ(r.szInfoTitle, L"Drive needs defragmenting");
    // Absent texts give empty ones.
    EXPECT_TRUE(t.ShowBalloon(nullptr, nullptr));
    EXPECT_STREQ(t.Record().szInfo, L"");
}

TEST_F(TrayIconTest, ADoubleClickOpensTheWindowAndOtherEventsAreIgnored) {
    CTrayIcon& t = Tray();
    t.SetMenuId(186);
    ASSERT_TRUE(t.SetIcon(icon, L"tip"));
    // Through the owner's window, as the shell delivers it; the owner still receives it.
    ::SendMessageW(owner, UM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(ownerLog.commands, std::vector<UINT>{32779});
    EXPECT_EQ(ownerLog.trayMessages, 1);
    ownerLog.commands.clear();
    EXPECT_EQ(t.OnTrayNotification(1, WM_LBUTTONDBLCLK), 0);      // another icon's id
    EXPECT_EQ(t.OnTrayNotification(0, WM_LBUTTONUP), 0);
    EXPECT_EQ(t.OnTrayNotification(0, NIN_BALLOONUSERCLICK), 0);
    EXPECT_TRUE(ownerLog.commands.empty());
    // Without its menu, clicks do nothing.
    t.SetMenuId(4321);
    EXPECT_EQ(t.OnTrayNotification(0, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(ownerLog.commands.empty());
}

TEST_F(TrayIconTest, TheRightButtonShowsTheMenuWhoseCommandGoesToTheOwner) {
    CTrayIcon& t = Tray();
    t.SetMenuId(186);
    ::ShowWindow(owner, SW_SHOW);
    ASSERT_TRUE(t.SetIcon(icon, L"tip"));
    // While the menu tracks, choose its last item (Exit) with the keyboard.
    HWND target = owner;
    // Keys posted to this thread's queue reach the menu's loop whatever window has the focus.
    Later(300, [target] {
        ::PostMessageW(target, WM_KEYDOWN, VK_UP, 0);
        Later(200, [target] { ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0); });
    });
    Later(3000, [] { ::EndMenu(); });  // never left waiting
    EXPECT_EQ(t.OnTrayNotification(0, WM_RBUTTONUP), 1);
    Pump(200, [] { return !ownerLog.commands.empty(); });
    EXPECT_EQ(ownerLog.commands, std::vector<UINT>{32776});
}

TEST_F(TrayIconTest, AShellRestartAddsTheIconAgainWithItsTooltip) {
    CTrayIcon& t = Tray();
    ASSERT_TRUE(t.SetIcon(icon, L"Zyr Disk Care"));
    // The restarted shell has lost every icon.
    NOTIFYICONDATAW gone{};
    gone.cbSize = kNotifyRecordSize;
    gone.hWnd = owner;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(ShellHasIcon(owner));
    ::SendMessageW(owner, TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(ShellHasIcon(owner));
    EXPECT_EQ(t.Icon(), icon);
    EXPECT_STREQ(t.Record().szTip, L"Zyr Disk Care");
    // Nothing shown before the restart: nothing added after it.
    t.RemoveIcon();
    ::SendMessageW(owner, TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(ShellHasIcon(owner));
    EXPECT_EQ(t.Icon(), nullptr);
}

TEST_F(TrayIconTest, DestroyingTheTrayRemovesTheIconAndLetsGoOfTheOwner) {
    const auto original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(owner, GWLP_WNDPROC));
    CTrayIcon& t = Tray();
    ASSERT_TRUE(t.SetIcon(icon, L"tip"));
    EXPECT_NE(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(owner, GWLP_WNDPROC)), original);
    tray.reset();
    EXPECT_FALSE(ShellHasIcon(owner));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(owner, GWLP_WNDPROC)), original);
    // The owner goes on as before.
    ::SendMessageW(owner, UM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(ownerLog.commands.empty());
}

}  // namespace
}  // namespace zyr::tray
