// POSIX file access for the scanner: the Win32 view of folders and files on a POSIX system.
#pragma once
#include "duplicates/core/file_system.h"

namespace zyr::dup {

// Attributes as the walk sees them: a name starting with "." is hidden, a file without any
// write permission is read-only, a symbolic link is a reparse point, and anything that is
// neither a regular file nor a folder (device, pipe, socket) is a system file. Listings are
// sorted by name (UTF-16 code units) so scans are repeatable.
class PosixFileSystem final : public IFileSystem {
public:
    wchar_t Separator() const override { return L'/'; }
    bool FoldsCase() const override { return false; }
    std::unique_ptr<IFolderListing> ListFolder(const std::wstring& prefix) override;
    std::unique_ptr<IReadableFile> OpenForReading(const std::wstring& path, bool sequential) override;
    bool ExpandEnvironment(const std::wstring& text, size_t capacity, std::wstring* result) override;
};

}  // namespace zyr::dup
