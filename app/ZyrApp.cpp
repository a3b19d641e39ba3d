// Start-up in its fixed order, the one-shot switches and the forwarding to a running instance.
#include "app/ZyrApp.h"

#include "app/MainFrameFactory.h"
#include "app/ProductConfiguration.h"
#include "app/SettingsValues.h"
#include "app/UnknownFileHandler.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "framework/Profile.h"
#include "schedule/ScheduledTasks.h"
#include "volumes/ntfsimage/volume_router.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <shlwapi.h>

#include <ctime>

namespace zyr::app {
namespace {

constexpr UINT IDS_APP_TITLE = 0xE000;
constexpr UINT IDS_MUTEX_NAME = 128;
constexpr UINT IDS_NOT_ADMIN = 262;
constexpr UINT IDI_MAINFRAME = 128;

std::wstring StoredString(HINSTANCE module, UINT id) {
    wchar_t buffer[260] = {};
    LoadStringW(module, id, buffer, 260);
    return buffer;
}

std::wstring SystemLibraryPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return name;
    return std::wstring(folder) + L"\\" + name;
}

std::wstring FormatTime(const std::tm& t) {
    wchar_t text[64] = {};
    wcsftime(text, 64, L"%H:%M:%S %d-%m-%Y", &t);
    return text;
}

}  // namespace

bool CZyrApp::InitInstance() {
    // 1. The program folder is the current folder.
    wchar_t modulePath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    programFolder_ = modulePath;
    programFolder_ = programFolder_.substr(0, programFolder_.find_last_of(L'\\'));
    SetCurrentDirectoryW(programFolder_.c_str());

    // 2. The resource library, from the program folder only.
    std::wstring resourcePath = programFolder_ + L"\\MyResources.dll";
    resourceModule_ = LoadLibraryW(resourcePath.c_str());
    if (!resourceModule_) {
        DWORD error = GetLastError();
        wchar_t text[128];
        wsprintfW(text, L"Error (%d): Please reinstall the application", static_cast<int>(error));
        std::wstring caption = PathFindFileNameW(modulePath);
        caption = caption.substr(0, caption.find_last_of(L'.'));
        ShowMessageBox(nullptr, text, caption, MB_OK);
        return false;
    }

    // 3. Every resource comes from the library; the title names the settings.
    ::SetResourceInstance(resourceModule_);
    SetAppTitle(StoredString(resourceModule_, IDS_APP_TITLE));

    // 4, 5. Product configuration and the settings location.
    config::LoadProductConfiguration(programFolder_);
    fw::SetRegistryKey(config::CompanyName(), appTitle());

    // 7. One instance: a second start finds the first one's window by its class.
    HWND running = nullptr;
    std::wstring mutexName = StoredString(resourceModule_, IDS_MUTEX_NAME);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, mutexName.empty() ? nullptr : mutexName.c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        running = FindWindowExW(nullptr, nullptr, config::WindowClassName().c_str(), nullptr);
        CloseHandle(mutex);
        if (!running) return false;
    }
    // The first instance keeps its mutex until the process ends.

    // 8. Fonts for a Japanese build.
    if (CompareStringOrdinal(config::LanguageId().c_str(), -1, L"ja", -1, TRUE) == CSTR_EQUAL)
        RebuildSkinFontsForLanguage();

    // 9, 10, 11.
    if (!RegisterMainWindowClass()) return false;
    InitializeComAndControls();
    if (!IsAdministrator()) {
        ShowMessageBox(nullptr, config::LoadText(IDS_NOT_ADMIN), appTitle(), MB_OK);
        return true;
    }

    // 12. The command line.
    ParsedCommandLine parsed = ParseCommandLine(std::wstring(ArgumentsOf(GetCommandLineW())));
    switch (parsed.request) {
    case StartRequest::Install:
        RegisterUnknownFileHandler(programFolder_, config::AppName());
        return false;
    case StartRequest::AddTask:
        schedule::AddScanAndDefragTasks();
        return false;
    case StartRequest::LaunchOnLogon:
        schedule::SetLaunchOnStartup(true);
        return false;
    case StartRequest::AutoScanOnStart:
        settings::Write(settings::ScanOnStartup, 1);
        return false;
    case StartRequest::Uninstall:
        schedule::RemoveTasksAtUninstall();
        RestoreUnknownFileHandler(config::AppName());
        break;
    default:
        break;
    }

    // 13. A running instance takes the request.
    if (running) {
        ForwardToRunningInstance(running, parsed);
        return false;
    }

    // 14. One-shot requests without a window (the reports belong to the online services).
    if (parsed.request == StartRequest::Shutdown || parsed.request == StartRequest::Report ||
        parsed.request == StartRequest::Uninstall)
        return false;

    // Drives bound to NTFS images (ZYR_IMAGE_DRIVES) join the real ones.
    vol::SetVolumeApi(&vol::BindVolumesFromEnvironment());

    // 15. The main window.
    HWND frame = nullptr;
    if (!CreateMainWindow(&frame) || !frame) return false;
    SetMainWindow(frame);

    // 17, 18.
    RecordRunStatistics(parsed.request == StartRequest::Scan);
    if (parsed.request == StartRequest::Defrag) StartScheduledDefragOnMainWindow();
    return true;
}

