// CMainFrame: creation, page navigation, forwarded requests, timers and the close policy.
#include "app/MainFrame.h"
#include <shellapi.h>
#include <shlobj.h>
#include "app/PageIds.h"
#include "app/SettingsValues.h"
#include "app/ShellText.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "skin/ProfileLink.h"
#include "skin/XMessageBox.h"

namespace {

PendingPageInfo PageInfo(unsigned name, const wchar_t* button, unsigned tooltip, const wchar_t* header, unsigned title,
                     unsigned subtitle, int tab) {
    PendingPageInfo info;
    info.nameText = name;
    info.buttonImage = button ? button : L"";
    info.tooltipText = tooltip;
    info.headerImage = header ? header : L"";
    info.headerTitleText = title;
    info.headerSubtitleText = subtitle;
    info.tab = tab;
    return info;
}

constexpr UINT kQuestionStyle = 0x01000024;  // question icon, first button default, "Don't ask me again"

}  // namespace

CMainFrame::CMainFrame()
    : defragHost_(*this),
      homePage(*this),
      dupFinderPage(this, CDupFinderPage::Navigation{[this](bool value) { busy = value ? 1 : 0; },
                                                     [this](bool enable) { EnableTabs(enable); },
                                                     [this] { ShowPageOnTab(1, dupFinderPage); },
                                                     [this] { ShowPageOnTab(1, diskPage); }}),
      restorePage(this, {[this] { ShowIdlePage(1, restorePage); }, [this] { ShowIdlePage(1, diskPage); }}),
      defragPage(static_cast<CWnd*>(this), &defragHost_),
      diskPage(*this),
      settingsPage(this, {[this] { ShowIdlePage(2, generalSettingsPage); }, [this] { ShowIdlePage(2, schedulePage); }}),
      generalSettingsPage(this, {[this] { ShowIdlePage(2, settingsPage); }, [this] { ShowIdlePage(2, generalSettingsPage); }}),
      schedulePage(this, {[this] { ShowIdlePage(2, settingsPage); }, [this] { ShowIdlePage(2, schedulePage); }}),
      aboutPage(*this, PageInfo(0, nullptr, 0, L"images/main/nav_bg.png", IDS_TIP_ABOUT, 128, 0)),
      homePageManager(std::make_unique<CHomePageManager>()),
      defragReminder([this](const zyr::tray::ReminderBalloon& balloon) {
          trayIcon.ShowBalloon(balloon.text.c_str(), balloon.title.c_str());
      }),
      defragWarnedDrive([this] { defragPage.DefragWarnedDrive(); }) {
    homePageManager->Register(&defragPage);
    homePageManager->Register(&schedulePage);
    homePageManager->Register(&dupFinderPage);
    homePageManager->Register(&generalSettingsPage);
    homePageManager->Register(&restorePage);
    const std::array<std::wstring, 3> defaults = {ShellConfigValue(L"HOME_SCREEN_ICON1"), ShellConfigValue(L"HOME_SCREEN_ICON2"),
                                                  ShellConfigValue(L"HOME_SCREEN_ICON3")};
    if (!homePageManager->ChooseButtons([](unsigned id) { return ShellText(id); }, defaults)) resourcesComplete_ = false;
}

CMainFrame::~CMainFrame() {
    trayIcon.RemoveIcon();
    if (IsWindow()) {
        quitOnDestroy = false;
        DestroyWindow();
    }
}

