// Opens the main window the way start-up does, without the rest of start-up (single instance,
// switches): for screenshots of each tab.
#include <windows.h>
#include <commctrl.h>
#include <cwchar>
#include <memory>
#include <string>
#include "app/MainFrame.h"
#include "tests/mainframe/DemoStartup.h"
#include "app/MainFrameFactory.h"
#include "app/ProductConfiguration.h"
#include "framework/Profile.h"
#include "skin/BaseFrameWnd.h"
#include "app/ShellText.h"
#include "framework/ResourceInstance.h"
#include "volumes/ntfsimage/volume_router.h"

namespace {

// A few restore points as Windows lists them (Wine's WMI has none of its own).
class SampleRestorePoints final : public zyr::restore::ISystemRestoreModule {
public:
    int ListRestorePoints(zyr::restore::RestorePointList& points) override {
        points = {{L"Windows Update", 41, L"11/2/2026 3:04:12 AM", 18, 101},
                  {L"Installed Photo Viewer", 42, L"11/19/2026 6:41:55 PM", 0, 101},
                  {L"Before defragmenting", 43, L"12/1/2026 9:15:03 PM", 12, 101},
                  {L"Device driver package install: Printer", 44, L"12/8/2026 10:27:40 AM", 10, 101}};
        return 1;
    }
    int DeleteRestorePoint(uint32_t) override { return 0; }
    int RestoreSystem(uint32_t) override { return 0; }
    int CreateRestorePoint(const std::wstring&, zyr::restore::RestorePointRecord*) override { return 0; }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    HMODULE resources = PrepareDemoProgram(instance);
    if (!resources) return 1;
    // The drives of the system and those bound to images (ZYR_IMAGE_DRIVES), as start-up does.
    zyr::vol::SetVolumeApi(&zyr::vol::BindVolumesFromEnvironment());
    HWND frame = nullptr;
    if (!zyr::app::CreateMainWindow(&frame)) return 1;
    // "-tab N" opens on another tab, for screenshots of each tab.
    if (const wchar_t* tab = std::wcsstr(commandLine, L"-tab ")) {
        const int index = _wtoi(tab + 5);
        if (auto* base = dynamic_cast<CBaseFrameWnd*>(CWnd::FromHandle(frame))) base->SelectTab(index);
        // A title of its own lets a screenshot script find this very window (the frame draws no title).
        ::SetWindowTextW(frame, (LoadResourceString(128) + L" - tab " + std::to_wstring(index)).c_str());
    }
    // "-page NAME" opens a page through its home-page button: defrag, schedule, restore, duplicates, general.
    if (const wchar_t* page = std::wcsstr(commandLine, L"-page ")) {
        if (auto* main = dynamic_cast<CMainFrame*>(CWnd::FromHandle(frame))) {
            const std::wstring name = page + 6;
            IHomePageButton* button = nullptr;
            if (name.rfind(L"defrag", 0) == 0) button = &main->defragPage;
            else if (name.rfind(L"schedule", 0) == 0) button = &main->schedulePage;
            else if (name.rfind(L"restore", 0) == 0) {
                main->restorePage.SetModule(std::make_unique<SampleRestorePoints>());
                button = &main->RestoreButton();
            }
            else if (name.rfind(L"duplicates", 0) == 0) button = &main->DupFinderButton();
            else if (name.rfind(L"general", 0) == 0) button = &main->generalSettingsPage;
            if (button) button->OnButtonClick();
            ::SetWindowTextW(frame, (LoadResourceString(128) + L" - page " + name).c_str());
        }
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
    return 0;
}
