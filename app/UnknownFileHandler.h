// Routes files of unregistered types to the companion program, and undoes it at uninstall.
#pragma once
#include <string>

namespace zyr::app {

// Sets HKCR\Unknown\shell\openas\command and ...\opendlg\command to "<folder>\noapp.exe %1",
// keeping the first command found in the value "<APPNAME>.old".
void RegisterUnknownFileHandler(const std::wstring& programFolder, const std::wstring& appName);
// Puts the saved commands back and removes the backups; keys without a backup stay as they are.
void RestoreUnknownFileHandler(const std::wstring& appName);

}  // namespace zyr::app
