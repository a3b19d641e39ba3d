// What the demo programs do before they open the main window, as start-up does it: common
// controls, the resource library, settings.xml beside the program, the settings key and the
// frame's window class.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/ProductConfiguration.h"
#include "app/ShellText.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"

// The loaded resource library, or null when MyResources.dll is missing.
inline HMODULE PrepareDemoProgram(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HMODULE resources = ::LoadLibraryW(L"MyResources.dll");
    if (!resources) return nullptr;
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
    return resources;
}
