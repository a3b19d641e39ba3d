// The machine-wide settings value.
#include "app/SettingsValues.h"

#include "app/ProductConfiguration.h"
#include "framework/RegKey.h"

namespace zyr::settings {

DWORD TakeMachineSilentValue() {
    std::wstring path = L"Software\\" + config::CompanyName() + L"\\" + config::AppName();
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return 0;
    DWORD value = 0, type = 0, size = sizeof(value);
    if (RegQueryValueExW(key.get(), L"Silent", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    if (value != 0) {
        DWORD zero = 0;
        RegSetValueExW(key.get(), L"Silent", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof(zero));
    }
    return value;
}

}  // namespace zyr::settings
