// The unknown-file handler keys under HKEY_CLASSES_ROOT.
#include "app/UnknownFileHandler.h"

#include "framework/RegKey.h"

#include <windows.h>
#include <shlwapi.h>

namespace zyr::app {
namespace {

constexpr const wchar_t* kKeys[] = {L"Unknown\\shell\\openas\\command", L"Unknown\\shell\\opendlg\\command"};
constexpr DWORD kValueBufferBytes = 260;

REGSAM KeyAccess() {
    REGSAM access = KEY_READ | KEY_WRITE;
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64) access |= KEY_WOW64_64KEY;
    return access;
}

}  // namespace

void RegisterUnknownFileHandler(const std::wstring& programFolder, const std::wstring& appName) {
    REGSAM access = KeyAccess();
    wchar_t program[MAX_PATH + 16] = {};
    lstrcpynW(program, programFolder.c_str(), MAX_PATH);
    PathAppendW(program, L"noapp.exe");
    std::wstring command = std::wstring(program) + L" %1";
    std::wstring backupName = appName + L".old";
    for (const wchar_t* path : kKeys) {
        fw::RegKey key;
        if (key.Open(HKEY_CLASSES_ROOT, path, access) != ERROR_SUCCESS) continue;
        if (RegQueryValueExW(key.get(), backupName.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            BYTE data[kValueBufferBytes];
            DWORD type = 0, size = sizeof(data);
            if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, data, &size) == ERROR_SUCCESS)
                RegSetValueExW(key.get(), backupName.c_str(), 0, type, data, size);
        }
        RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
}

void RestoreUnknownFileHandler(const std::wstring& appName) {
    REGSAM access = KeyAccess();
    std::wstring backupName = appName + L".old";
    for (const wchar_t* path : kKeys) {
        fw::RegKey key;
        if (key.Open(HKEY_CLASSES_ROOT, path, access) != ERROR_SUCCESS) continue;
        BYTE data[kValueBufferBytes];
        DWORD type = 0, size = sizeof(data);
        if (RegQueryValueExW(key.get(), backupName.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS) continue;
        // The command goes back before the backup is dropped: an interruption loses nothing.
        if (RegSetValueExW(key.get(), nullptr, 0, type, data, size) == ERROR_SUCCESS)
            RegDeleteValueW(key.get(), backupName.c_str());
    }
}

}  // namespace zyr::app
