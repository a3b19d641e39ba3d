// Interim main window until the skinned frame lands: a plain window of the program's class.
#include "app/MainFrameFactory.h"

#include "app/ProductConfiguration.h"
#include "app/ZyrApp.h"
#include "framework/App.h"

namespace zyr::app {
namespace {

LRESULT CALLBACK InterimFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_SHUTDOWN_REQUEST:
        DestroyWindow(window);
        return 0;
    case UM_DEFRAG_REQUEST:
        return 1;
    case WM_COPYDATA:
        SendMessageW(window, UM_FILE_EXTENSION, reinterpret_cast<COPYDATASTRUCT*>(lParam)->dwData == 0
                                                    ? reinterpret_cast<WPARAM>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->lpData)
                                                    : 0, 0);
        return 1;
    case WM_DESTROY:
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
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    *created = window;
    return true;
}

void StartScheduledDefragOnMainWindow() {}

void RebuildSkinFontsForLanguage() {}

}  // namespace zyr::app
