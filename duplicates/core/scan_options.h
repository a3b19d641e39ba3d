// The duplicate scan options as the start page keeps them, their settings keys, and the scan mask.
#pragma once
#include <cstdint>
#include <string>

namespace zyr::dup {

// Settings names (application profile, empty section name).
inline constexpr wchar_t kDuplicateFolderKey[] = L"DUPLICATE_FOLDER";
inline constexpr wchar_t kDuplicateScanFoldersKey[] = L"DUPLICATE_SCAN_FOLDERS";
inline constexpr wchar_t kDuplicateScanRadioKey[] = L"DUPLICATE_SCAN_RADIO";
inline constexpr wchar_t kDuplicateScanImageKey[] = L"DUPLICATE_SCAN_IMAGE";
inline constexpr wchar_t kDuplicateScanAudioKey[] = L"DUPLICATE_SCAN_AUDIO";
inline constexpr wchar_t kDuplicateScanVideoKey[] = L"DUPLICATE_SCAN_VIDEO";
inline constexpr wchar_t kDuplicateScanDocsKey[] = L"DUPLICATE_SCAN_DOCS";
inline constexpr wchar_t kDuplicateMoveFolderKey[] = L"DUPLICATE_MOVE_FOLDER";

// The options with their defaults.
struct DuplicateScanOptions {
    std::wstring folder;          // empty: no folder
    int32_t scanFolders = 1;      // non-zero: include subfolders
    int32_t scanAllFiles = 1;     // 1: every file; 0: only the kinds checked below
    int32_t scanImage = 1;
    int32_t scanAudio = 1;
    int32_t scanVideo = 1;
    int32_t scanDocs = 1;
    std::wstring moveFolder;      // empty: none
};

// The scanner's category mask: CategoryOther for all files, otherwise the OR of the checked
// kinds. 0 means no kind is checked, and no scan may start.
uint32_t ScanMaskFor(const DuplicateScanOptions& options);

}  // namespace zyr::dup
