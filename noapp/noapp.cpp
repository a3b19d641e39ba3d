// noapp.exe: opens the system's "Open with" choice for a file of an unregistered type.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 0;
    std::wstring path = argc > 1 ? argv[1] : L"";
    LocalFree(argv);
    if (path.empty() || !PathFileExistsW(path.c_str())) return 0;

    // The shell's own dialog where it exists; the "openas" verb otherwise.
    using OpenWithFn = HRESULT(WINAPI*)(HWND, const OPENASINFO*);
    HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    auto openWith = shell32 ? reinterpret_cast<OpenWithFn>(reinterpret_cast<void*>(GetProcAddress(shell32, "SHOpenWithDialog")))
                            : nullptr;
    if (openWith) {
        OPENASINFO info = {};
        info.pcszFile = path.c_str();
        info.oaifInFlags = OAIF_ALLOW_REGISTRATION | OAIF_EXEC;
        if (SUCCEEDED(openWith(nullptr, &info))) return 0;
    }
    ShellExecuteW(nullptr, L"openas", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}
