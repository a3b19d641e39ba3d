// The settings store as the skin and the shell use it: HKCU\Software\<company>\<title>.
#include "skin/ProfileLink.h"
#include "framework/ResourceInstance.h"
#include <windows.h>

namespace {

std::wstring KeyPath(const wchar_t* section) {
    std::wstring title = LoadResourceString(0xE000);
    if (title.empty()) title = L"Zyr Disk Care";
    std::wstring path = L"Software\\Tavrin Labs\\" + title;
    if (section && *section) path += L"\\" + std::wstring(section);
    return path;
}

class Key {
public:
    Key(const wchar_t* section, bool create) {
        const std::wstring path = KeyPath(section);
        if (create)
            ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        else
            ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_);
    }
    ~Key() { if (key_) ::RegCloseKey(key_); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

int ProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue) {
    Key key(section, false);
    DWORD value = 0, type = 0, size = sizeof(value);
    if (!key.get() || ::RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return defaultValue;
    return static_cast<int>(value);
}

void WriteProfileIntValue(const wchar_t* section, const wchar_t* entry, int value) {
    Key key(section, true);
    const DWORD data = static_cast<DWORD>(value);
    if (key.get()) ::RegSetValueExW(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

std::wstring ProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue) {
    Key key(section, false);
    DWORD type = 0, size = 0;
    if (!key.get() || ::RegQueryValueExW(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return defaultValue ? defaultValue : L"";
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return defaultValue ? defaultValue : L"";
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

void WriteProfileStringValue(const wchar_t* section, const wchar_t* entry, const std::wstring& value) {
    Key key(section, true);
    if (key.get())
        ::RegSetValueExW(key.get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
