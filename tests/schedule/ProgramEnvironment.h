// The built program's resource library, settings.xml and a private settings key for a test process.
#pragma once
#include <windows.h>

#include <string>

namespace zyr::schedule::testing {

// The program folder of the build (dist), as a Windows path.
std::wstring DistFolder();

// Loads dist\MyResources.dll and dist\settings.xml into this process (once), so LoadText and
// the product names answer as in the program, and points the settings store at `settingsKey`
// (HKCU\Software\<settingsKey>), which it empties first.
void UseBuiltProgram(const std::wstring& settingsKey);
// Deletes HKCU\Software\<settingsKey>.
void DeleteSettings(const std::wstring& settingsKey);

// The DWORD value `name` of HKCU\<path>; -1 when it is missing.
long ReadUserDword(const std::wstring& path, const std::wstring& name);

}  // namespace zyr::schedule::testing
