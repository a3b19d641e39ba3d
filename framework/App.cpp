// The application object and its message loop.
#include "framework/App.h"

namespace zyr::fw {
namespace {
CWinAppBase* g_app = nullptr;
}

CWinAppBase::CWinAppBase() { g_app = this; }

CWinAppBase::~CWinAppBase() {
    if (g_app == this) g_app = nullptr;
}

CWinAppBase* App() { return g_app; }


int CWinAppBase::Run() {
    if (!mainWindow_ || !IsWindow(mainWindow_)) return 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinAppBase::Main(HINSTANCE instance) {
    instance_ = instance;
    try {
        if (InitInstance()) Run();
        ExitInstance();
    } catch (...) {
        // Nothing unwinds out of the program; the exit code stays 0.
    }
    return 0;
}

}  // namespace zyr::fw
