// Win32 file access for the scanner: FindFirstFileW listings, CreateFileW/ReadFile, environment.
#pragma once
#include "duplicates/core/file_system.h"

namespace zyr::dup {

class Win32FileSystem final : public IFileSystem {
public:
    wchar_t Separator() const override { return L'\\'; }
    bool FoldsCase() const override { return true; }
    std::unique_ptr<IFolderListing> ListFolder(const std::wstring& prefix) override;
    std::unique_ptr<IReadableFile> OpenForReading(const std::wstring& path, bool sequential) override;
    bool ExpandEnvironment(const std::wstring& text, size_t capacity, std::wstring* result) override;
};

}  // namespace zyr::dup
