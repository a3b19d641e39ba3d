// Opens the main window on one of the duplicate finder's pages, for screenshots:
//   finder_demo -page start|progress|results [-folder PATH] [-scroll N]
// "results" scans the folder for real and scrolls the list N steps; "progress" shows the page
// as a scan of the folder leaves it midway.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "app/MainFrame.h"
#include "tests/mainframe/DemoStartup.h"
#include "app/MainFrameFactory.h"
#include "app/ProductConfiguration.h"
#include "app/ShellText.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/duplicates_ids.h"
#include "skin/ProfileLink.h"

namespace {

std::wstring Argument(const wchar_t* commandLine, const wchar_t* name) {
    const wchar_t* found = std::wcsstr(commandLine, name);
    if (!found) return L"";
    found += std::wcslen(name);
    while (*found == L' ') ++found;
    const bool quoted = *found == L'"';
    if (quoted) ++found;
    const wchar_t* end = found;
    while (*end && (quoted ? *end != L'"' : *end != L' ')) ++end;
    return std::wstring(found, end);
}

void Pump(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    MSG msg{};
    while (::GetTickCount() < end) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    HMODULE resources = PrepareDemoProgram(instance);
    if (!resources) return 1;
    const std::wstring page = Argument(commandLine, L"-page");
    const std::wstring scanFolder = Argument(commandLine, L"-folder");
    const int scroll = _wtoi(Argument(commandLine, L"-scroll").c_str());
    if (!scanFolder.empty()) WriteProfileStringValue(L"", L"DUPLICATE_FOLDER", scanFolder);

    HWND window = nullptr;
    if (!zyr::app::CreateMainWindow(&window)) return 1;
    auto* frame = dynamic_cast<CMainFrame*>(CWnd::FromHandle(window));
    if (!frame) return 1;
    frame->DupFinderButton().OnButtonClick();
    CDupFinderPage& finder = frame->dupFinderPage;
    if (page == L"progress" || page == L"results") {
        finder.StartPage().Start();
        if (page == L"progress") {
            // As the comparison leaves the page midway through a large folder.
            finder.CancelScan();
            Pump(1500);
            finder.ShowChild(&finder.ProgPage());
            finder.ProgPage().UpdateProgress(4182, 316, 0.42, scanFolder + L"\\Music\\Live recordings\\2019 Autumn tour\\07 Encore.mp3");
            frame->busy = 1;
            frame->EnableTabs(false);
        } else {
            for (int i = 0; i < 600 && finder.CurrentChild() != &finder.ResultsPage(); ++i) Pump(50);
            Pump(300);
            CDupResultsList& list = finder.ResultsPage().List();
            // Check a few copies, as a user would before recycling them.
            ::SendMessageW(finder.ResultsPage(), WM_COMMAND, MAKEWPARAM(IDC_DUP_SELECT_BUT_FIRST, BN_CLICKED), 0);
            for (int i = 0; i < scroll; ++i) ::SendMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0);
        }
    }
    ::SetWindowTextW(window, (LoadResourceString(128) + L" - finder " + page).c_str());
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
