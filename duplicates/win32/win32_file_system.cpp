// Win32 backend of the scanner's file seam.
#include "duplicates/win32/win32_file_system.h"

#include <windows.h>

#include <vector>

namespace zyr::dup {
namespace {

void Fill(const WIN32_FIND_DATAW& data, DirEntry* entry) {
    entry->name = data.cFileName;
    entry->attributes = data.dwFileAttributes;
    entry->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class Listing final : public IFolderListing {
public:
    Listing(HANDLE find, const WIN32_FIND_DATAW& first) : find_(find), data_(first) {}
    ~Listing() override { ::FindClose(find_); }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    bool Next(DirEntry* entry) override {
        if (!pendingFirst_ && !::FindNextFileW(find_, &data_)) return false;
        pendingFirst_ = false;
        Fill(data_, entry);
        return true;
    }

private:
    HANDLE find_;
    WIN32_FIND_DATAW data_;
    bool pendingFirst_ = true;
};

class File final : public IReadableFile {
public:
    explicit File(HANDLE handle) : handle_(handle) {}
    ~File() override { ::CloseHandle(handle_); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool ReadAt(uint64_t offset, void* buffer, uint32_t size, uint32_t* got) override {
        auto out = static_cast<char*>(buffer);
        uint32_t total = 0;
        while (total < size) {
            OVERLAPPED at{};
            const uint64_t position = offset + total;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            DWORD n = 0;
            if (!::ReadFile(handle_, out + total, size - total, &n, &at)) {
                if (::GetLastError() == ERROR_HANDLE_EOF) break;
                *got = total;
                return false;
            }
            if (n == 0) break;
            total += n;
        }
        *got = total;
        return true;
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<IFolderListing> Win32FileSystem::ListFolder(const std::wstring& prefix) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((prefix + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Listing>(find, data);
}

std::unique_ptr<IReadableFile> Win32FileSystem::OpenForReading(const std::wstring& path, bool sequential) {
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (sequential ? FILE_FLAG_SEQUENTIAL_SCAN : 0);
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<File>(handle);
}

bool Win32FileSystem::ExpandEnvironment(const std::wstring& text, size_t capacity, std::wstring* result) {
    std::vector<wchar_t> buffer(capacity + 1, L'\0');
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(capacity));
    if (needed == 0 || needed > capacity) return false;
    *result = buffer.data();  // up to the first null
    return true;
}

IFileSystem& DefaultFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace zyr::dup
