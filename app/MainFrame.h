// CMainFrame: the program's one top-level window: tabs, pages, timers and the close policy.
#pragma once
#include <functional>
#include <memory>
#include <type_traits>
#include "app/DiskPage.h"
#include "app/HomePage.h"
#include "app/HomePageManager.h"
#include "app/PendingPage.h"
#include "settings/GeneralSettingsDlg.h"
#include "settings/SettingsPage.h"
#include "defragui/DefragPage.h"
#include "duplicates/core/file_category.h"
#include "duplicates/ui/DupFinderPage.h"
#include "restore/RestorePage.h"
#include "schedule/DefragSchedulePage.h"
#include "skin/BaseFrameWnd.h"
#include "tray/DefragReminder.h"
#include "tray/TrayIcon.h"

// Messages from a second instance and their like.
constexpr UINT UM_SCAN_REQUEST = 1679;
constexpr UINT UM_DEFRAG_REQUEST = 1680;
constexpr UINT UM_SHUTDOWN_REQUEST = 1724;
constexpr UINT UM_FILE_EXTENSION = 1727;
constexpr UINT UM_TRAY_NOTIFY = 1034;

// Commands of the tray menu and the caption buttons.
constexpr UINT ID_TRAY_OPEN = 32773;
constexpr UINT ID_TRAY_UPDATES = 32775;
constexpr UINT ID_TRAY_EXIT = 32776;
constexpr UINT ID_TRAY_OPEN_DOUBLE_CLICK = 32779;
constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_HELP_PAGE = 57670;

// Timers.
constexpr UINT_PTR kTimerScanOnStartup = 100;
constexpr UINT_PTR kTimerDefragWarning = 704;
constexpr UINT_PTR kTimerSilentNotice = 1036;
constexpr UINT_PTR kTimerOnlineServices = 1037;
constexpr UINT_PTR kTimerBanner = 1038;

// Pages are members, created once with the window and afterwards only shown, hidden and
// moved. A page not built yet is a CPendingPage member here; its own class replaces it (same
// name) together with the few calls marked "page hook" in MainFrame.cpp.
class CMainFrame : public CBaseFrameWnd {
    // What the defrag page asks of the frame (constructed before the pages).
    class DefragHost final : public zyr::defragui::IDefragHost {
    public:
        explicit DefragHost(CMainFrame& frame) : frame_(frame) {}
        HWND MainWindow() override { return frame_; }
        void SetBusy(bool busy) override { frame_.busy = busy ? 1 : 0; }
        void EnableTabs(bool enable) override { frame_.EnableTabs(enable); }
        void ShowTab(int tab) override;
        void ShowDefragPage() override { frame_.ShowDefragPage(); }
        std::wstring ProductName() override;

    private:
        CMainFrame& frame_;
    };
    DefragHost defragHost_;

public:
    CMainFrame();
    ~CMainFrame() override;

    // Window class = settings.xml "UCN" (registered by start-up), title = text 128.
    // False when the window or a page cannot be created.
    bool Create();
    // False while busy; otherwise shows the defrag page on tab 1 and defragments the drives
    // ticked on the schedule page.
    bool StartScheduledDefrag();
    void ShowHomePage();
    void ShowMainWindow();
    // The disk page's defrag button: the defrag page on tab 1, not busy.
    void ShowDefragPage();
    // A page that wants to appear: SetTabPage, SelectTab, focus, redraw.
    void ShowPageOnTab(int tab, CWnd& page);
    // The same after a page's own navigation: busy cleared and the tabs enabled first.
    void ShowIdlePage(int tab, CWnd& page);
    // The page a tab shows by default (home, disk, settings).
    CWnd& TabMainPage(int tab);
    IHomePageButton& DupFinderButton() { return dupFinderPage; }
    IHomePageButton& RestoreButton() { return restorePage; }
    // False when the home-page defaults or the disk page's header picture are missing:
    // start-up shows text 263 and ends the process.
    bool ResourcesComplete() const { return resourcesComplete_; }

    // Tests keep the process's message loop running after the window is gone.
    bool quitOnDestroy = true;

    // Members in construction order.
    CHomePage homePage;
    CDupFinderPage dupFinderPage;
    zyr::restore::CRestorePage restorePage;
    zyr::defragui::CDefragPage defragPage;
    CDiskPage diskPage;
    zyr::settingspages::CSettingsPage settingsPage;
    zyr::settingspages::CGeneralSettingsDlg generalSettingsPage;
    zyr::schedule::CDefragSchedulePage schedulePage;
    CPendingPage aboutPage;
    zyr::tray::CTrayIcon trayIcon;
    int busy = 0;
    int exitFromTray = 0;
    int forcedClose = 0;
    int balloonKind = 0;
    // The file-category table of the duplicate finder; made with the window.
    std::unique_ptr<CTavrinEngine> engine;
    HWND modalDialog = nullptr;
    std::unique_ptr<CHomePageManager> homePageManager;
    // The daily reminder of timer 704 (its clock can be replaced by tests).
    zyr::tray::CDefragReminder defragReminder;
    // A click on the reminder balloon: the defrag page defragments the drive it remembered
    // (tests put a probe here).
    std::function<void()> defragWarnedDrive;

protected:
    bool IsBusy() override { return busy != 0; }
    void OnEndSession() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;

private:
    void OnClose();
    void OnBalloonClick();
    void OnSilentNoticeTimer();
    void CheckForUpdates();
    bool CreatePages();

    bool resourcesComplete_ = true;
    // The tray's icon picture; the destructor removes the icon before it goes.
    std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&::DestroyIcon)> trayIconImage_{nullptr, &::DestroyIcon};
};
