// The scanner's door to files: folder listing, reading, environment strings. The product binds
// the Win32 calls (duplicates/win32), native builds POSIX (duplicates/posix).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace zyr::dup {

// One entry of a folder listing, as FindFirstFileW/FindNextFileW report it.
struct DirEntry {
    std::wstring name;
    uint32_t attributes = 0;  // FILE_ATTRIBUTE_* values
    uint64_t size = 0;
};

class IFolderListing {
public:
    virtual ~IFolderListing() = default;
    // The next entry; false at the end or on an error.
    virtual bool Next(DirEntry* entry) = 0;
};

class IReadableFile {
public:
    virtual ~IReadableFile() = default;
    // Reads up to `size` bytes at `offset`. `*got` < `size` only at the end of the file.
    // False on a read error.
    virtual bool ReadAt(uint64_t offset, void* buffer, uint32_t size, uint32_t* got) = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // The path separator the paths of this file system use.
    virtual wchar_t Separator() const = 0;
    // True where names compare without regard to case, so reported paths may be lowercased.
    virtual bool FoldsCase() const = 0;
    // The entries of the folder `prefix` (which ends in the separator), "." and ".." included
    // where the system reports them; null when the folder cannot be listed.
    virtual std::unique_ptr<IFolderListing> ListFolder(const std::wstring& prefix) = 0;
    // Opens a file for shared reading; null on failure. `sequential` hints a front-to-back read.
    virtual std::unique_ptr<IReadableFile> OpenForReading(const std::wstring& path, bool sequential) = 0;
    // ExpandEnvironmentStringsW into a buffer of `capacity` characters; false when it fails or
    // the result does not fit.
    virtual bool ExpandEnvironment(const std::wstring& text, size_t capacity, std::wstring* result) = 0;
};

// This platform's file system (defined by the backend library that is linked).
IFileSystem& DefaultFileSystem();

}  // namespace zyr::dup
