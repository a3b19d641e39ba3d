// The unknown-file handler keys under HKEY_CLASSES_ROOT.
#include "app/UnknownFileHandler.h"

#include "framework/RegKey.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

namespace zyr::app {
namespace {

constexpr const wchar_t* kKeys[] = {L"Unknown\\shell\\openas\\command", L"Unknown\\shell\\opendlg\\command"};

struct RegValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

// Reads a value of any length (a command longer than MAX_PATH is saved whole, never lost).
bool ReadValue(HKEY key, const wchar_t* name, RegValue& value) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return false;
    value.data.resize(size);
    if (RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) return false;
    value.data.resize(size);
    return true;
}

bool WriteValue(HKEY key, const wchar_t* name, const RegValue& value) {
    return RegSetValueExW(key, name, 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size())) ==
           ERROR_SUCCESS;
}

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
        RegValue original;
        if (RegQueryValueExW(key.get(), backupName.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS &&
            ReadValue(key.get(), nullptr, original))
            WriteValue(key.get(), backupName.c_str(), original);
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
        RegValue saved;
        if (!ReadValue(key.get(), backupName.c_str(), saved)) continue;
        // The command goes back before the backup is dropped: an interruption loses nothing.
        if (WriteValue(key.get(), nullptr, saved)) RegDeleteValueW(key.get(), backupName.c_str());
    }
}

}  // namespace zyr::app