bool CMainFrame::Create() {
    std::wstring className = ShellConfigValue(L"UCN");
    if (className.empty()) className = L"ZyrDiskCareFrame";
    // The menu of the frame's resource id is loaded with the window and discarded.
    if (HMENU menu = ::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(128))) ::DestroyMenu(menu);
    if (!CreateFrame(className.c_str(), LoadResourceString(128))) return false;
    engine = std::make_unique<CTavrinEngine>();
    if (!CreatePages()) return false;
    AddTab(ShellText(IDS_TAB_HOME), homePage, L"Images\\tab icons\\nav-scan.png");
    AddTab(ShellText(IDS_TAB_DISK), diskPage, L"Images\\tab icons\\nav-disk.png");
    AddTab(ShellText(IDS_TAB_SETTINGS), settingsPage, L"Images\\tab icons\\nav-settings.png");
    AddCaptionButton(ID_APP_ABOUT, ShellText(IDS_TIP_ABOUT), L"Images\\top nav icons\\info_normal.png",
                     L"Images\\top nav icons\\info_over.png", L"Images\\top nav icons\\info_down.png");
    AddCaptionButton(ID_HELP_PAGE, ShellText(IDS_TIP_HELP), L"Images\\top nav icons\\help_normal.png",
                     L"Images\\top nav icons\\help_over.png", L"Images\\top nav icons\\help_down.png");
    // Forwarded requests come from a second instance, possibly at another integrity level.
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    if (auto filter = reinterpret_cast<FilterFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter")))) {
        for (UINT message : {74u, UM_SCAN_REQUEST, UM_SHUTDOWN_REQUEST, 274u, 563u, 73u}) filter(message, 1);
    }
    // The notification-area icon: the product name as stored, icon 128, menu 186.
    trayIcon.SetNotifyWindow(*this);
    trayIconImage_.reset(static_cast<HICON>(::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(128), IMAGE_ICON,
                                                         ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
    trayIcon.SetIcon(trayIconImage_.get(), LoadResourceString(128).c_str());
    trayIcon.SetMenuId(186);
    if (ProfileInt(L"", L"ScanOnStartup", 0)) SetTimer(kTimerScanOnStartup, 100);
    SetTimer(kTimerSilentNotice, 200);
    SetTimer(kTimerDefragWarning, 600000);
    SetTimer(kTimerBanner, 300000);
    return true;
}

bool CMainFrame::CreatePages() {
    // The order of the resource library's pages: home, duplicate finder, disk, settings,
    // general settings, defrag schedule, about, restore, defrag.
    CBaseDlg* pages[] = {&homePage, &dupFinderPage, &diskPage, &settingsPage, &generalSettingsPage,
                         &schedulePage, &aboutPage, &restorePage, &defragPage};
    for (CBaseDlg* page : pages)
        if (!page->CreatePage()) return false;
    if (!diskPage.HeaderLoaded() || !restorePage.HeaderLoaded() || !schedulePage.HeaderLoaded() ||
        !dupFinderPage.HeaderLoaded() || !settingsPage.HeaderLoaded() || !generalSettingsPage.HeaderLoaded())
        resourcesComplete_ = false;
    return true;
}

CWnd& CMainFrame::TabMainPage(int tab) {
    if (tab == 1) return diskPage;
    if (tab == 2) return settingsPage;
    return homePage;
}

void CMainFrame::ShowIdlePage(int tab, CWnd& page) {
    busy = 0;
    EnableTabs(true);
    ShowPageOnTab(tab, page);
}

void CMainFrame::DefragHost::ShowTab(int tab) {
    if (tab == 0) frame_.ShowPageOnTab(0, frame_.homePage);
    else frame_.ShowPageOnTab(1, frame_.diskPage);
}

std::wstring CMainFrame::DefragHost::ProductName() { return ShellConfigValue(L"APPNAME"); }

void CMainFrame::ShowPageOnTab(int tab, CWnd& page) {
    SetTabPage(tab, page);
    SelectTab(tab);
    ::SetFocus(page);
    ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool CMainFrame::StartScheduledDefrag() {
    if (busy) return false;
    SetTabPage(1, defragPage);
    SelectTab(1);
    ::SetFocus(defragPage);
    busy = 0;
    ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    defragPage.DefragScheduledDrives();
    return true;
}

void CMainFrame::ShowDefragPage() {
    SetTabPage(1, defragPage);
    SelectTab(1);
    ::SetFocus(defragPage);
    busy = 0;
    ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainFrame::ShowHomePage() {
    busy = 0;
    ShowPageOnTab(0, homePage);
}

void CMainFrame::ShowMainWindow() {
    if (::IsIconic(*this)) ShowWindow(SW_RESTORE);
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(*this);
}

void CMainFrame::OnEndSession() {
    engine.reset();
    homePageManager.reset();
    forcedClose = 1;
    PostMessage(WM_CLOSE);
}

void CMainFrame::OnClose() {
    bool skipQuestions = false;
    if (forcedClose) {
        if (IsBusy()) {
            dupFinderPage.LeaveForClose();
            if (defragPage.IsWorking()) {
                defragPage.StopAndCloseWhenDone();
                return;
            }
        }
        skipQuestions = true;
    } else if (IsBusy()) {
        const int answer = ShowMessageBox(*this, ShellText(IDS_BUSY_EXIT_QUESTION), LoadResourceString(0xE000), MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) {
            exitFromTray = 0;
            return;
        }
        dupFinderPage.LeaveForClose();
        if (defragPage.IsWorking()) {
            defragPage.StopAndCloseWhenDone();
            return;
        }
        ShowHomePage();
    }
    if (!skipQuestions) {
        const bool confirmExit = ProfileInt(L"", L"ConfirmExit", 1) != 0;
        const bool minimizeOnExit = ProfileInt(L"", L"MinimizeOnExit", 1) != 0;
        if (exitFromTray) {
            exitFromTray = 0;
        } else if (confirmExit) {
            MessageBoxParams params;
            params.options = 1;
            params.stringModule = ResourceInstance();
            params.customButtons = ShellText(IDS_EXIT_BUTTONS);
            const std::wstring text = ShellText(IDS_EXIT_QUESTION);
            const std::wstring caption = ShellConfigValue(L"APPNAME");
            const int result = XMessageBox(*this, text.c_str(), caption.c_str(), kQuestionStyle, &params);
            if (result != -1 && (result & kXmbDontAskAgain)) WriteProfileIntValue(L"", L"ConfirmExit", 0);
            const int button = result == -1 ? -1 : (result & 0xFFFF);
            if (button == kXmbFirstCustomButton) {
                WriteProfileIntValue(L"", L"MinimizeOnExit", 0);
            } else if (button == kXmbFirstCustomButton + 1) {
                WriteProfileIntValue(L"", L"MinimizeOnExit", 1);
                generalSettingsPage.LoadSettings();
                ShowWindow(SW_HIDE);
                return;
            } else {
                return;
            }
        } else if (minimizeOnExit) {
            ShowWindow(SW_HIDE);
            return;
        }
    }
    trayIcon.RemoveIcon();
    DestroyWindow();
}

void CMainFrame::OnBalloonClick() {
    // Only the reminder's balloon, and never into running work or past a modal window.
    if (balloonKind != 3 || busy || !::IsWindowEnabled(*this)) return;
    busy = 0;
    ShowPageOnTab(1, defragPage);
    if (defragWarnedDrive) defragWarnedDrive();
}

void CMainFrame::OnSilentNoticeTimer() {
    const std::wstring keyPath = L"Software\\" + ShellConfigValue(L"COMPANYNAME") + L"\\" + ShellConfigValue(L"APPNAME");
    HKEY key = nullptr;
    bool shown = false;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS) {
        DWORD value = 0, type = 0, size = sizeof(value);
        if (::RegQueryValueExW(key, L"Silent", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            type == REG_DWORD && value != 0) {
            const DWORD zero = 0;
            ::RegSetValueExW(key, L"Silent", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof(zero));
            ::RegCloseKey(key);
            key = nullptr;
            const std::wstring format = ShellText(IDS_SILENT_NOTICE);
            const std::wstring name = ShellConfigValue(L"APPNAME"), version = ShellConfigValue(L"APPVER");
            std::wstring text;
            // Two string arguments: the product name and its version.
            size_t argument = 0;
            for (size_t i = 0; i < format.size(); ++i) {
                if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L's') {
                    text += argument++ == 0 ? name : version;
                    ++i;
                } else {
                    text += format[i];
                }
            }
            ShowMessageBox(*this, text, LoadResourceString(0xE000), MB_ICONINFORMATION);
            shown = true;
        }
        if (key) ::RegCloseKey(key);
    }
    // Otherwise the online-services component would take its turn (timer 1037); it has no
    // messages of its own in this program.
    (void)shown;
}

void CMainFrame::CheckForUpdates() {
    wchar_t common[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES_COMMON, nullptr, SHGFP_TYPE_CURRENT, common))) return;
    const std::wstring path = std::wstring(common) + ShellConfigValue(L"UUSPATH");
    HMODULE updater = ::LoadLibraryW(path.c_str());
    if (!updater) return;
    using UpdateEx = int(WINAPI*)(HWND, int);
    using Update = int(WINAPI*)(HWND);
    using Delete = void(WINAPI*)();
    if (auto ex = reinterpret_cast<UpdateEx>(reinterpret_cast<void*>(::GetProcAddress(updater, "USDoAllUpdatesWithUIEx")))) ex(*this, 1);
    else if (auto plain = reinterpret_cast<Update>(reinterpret_cast<void*>(::GetProcAddress(updater, "USDoAllUpdatesWithUI")))) plain(*this);
    if (auto done = reinterpret_cast<Delete>(reinterpret_cast<void*>(::GetProcAddress(updater, "USDelete")))) done();
    ::FreeLibrary(updater);
}

