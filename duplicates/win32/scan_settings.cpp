// Reading and writing the duplicate scan options through the settings store.
#include "duplicates/win32/scan_settings.h"

#include "app/SettingsValues.h"

#include <windows.h>

namespace zyr::dup {
namespace {

std::wstring ExistingFolderOrNone(const std::wstring& folder) {
    if (folder.empty()) return folder;
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return isFolder ? folder : std::wstring();
}

}  // namespace

DuplicateScanOptions ReadDuplicateScanOptions() {
    namespace s = zyr::settings;
    DuplicateScanOptions options;
    options.folder = ExistingFolderOrNone(s::Read(s::DuplicateFolder));
    options.scanFolders = s::Read(s::DuplicateScanFolders);
    options.scanAllFiles = s::Read(s::DuplicateScanRadio);
    options.scanImage = s::Read(s::DuplicateScanImage);
    options.scanAudio = s::Read(s::DuplicateScanAudio);
    options.scanVideo = s::Read(s::DuplicateScanVideo);
    options.scanDocs = s::Read(s::DuplicateScanDocs);
    options.moveFolder = ExistingFolderOrNone(s::Read(s::DuplicateMoveFolder));
    return options;
}

void WriteDuplicateScanOptions(const DuplicateScanOptions& options) {
    namespace s = zyr::settings;
    s::Write(s::DuplicateFolder, options.folder);
    s::Write(s::DuplicateScanFolders, options.scanFolders);
    s::Write(s::DuplicateScanImage, options.scanImage);
    s::Write(s::DuplicateScanAudio, options.scanAudio);
    s::Write(s::DuplicateScanVideo, options.scanVideo);
    s::Write(s::DuplicateScanDocs, options.scanDocs);
}

void WriteDuplicateScanAllFiles(int32_t allFiles) {
    zyr::settings::Write(zyr::settings::DuplicateScanRadio, allFiles);
}

void WriteDuplicateMoveFolder(const std::wstring& folder) {
    zyr::settings::Write(zyr::settings::DuplicateMoveFolder, folder);
}

}  // namespace zyr::dup
