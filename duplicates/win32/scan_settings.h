// The duplicate scan options in the settings store (the application key's values).
#pragma once
#include "duplicates/core/scan_options.h"

namespace zyr::dup {

// The stored options with their defaults. A stored folder that is not an existing folder
// counts as none (empty).
DuplicateScanOptions ReadDuplicateScanOptions();

// What the start page writes when it is destroyed: the folder, the subfolder choice and the
// four kind boxes.
void WriteDuplicateScanOptions(const DuplicateScanOptions& options);

// Written at once when the user switches between all files (1) and selected kinds (0).
void WriteDuplicateScanAllFiles(int32_t allFiles);

// Written each time the user picks a target folder for moving files.
void WriteDuplicateMoveFolder(const std::wstring& folder);

}  // namespace zyr::dup
