// The duplicate list's environment on Windows: resource texts, the shell and the file system.
#pragma once
#include "duplicates/list/dup_environment.h"

#include <windows.h>

#include <functional>

namespace zyr::dup {

class ShellDupEnvironment final : public IDupEnvironment {
public:
    using TextLoader = std::function<std::wstring(UINT)>;
    // `page` owns the confirmation of the page's deletion and the folder picker; `list` gives
    // the font that texts are measured in.
    ShellDupEnvironment(TextLoader loadText, std::wstring caption)
        : loadText_(std::move(loadText)), caption_(std::move(caption)) {}
    void SetWindows(HWND page, HWND list) { page_ = page; list_ = list; }

    std::wstring Text(int id) override;
    std::wstring FormatByteSize(uint64_t bytes) override;
    int TextWidth(const std::wstring& text) override;
    void ShowMessage(int id) override;
    bool RecycleFiles(const std::vector<std::wstring>& paths, bool ownedByPage) override;
    bool MoveFiles(const std::vector<std::wstring>& paths, const std::wstring& folder) override;
    bool FileExists(const std::wstring& path) override;
    bool IsFolder(const std::wstring& path) override;
    void OpenFile(const std::wstring& path) override;
    std::wstring PickMoveFolder(const std::wstring& current) override;
    void StoreMoveFolder(const std::wstring& folder) override;

private:
    TextLoader loadText_;
    std::wstring caption_;
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

// The shell's double-null-terminated file list: every path followed by a null, then one more.
std::wstring ShellPathList(const std::vector<std::wstring>& paths);

// SHBrowseForFolderW (flags 0x71) starting at `current`, OK only on an existing folder; through
// the modal seam when a test answers. Empty when cancelled or not a file-system folder.
std::wstring BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& current);

}  // namespace zyr::dup
