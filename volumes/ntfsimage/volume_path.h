// Win32 path forms the volume door accepts: "\\.\V:", "\\?\V:\dir\file", "V:\dir\file".
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zyr::ntfs {

struct VolumePath {
    wchar_t letter = 0;  // upper case
    bool device = false;  // the volume itself ("\\.\V:" or "\\?\V:")
    std::vector<std::wstring> components;  // inside the volume; empty = the root directory
};

// Null when the path does not name a drive letter. "\" and "/" both separate; empty
// components (doubled separators) are skipped.
std::optional<VolumePath> ParseVolumePath(const std::wstring& path);

// The drive letter a path or root ("V:\", "V:", "\\?\V:\") names, or 0.
wchar_t DriveLetterOf(const std::wstring& path);

// GetLogicalDriveStringsW's answer for these letters ("V:\", NUL, ..., NUL): the characters
// written without the last NUL, or the size needed with it when the buffer is too small.
uint32_t WriteDriveStrings(const std::vector<wchar_t>& letters, uint32_t bufferLength, wchar_t* buffer);

}  // namespace zyr::ntfs
