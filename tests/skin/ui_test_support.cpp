// Helpers of the in-process UI tests.
#include "ui_test_support.h"
#include <map>
#include "app/ProductConfiguration.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"

void Pump(int ms, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG msg{};
    while (std::chrono::steady_clock::now() < end) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done && done()) return;
        ::Sleep(5);
    }
}

HWND CreateHostWindow(int width, int height) {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"ZyrTestHost";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    HWND hwnd = ::CreateWindowExW(0, L"ZyrTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width, height,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    Pump(30);
    return hwnd;
}

void ResetSettings() {
    const std::wstring key = zyr::fw::ProfileKeyPath();
    if (!key.empty()) ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

void UseOwnSettingsKey(const std::wstring& name) {
    zyr::fw::SetRegistryKey(L"ZyrTests", name + L" " + std::to_wstring(::GetCurrentProcessId()));
}

HMODULE UseResourceLibrary() {
    static HMODULE library = ::LoadLibraryW(L"MyResources.dll");
    if (!library) return nullptr;
    SetResourceInstance(library);
    // As start-up does: the product configuration beside the program, then the settings key.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\'));
    zyr::config::LoadProductConfiguration(folder);
    zyr::fw::SetRegistryKey(zyr::config::CompanyName(), LoadResourceString(0xE000));
    return library;
}

namespace {
std::map<UINT_PTR, std::function<void()>>& Actions() {
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}
void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    auto it = Actions().find(id);
    if (it == Actions().end()) return;
    auto action = std::move(it->second);
    Actions().erase(it);
    action();
}
}  // namespace

void Later(int ms, std::function<void()> action) {
    const UINT_PTR id = ::SetTimer(nullptr, 0, static_cast<UINT>(ms), &RunLater);
    Actions()[id] = std::move(action);
}

HWND FindThreadDialog() {
    struct Search {
        HWND found = nullptr;
    } search;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(hwnd, name, 16);
            if (::IsWindowVisible(hwnd) && wcscmp(name, L"#32770") == 0) {
                reinterpret_cast<Search*>(lp)->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
