// Privacy cleanup: the temporary-file folders and the recently used documents.
#include "app/PrivacyCleanup.h"
#include <shlobj.h>
#include <shlwapi.h>

namespace {

// An environment path expanded into 260 characters; "" when it does not fit.
std::wstring Expand(const wchar_t* path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(path, buffer, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return L"";
    return buffer;
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() { if (handle_ != INVALID_HANDLE_VALUE) ::FindClose(handle_); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The folder's path with every link resolved ("" when it cannot be opened).
std::wstring FinalPath(const std::wstring& folder) {
    HANDLE handle = ::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return L"";
    wchar_t buffer[1024] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer, 1024, FILE_NAME_NORMALIZED);
    ::CloseHandle(handle);
    if (length == 0 || length >= 1024) return L"";
    std::wstring path(buffer, length);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// A subfolder that resolves somewhere else than inside its parent is a link in disguise
// (a file system that does not report the reparse attribute, such as a mounted Unix tree).
bool IsRealSubfolder(const std::wstring& parentFinal, const std::wstring& child, const std::wstring& name) {
    if (parentFinal.empty()) return true;  // nothing to compare with: the attribute check stands alone
    const std::wstring childFinal = FinalPath(child);
    if (childFinal.empty()) return false;
    return ::CompareStringOrdinal(childFinal.c_str(), -1, (parentFinal + L"\\" + name).c_str(), -1, TRUE) == CSTR_EQUAL;
}

void CleanFolder(const std::wstring& folder) {
    if (!folder.empty()) DeleteFolderContents(folder, false);
}

}  // namespace

DWORD DeleteFolderContents(const std::wstring& folderIn, bool removeFolder) {
    std::wstring folder = folderIn;
    if (folder.empty()) return ERROR_INVALID_DATA;
    if (folder.back() != L'\\') folder += L'\\';
    WIN32_FIND_DATAW data{};
    FindHandle find(::FindFirstFileW((folder + L"*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) return ERROR_INVALID_DATA;  // 13
    const std::wstring parentFinal = FinalPath(folder);
    DWORD result = 0;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        // Junctions and symbolic links: neither followed nor deleted.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        const std::wstring path = folder + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsRealSubfolder(parentFinal, path, name)) continue;
            const DWORD inner = DeleteFolderContents(path, true);
            if (inner != 0) result = inner;
        } else if (!::DeleteFileW(path.c_str())) {
            result = ::GetLastError();
        }
    } while (::FindNextFileW(find.get(), &data));
    if (removeFolder && !::RemoveDirectoryW(folder.c_str())) result = ::GetLastError();
    return result;
}

int CleanTemporaryFiles() {
    CleanFolder(Expand(L"%windir%\\Temp\\"));
    CleanFolder(Expand(L"%TEMP%"));
    CleanFolder(Expand(L"%userprofile%\\Local Settings\\Temp\\"));
    wchar_t cache[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, cache))) CleanFolder(cache);
    return 1;
}

int CleanRecentDocuments() {
    CleanFolder(Expand(L"%userprofile%\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\"));
    CleanFolder(Expand(L"%USERPROFILE%\\Recent\\"));
    const wchar_t kRecentDocs[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\";
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRecentDocs, 0, 0x3001B, &key) == ERROR_SUCCESS) {
        ::SHDeleteKeyW(key, nullptr);
        ::RegCloseKey(key);
        HKEY created = nullptr;
        if (::RegCreateKeyW(HKEY_CURRENT_USER, kRecentDocs, &created) == ERROR_SUCCESS) ::RegCloseKey(created);
    }
    return 1;
}