int CZyrApp::ExitInstance() {
    if (resourceModule_) FreeLibrary(resourceModule_);
    resourceModule_ = nullptr;
    ::SetResourceInstance(nullptr);
    return fw::CWinAppBase::ExitInstance();
}

bool CZyrApp::RegisterMainWindowClass() {
    std::wstring className = config::WindowClassName();
    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance();
    wc.hIcon = LoadIconW(resourceModule_, MAKEINTRESOURCEW(IDI_MAINFRAME));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className.c_str();
    return !className.empty() && RegisterClassW(&wc) != 0;
}

void CZyrApp::InitializeComAndControls() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE,
                         nullptr, EOAC_NONE, nullptr);
    CoUninitialize();
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {8, 0xFF};
    InitCommonControlsEx(&icc);
}

bool CZyrApp::IsAdministrator() const {
    // Loaded from the system folder only: the program runs elevated.
    HMODULE setupapi = LoadLibraryW(SystemLibraryPath(L"setupapi.dll").c_str());
    if (!setupapi) return false;
    using IsUserAdminFn = BOOL(WINAPI*)();
    auto isUserAdmin = reinterpret_cast<IsUserAdminFn>(reinterpret_cast<void*>(GetProcAddress(setupapi, "IsUserAdmin")));
    bool admin = isUserAdmin && isUserAdmin();
    FreeLibrary(setupapi);
    return admin;
}

void CZyrApp::ForwardToRunningInstance(HWND running, const ParsedCommandLine& parsed) const {
    switch (parsed.request) {
    case StartRequest::Scan:
        SendMessageW(running, UM_SCAN_REQUEST, 0, 0);
        return;
    case StartRequest::Defrag:
        SendMessageW(running, UM_DEFRAG_REQUEST, 0, 0);
        return;
    case StartRequest::Shutdown:
        PostMessageW(running, UM_SHUTDOWN_REQUEST, 0, 0);
        return;
    case StartRequest::File: {
        std::wstring extension = parsed.extension;
        COPYDATASTRUCT data = {};
        data.cbData = static_cast<DWORD>((extension.size() + 1) * sizeof(wchar_t));
        data.lpData = extension.data();
        SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        return;
    }
    default:
        ShowWindow(running, SW_SHOW);
        SendMessageW(running, WM_SYSCOMMAND, SC_RESTORE, 0);
        SetForegroundWindow(running);
        return;
    }
}

void CZyrApp::RecordRunStatistics(bool fromSchedule) {
    runCount_ = static_cast<uint32_t>(settings::Read(settings::RunCount)) + 1;
    if (runCount_ <= 1) {
        std::time_t now = std::time(nullptr);
        std::tm utc{}, local{};
        gmtime_s(&utc, &now);
        localtime_s(&local, &now);
        fw::WriteProfileString(L"", settings::InstallDate, FormatTime(utc));
        fw::WriteProfileString(L"", settings::InstallDateLocal, FormatTime(local));
    }
    settings::Write(settings::RunCount, static_cast<int>(runCount_));
    settings::Write(settings::FromSchedule, fromSchedule ? 1 : 0);
}

}  // namespace zyr::app
