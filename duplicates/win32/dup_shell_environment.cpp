// The duplicate list's shell actions: Recycle Bin, moves, opening files and the folder picker.
#include "duplicates/win32/dup_shell_environment.h"

#include "duplicates/win32/scan_settings.h"
#include "framework/ModalSeam.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace zyr::dup {

namespace {

bool ExistingFolder(const wchar_t* path) { return PathFileExistsW(path) && PathIsDirectoryW(path); }

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM lp, LPARAM data) {
    switch (msg) {
        case BFFM_INITIALIZED:
            if (data) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
            break;
        case BFFM_SELCHANGED: {
            wchar_t path[MAX_PATH] = {};
            const BOOL ok = SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lp), path) && ExistingFolder(path);
            SendMessageW(dialog, BFFM_ENABLEOK, 0, ok);
            break;
        }
        case BFFM_VALIDATEFAILEDW:
            return 1;  // keep the dialog open
    }
    return 0;
}

}  // namespace

std::wstring ShellPathList(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& p : paths) {
        list += p;
        list += L'\0';
    }
    list += L'\0';
    return list;
}

std::wstring BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& current) {
    ModalRequest request;
    request.kind = ModalKind::FolderPicker;
    request.owner = owner;
    request.text = title;
    request.caption = current;
    ModalAnswer answer;
    if (AnswerModal(request, answer)) return answer.path;

    const HRESULT ole = OleInitialize(nullptr);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(current.empty() ? nullptr : current.c_str());
    std::wstring chosen;
    if (PIDLIST_ABSOLUTE items = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(items, path)) chosen = path;
        CoTaskMemFree(items);
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return chosen;
}

std::wstring ShellDupEnvironment::Text(int id) { return loadText_ ? loadText_(static_cast<UINT>(id)) : std::wstring(); }

std::wstring ShellDupEnvironment::FormatByteSize(uint64_t bytes) {
    wchar_t text[255] = {};
    StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 255);
    return text;
}

int ShellDupEnvironment::TextWidth(const std::wstring& text) {
    HDC dc = GetDC(list_);
    HGDIOBJ old = nullptr;
    if (list_) old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(list_, dc);
    return size.cx;
}

void ShellDupEnvironment::ShowMessage(int id) { ShowMessageBox(page_, Text(id), caption_, MB_OK | MB_ICONINFORMATION); }

bool ShellDupEnvironment::RecycleFiles(const std::vector<std::wstring>& paths, bool ownedByPage) {
    if (paths.empty()) return false;
    const std::wstring from = ShellPathList(paths);
    SHFILEOPSTRUCTW op{};
    op.hwnd = ownedByPage ? page_ : nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = ownedByPage ? (FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION) : FOF_ALLOWUNDO;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

// A name in `folder` that neither exists nor is taken by `taken`: "name.ext", then "name (2).ext" ...
namespace {
std::wstring FreeTargetName(const std::wstring& folder, const std::wstring& source, const std::vector<std::wstring>& taken) {
    const wchar_t* file = PathFindFileNameW(source.c_str());
    const wchar_t* ext = PathFindExtensionW(file);
    const std::wstring stem(file, ext);
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    for (int n = 1;; ++n) {
        std::wstring candidate = base + (n == 1 ? std::wstring(file) : stem + L" (" + std::to_wstring(n) + L")" + ext);
        bool used = PathFileExistsW(candidate.c_str()) != FALSE;
        for (const auto& t : taken) used = used || lstrcmpiW(t.c_str(), candidate.c_str()) == 0;
        if (!used) return candidate;
    }
}
}  // namespace

bool ShellDupEnvironment::MoveFiles(const std::vector<std::wstring>& paths, const std::wstring& folder) {
    if (paths.empty()) return false;
    // Each file gets its own free target name, so nothing in the folder is ever replaced,
    // whatever the shell does with a name collision.
    std::vector<std::wstring> targets;
    for (const auto& p : paths) targets.push_back(FreeTargetName(folder, p, targets));
    const std::wstring from = ShellPathList(paths);
    const std::wstring to = ShellPathList(targets);
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_MOVE;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION | FOF_MULTIDESTFILES;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

bool ShellDupEnvironment::FileExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

bool ShellDupEnvironment::IsFolder(const std::wstring& path) { return !path.empty() && ExistingFolder(path.c_str()); }

void ShellDupEnvironment::OpenFile(const std::wstring& path) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"OPEN", path.c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
    if (result == SE_ERR_NOASSOC) ShowMessage(kTextNoApplication);
}

std::wstring ShellDupEnvironment::PickMoveFolder(const std::wstring& current) {
    return BrowseForFolder(page_, Text(kTextMoveTitle), current);
}

void ShellDupEnvironment::StoreMoveFolder(const std::wstring& folder) { WriteDuplicateMoveFolder(folder); }

}  // namespace zyr::dup
