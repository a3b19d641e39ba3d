// The settings store on the registry.
#include "framework/Profile.h"

#include "framework/RegKey.h"

namespace zyr::fw {
namespace {
std::wstring g_appKey;  // Software\<company>\<appTitle>

RegKey OpenSection(const std::wstring& section, bool create) {
    RegKey key;
    if (g_appKey.empty()) return key;
    std::wstring path = ProfileKeyPath(section);
    LONG rc = create ? key.Create(HKEY_CURRENT_USER, path.c_str(), KEY_READ | KEY_WRITE)
                     : key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
    if (rc != ERROR_SUCCESS) key.Close();
    return key;
}
}  // namespace

void SetRegistryKey(const std::wstring& company, const std::wstring& appTitle) {
    g_appKey = L"Software\\" + company + L"\\" + appTitle;
}

std::wstring ProfileKeyPath(const std::wstring& section) {
    return section.empty() ? g_appKey : g_appKey + L"\\" + section;
}

int GetProfileInt(const std::wstring& section, const std::wstring& entry, int defaultValue) {
    RegKey key = OpenSection(section, false);
    DWORD value = 0, type = 0, size = sizeof(value);
    if (!key || RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                 &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return static_cast<int>(value);
}

bool WriteProfileInt(const std::wstring& section, const std::wstring& entry, int value) {
    RegKey key = OpenSection(section, true);
    DWORD data = static_cast<DWORD>(value);
    return key && RegSetValueExW(key.get(), entry.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                 sizeof(data)) == ERROR_SUCCESS;
}

std::wstring GetProfileString(const std::wstring& section, const std::wstring& entry,
                              const std::wstring& defaultValue) {
    RegKey key = OpenSection(section, false);
    DWORD type = 0, size = 0;
    if (!key || RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return defaultValue;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got) !=
        ERROR_SUCCESS)
        return defaultValue;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

bool WriteProfileString(const std::wstring& section, const std::wstring& entry, const std::wstring& value) {
    RegKey key = OpenSection(section, true);
    return key && RegSetValueExW(key.get(), entry.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool GetProfileBinary(const std::wstring& section, const std::wstring& entry, std::vector<uint8_t>& data) {
    data.clear();
    RegKey key = OpenSection(section, false);
    DWORD type = 0, size = 0;
    if (!key || RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return false;
    data.resize(size);
    if (RegQueryValueExW(key.get(), entry.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
        data.clear();
        return false;
    }
    data.resize(size);
    return true;
}

bool WriteProfileBinary(const std::wstring& section, const std::wstring& entry, const uint8_t* data,
                        uint32_t size) {
    RegKey key = OpenSection(section, true);
    return key && RegSetValueExW(key.get(), entry.c_str(), 0, REG_BINARY, data, size) == ERROR_SUCCESS;
}

}  // namespace zyr::fw
