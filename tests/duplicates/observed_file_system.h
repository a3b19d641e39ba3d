// A pass-through file system for scanner tests: counts what the scanner reads from the real
// files and lets a test fail chosen files or act when a file is opened or a folder listed.
#pragma once
#include "duplicates/core/file_system.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace zyr::dup::test {

class ObservedFileSystem final : public IFileSystem {
public:
    explicit ObservedFileSystem(IFileSystem& real = DefaultFileSystem()) : real_(real) {}

    wchar_t Separator() const override { return real_.Separator(); }
    bool FoldsCase() const override { return real_.FoldsCase(); }
    std::unique_ptr<IFolderListing> ListFolder(const std::wstring& prefix) override;
    std::unique_ptr<IReadableFile> OpenForReading(const std::wstring& path, bool sequential) override;
    bool ExpandEnvironment(const std::wstring& text, size_t capacity, std::wstring* result) override {
        return real_.ExpandEnvironment(text, capacity, result);
    }

    // Highest byte offset read (offset + bytes got) per path; 0 when never read.
    uint64_t ReadExtent(const std::wstring& path);
    int Opens(const std::wstring& path);

    std::set<std::wstring> failOpen;           // these paths cannot be opened
    std::set<std::wstring> failReadsBeyond1k;  // reads past the first 1024 bytes fail
    std::function<void(const std::wstring& path)> onOpen;  // before each open
    std::function<void(const std::wstring& prefix)> onList;  // before each listing

    void NoteRead(const std::wstring& path, uint64_t end);

private:
    IFileSystem& real_;
    std::mutex lock_;
    std::map<std::wstring, uint64_t> extent_;
    std::map<std::wstring, int> opens_;
};

}  // namespace zyr::dup::test