bool CMainFrame::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case ID_TRAY_OPEN:
    case ID_TRAY_OPEN_DOUBLE_CLICK:
        ShowMainWindow();
        return true;
    case ID_TRAY_UPDATES:
        if (!busy) CheckForUpdates();
        return true;
    case ID_TRAY_EXIT:
        if (::IsWindowEnabled(*this)) {
            exitFromTray = 1;
            PostMessage(WM_CLOSE);
        }
        return true;
    case ID_HELP_PAGE: {
        const std::wstring address = ShellConfigValue(L"COMPANYURL");
        if (!address.empty()) ::ShellExecuteW(*this, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
        return true;
    }
    case ID_APP_ABOUT:
        ShowLoosePage(aboutPage);
        return true;
    default:
        return false;
    }
}

bool CMainFrame::OnTimer(UINT_PTR id) {
    switch (id) {
    case kTimerDefragWarning:
        KillTimer(id);
        if (zyr::settings::Read(zyr::settings::ShowDefragWarning)) {
            if (defragReminder.Check()) balloonKind = 3;
            SetTimer(kTimerDefragWarning, 86400000);
        }
        break;
    case kTimerSilentNotice:
        KillTimer(id);
        OnSilentNoticeTimer();
        break;
    case kTimerBanner:
        KillTimer(id);
        SetTimer(kTimerBanner, 300000);
        break;
    case kTimerOnlineServices:
        KillTimer(id);
        break;
    default:
        break;
    }
    return false;  // every timer goes on to default processing
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_DEFRAG_REQUEST:
        ShowMainWindow();
        if (!busy) StartScheduledDefrag();
        return 1;
    case UM_SHUTDOWN_REQUEST:
        forcedClose = 1;
        if (modalDialog) ::EndDialog(modalDialog, IDCANCEL);
        PostMessage(WM_CLOSE);
        return 1;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        SendMessage(UM_FILE_EXTENSION, reinterpret_cast<WPARAM>(data ? data->lpData : nullptr), 0);
        break;
    }
    case UM_TRAY_NOTIFY:
        if (lp == NIN_BALLOONUSERCLICK) OnBalloonClick();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY: {
        const bool quit = quitOnDestroy;
        const LRESULT result = CBaseFrameWnd::WindowProc(msg, wp, lp);
        if (quit) ::PostQuitMessage(0);
        return result;
    }
    default:
        break;
    }
    return CBaseFrameWnd::WindowProc(msg, wp, lp);
}
