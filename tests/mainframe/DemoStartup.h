// What the demo programs do before they open the main window, as start-up does it: common
// controls, the resource library, settings.xml beside the program, the settings key and the
// frame's window class.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/ShellText.h"
#include "tests/skin/ui_test_support.h"

// The resource library (loaded for the process), or null when MyResources.dll is missing.
inline HMODULE PrepareDemoProgram(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HMODULE resources = UseResourceLibrary();
    if (!resources) return nullptr;
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
    return resources;
}
