// The application object: start-up, the message loop and the end of the process.
#pragma once
#include <windows.h>

#include <string>

namespace zyr::fw {

class CWinAppBase {
public:
    CWinAppBase();
    virtual ~CWinAppBase();
    CWinAppBase(const CWinAppBase&) = delete;
    CWinAppBase& operator=(const CWinAppBase&) = delete;

    // True lets the message loop run (it ends at once when there is no main window).
    virtual bool InitInstance() = 0;
    // Runs the process's own exit work; the result is not the process exit code.
    virtual int ExitInstance() { return 0; }
    // A chance to handle a message before it is translated and dispatched.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }

    // The message loop: until WM_QUIT, or not at all without a main window.
    int Run();

    HINSTANCE instance() const { return instance_; }
    const std::wstring& appTitle() const { return appTitle_; }
    void SetAppTitle(std::wstring title) { appTitle_ = std::move(title); }
    HWND mainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    // Runs the whole life of the application; the process exit code is always 0.
    int Main(HINSTANCE instance);

private:
    HINSTANCE instance_ = nullptr;
    HWND mainWindow_ = nullptr;
    std::wstring appTitle_;
};

// The one application object of the process (null before it is constructed).
CWinAppBase* App();

}  // namespace zyr::fw
