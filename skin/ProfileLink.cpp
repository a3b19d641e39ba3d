// The settings store as the skin and the shell use it (the framework's profile functions).
#include "skin/ProfileLink.h"
#include "framework/Profile.h"

int ProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue) {
    return zyr::fw::GetProfileInt(section, entry, defaultValue);
}

void WriteProfileIntValue(const wchar_t* section, const wchar_t* entry, int value) {
    zyr::fw::WriteProfileInt(section, entry, value);
}

std::wstring ProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue) {
    return zyr::fw::GetProfileString(section, entry, defaultValue ? defaultValue : L"");
}

void WriteProfileStringValue(const wchar_t* section, const wchar_t* entry, const std::wstring& value) {
    zyr::fw::WriteProfileString(section, entry, value);
}
