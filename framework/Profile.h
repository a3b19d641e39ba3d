// The settings store: per-user values under HKCU\Software\<company>\<application title>,
// named sections as subkeys. Failures are silent: reads give their defaults.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zyr::fw {

// Points the store at Software\<company>\<appTitle> under HKEY_CURRENT_USER.
void SetRegistryKey(const std::wstring& company, const std::wstring& appTitle);
// The key of a section ("" for the application key itself), relative to HKEY_CURRENT_USER.
std::wstring ProfileKeyPath(const std::wstring& section = L"");

int GetProfileInt(const std::wstring& section, const std::wstring& entry, int defaultValue);
bool WriteProfileInt(const std::wstring& section, const std::wstring& entry, int value);
std::wstring GetProfileString(const std::wstring& section, const std::wstring& entry,
                              const std::wstring& defaultValue = L"");
bool WriteProfileString(const std::wstring& section, const std::wstring& entry, const std::wstring& value);
// False when the value is missing; `data` then stays empty.
bool GetProfileBinary(const std::wstring& section, const std::wstring& entry, std::vector<uint8_t>& data);
bool WriteProfileBinary(const std::wstring& section, const std::wstring& entry, const uint8_t* data,
                        uint32_t size);

}  // namespace zyr::fw
