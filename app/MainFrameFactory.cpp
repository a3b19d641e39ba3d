// Interim main window until the skinned frame lands: a plain window of the program's class.
#include "app/MainFrameFactory.h"

#include "app/ProductConfiguration.h"
#include "app/ZyrApp.h"
#include "defragui/DefragPage.h"
#include "framework/App.h"

#include <memory>

namespace zyr::app {
namespace {

// The interim frame hosts the defrag page over its whole client area.
class InterimDefragHost final : public defragui::IDefragHost {
public:
    HWND frame = nullptr;
    HWND MainWindow() override { return frame; }
    void SetBusy(bool) override {}
    void EnableTabs(bool) override {}
    void ShowTab(int) override {}
    std::wstring ProductName() override { return config::AppName(); }
};
InterimDefragHost g_host;
std::unique_ptr<defragui::CDefragPage> g_defragPage;

void PlaceDefragPage(HWND frame) {
    if (!g_defragPage || !g_defragPage->IsWindow()) return;
    RECT client{};
    GetClientRect(frame, &client);
    MoveWindow(*g_defragPage, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK InterimFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_SHUTDOWN_REQUEST:
        if (g_defragPage && g_defragPage->IsWorking())
            g_defragPage->StopAndCloseWhenDone();
        else
            DestroyWindow(window);
        return 0;
    case UM_DEFRAG_REQUEST:
        StartScheduledDefragOnMainWindow();
        return 1;
    case WM_SIZE:
        PlaceDefragPage(window);
        return 0;
    case WM_COPYDATA:
        SendMessageW(window, UM_FILE_EXTENSION, reinterpret_cast<COPYDATASTRUCT*>(lParam)->dwData == 0
                                                    ? reinterpret_cast<WPARAM>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->lpData)
                                                    : 0, 0);
        return 1;
    case WM_DESTROY:
        g_defragPage.reset();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool CreateMainWindow(HWND* created) {
    std::wstring title = config::LoadText(128);
    HWND window = CreateWindowExW(0, config::WindowClassName().c_str(), title.c_str(), 0x820F0000, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 800, 580, nullptr, nullptr, fw::App()->instance(), nullptr);
    if (!window) return false;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InterimFrameProc));
    g_host.frame = window;
    g_defragPage = std::make_unique<defragui::CDefragPage>(window, &g_host);
    if (g_defragPage->CreatePage()) {
        PlaceDefragPage(window);
        ShowWindow(*g_defragPage, SW_SHOW);
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    *created = window;
    return true;
}

void StartScheduledDefragOnMainWindow() {
    if (g_defragPage && g_defragPage->IsWindow()) g_defragPage->DefragScheduledDrives();
}

void RebuildSkinFontsForLanguage() {}

}  // namespace zyr::app
