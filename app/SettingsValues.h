// Every per-user setting with its type and default: the one list all readers use.
#pragma once
#include "framework/Profile.h"

#include <string>

namespace zyr::settings {

struct IntValue {
    const wchar_t* name;
    int defaultValue;
};
struct StringValue {
    const wchar_t* name;
    const wchar_t* defaultValue;
};

// Values of the application key itself (the empty section).
inline constexpr IntValue ConfirmExit{L"ConfirmExit", 1};
inline constexpr IntValue MinimizeOnExit{L"MinimizeOnExit", 1};              // as the close policy reads it
inline constexpr IntValue MinimizeOnExitSettings{L"MinimizeOnExit", 0};      // as the settings page shows it
inline constexpr IntValue LaunchOnStartup{L"LaunchOnStartup", 0};
inline constexpr IntValue ShowMessages{L"ShowMessages", 1};
inline constexpr IntValue ShowDefragWarning{L"ShowDefragWarning", 1};
inline constexpr IntValue DefragWarningLimit{L"DefragWarningLimit", 3};     // 1..99
inline constexpr StringValue DefragWarningDrive{L"DefragWarningDrive", L""};
inline constexpr const wchar_t* DefragWarningPercent = L"DefragWarningPercent";  // default: the limit + 1
inline constexpr const wchar_t* DefragWarningDate = L"DefragWarningDate";        // 8 bytes, seconds since 1970 UTC
inline constexpr StringValue SkipScheduleDefrag{L"SkipScheduleDefrag", L""};
inline constexpr IntValue ScanCount{L"SCANCOUNT", 0};
inline constexpr IntValue ScanOnStartup{L"ScanOnStartup", 0};
inline constexpr IntValue RunCount{L"RunCount", 0};
inline constexpr const wchar_t* InstallDate = L"INSTALLDATE";
inline constexpr const wchar_t* InstallDateLocal = L"INSTALLDATELOCAL";
inline constexpr IntValue FromSchedule{L"FROMSCHEDULE", 0};
inline constexpr IntValue XPos{L"XPos", 0};
inline constexpr IntValue YPos{L"YPos", 0};
inline constexpr IntValue Width{L"Width", 800};
inline constexpr IntValue Height{L"Height", 580};
inline constexpr IntValue DuplicateScanAudio{L"DUPLICATE_SCAN_AUDIO", 1};
inline constexpr IntValue DuplicateScanVideo{L"DUPLICATE_SCAN_VIDEO", 1};
inline constexpr IntValue DuplicateScanImage{L"DUPLICATE_SCAN_IMAGE", 1};
inline constexpr IntValue DuplicateScanDocs{L"DUPLICATE_SCAN_DOCS", 1};
inline constexpr IntValue DuplicateScanFolders{L"DUPLICATE_SCAN_FOLDERS", 1};
inline constexpr IntValue DuplicateScanRadio{L"DUPLICATE_SCAN_RADIO", 1};
inline constexpr StringValue DuplicateFolder{L"DUPLICATE_FOLDER", L""};
inline constexpr StringValue DuplicateMoveFolder{L"DUPLICATE_MOVE_FOLDER", L""};

// Section "HomeScreenIcons": entries "0", "1", "2" name the three home-page buttons.
inline constexpr const wchar_t* HomeScreenIconsSection = L"HomeScreenIcons";

inline int Read(const IntValue& v) { return fw::GetProfileInt(L"", v.name, v.defaultValue); }
inline bool Write(const IntValue& v, int value) { return fw::WriteProfileInt(L"", v.name, value); }
inline std::wstring Read(const StringValue& v) { return fw::GetProfileString(L"", v.name, v.defaultValue); }
inline bool Write(const StringValue& v, const std::wstring& value) {
    return fw::WriteProfileString(L"", v.name, value);
}

// The machine-wide "Silent" value (HKLM\Software\<COMPANYNAME>\<APPNAME>), set by the installer:
// returns it and resets a non-zero value to 0.
DWORD TakeMachineSilentValue();

}  // namespace zyr::settings
