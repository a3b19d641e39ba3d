// Opens the main window the way start-up does, without the rest of start-up (single instance,
// switches): for screenshots of each tab.
#include <windows.h>
#include <commctrl.h>
#include <cwchar>
#include <string>
#include "app/MainFrameFactory.h"
#include "app/ProductConfiguration.h"
#include "framework/Profile.h"
#include "skin/BaseFrameWnd.h"
#include "app/ShellText.h"
#include "framework/ResourceInstance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HMODULE resources = ::LoadLibraryW(L"MyResources.dll");
    if (!resources) return 1;
    SetResourceInstance(resources);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\'));
    zyr::config::LoadProductConfiguration(folder);
    zyr::fw::SetRegistryKey(zyr::config::CompanyName(), LoadResourceString(0xE000));
    std::wstring className = ShellConfigValue(L"UCN");
    if (className.empty()) className = L"ZyrDiskCareFrame";
    WNDCLASSW wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(resources, MAKEINTRESOURCEW(128));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className.c_str();
    ::RegisterClassW(&wc);
    HWND frame = nullptr;
    if (!zyr::app::CreateMainWindow(&frame)) return 1;
    // "-tab N" opens on another tab, for screenshots of each tab.
    if (const wchar_t* tab = std::wcsstr(commandLine, L"-tab ")) {
        const int index = _wtoi(tab + 5);
        if (auto* base = dynamic_cast<CBaseFrameWnd*>(CWnd::FromHandle(frame))) base->SelectTab(index);
        // A title of its own lets a screenshot script find this very window (the frame draws no title).
        ::SetWindowTextW(frame, (LoadResourceString(128) + L" - tab " + std::to_wstring(index)).c_str());
    }
    // "-general" opens the general settings page through the settings page's button.
    if (std::wcsstr(commandLine, L"-general")) {
        if (auto* base = dynamic_cast<CBaseFrameWnd*>(CWnd::FromHandle(frame))) {
            base->SelectTab(2);
            ::SendMessageW(base->Tab(2).page, WM_COMMAND, MAKEWPARAM(1145, BN_CLICKED), 0);
        }
        ::SetWindowTextW(frame, (LoadResourceString(128) + L" - general").c_str());
    }
    // "-remind" remembers a fragmented drive and runs the daily reminder check at once.
    if (std::wcsstr(commandLine, L"-remind")) {
        zyr::fw::WriteProfileString(L"", L"DefragWarningDrive", L"C:");
        zyr::fw::WriteProfileInt(L"", L"DefragWarningPercent", 12);
        const uint8_t none[1] = {};
        zyr::fw::WriteProfileBinary(L"", L"DefragWarningDate", none, 0);
        ::SendMessageW(frame, WM_TIMER, 704, 0);
        ::SetWindowTextW(frame, (LoadResourceString(128) + L" - remind").c_str());
    }
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::FreeLibrary(resources);
    return 0;
}
