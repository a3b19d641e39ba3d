// The skin's and the shell's access to the settings store, in one place.
#pragma once
#include <string>
#include <vector>

// Empty section = the values of the key itself; a named section is a subkey.
int ProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue);
void WriteProfileIntValue(const wchar_t* section, const wchar_t* entry, int value);
std::wstring ProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue = L"");
void WriteProfileStringValue(const wchar_t* section, const wchar_t* entry, const std::wstring& value);
