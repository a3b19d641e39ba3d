// VolumeRouter: per-drive routing, handle ownership and the drive lists of both backends.
#include "volumes/ntfsimage/volume_router.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/volume_path.h"

#include <algorithm>

namespace zyr::vol {
namespace {

thread_local uint32_t t_lastError = 0;

}  // namespace

VolumeRouter::VolumeRouter(std::unique_ptr<ImageVolumeApi> images, IVolumeApi* platform)
    : images_(std::move(images)), platform_(platform) {}

template <typename F> auto VolumeRouter::Call(IVolumeApi* backend, F&& call) {
    backend->SetLastError(t_lastError);
    auto result = call(*backend);
    t_lastError = backend->GetLastError();
    return result;
}

IVolumeApi* VolumeRouter::ForPath(const std::wstring& path) {
    const wchar_t letter = ntfs::DriveLetterOf(path);
    if (letter && images_->Serves(letter)) return images_.get();
    return platform_;
}

IVolumeApi* VolumeRouter::ForHandle(Handle handle) {
    if (images_->OwnsHandle(handle)) return images_.get();
    return platform_;
}

Handle VolumeRouter::CreateFile(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                                uint32_t flags) {
    IVolumeApi* b = ForPath(path);
    if (!b) {
        t_lastError = win::ERROR_PATH_NOT_FOUND_;
        return kInvalidHandle;
    }
    return Call(b, [&](IVolumeApi& api) { return api.CreateFile(path, access, share, disposition, flags); });
}

bool VolumeRouter::CloseHandle(Handle handle) {
    IVolumeApi* b = ForHandle(handle);
    if (!b) return (t_lastError = win::ERROR_INVALID_HANDLE_, false);
    return Call(b, [&](IVolumeApi& api) { return api.CloseHandle(handle); });
}

bool VolumeRouter::DeviceIoControl(Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                                   uint32_t outSize, uint32_t* bytesReturned) {
    IVolumeApi* b = ForHandle(handle);
    if (!b) return (t_lastError = win::ERROR_INVALID_HANDLE_, false);
    return Call(b, [&](IVolumeApi& api) { return api.DeviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned); });
}

uint32_t VolumeRouter::SetFilePointer(Handle handle, int32_t distanceLow, int32_t* distanceHigh, uint32_t moveMethod) {
    IVolumeApi* b = ForHandle(handle);
    if (!b) return (t_lastError = win::ERROR_INVALID_HANDLE_, win::INVALID_SET_FILE_POINTER_);
    return Call(b, [&](IVolumeApi& api) { return api.SetFilePointer(handle, distanceLow, distanceHigh, moveMethod); });
}

bool VolumeRouter::ReadFile(Handle handle, void* buffer, uint32_t toRead, uint32_t* read) {
    IVolumeApi* b = ForHandle(handle);
    if (!b) {
        if (read) *read = 0;
        return (t_lastError = win::ERROR_INVALID_HANDLE_, false);
    }
    return Call(b, [&](IVolumeApi& api) { return api.ReadFile(handle, buffer, toRead, read); });
}

bool VolumeRouter::GetFileSizeEx(Handle handle, int64_t* size) {
    IVolumeApi* b = ForHandle(handle);
    if (!b) return (t_lastError = win::ERROR_INVALID_HANDLE_, false);
    return Call(b, [&](IVolumeApi& api) { return api.GetFileSizeEx(handle, size); });
}

Handle VolumeRouter::FindFirstFile(const std::wstring& pattern, FindData* data) {
    IVolumeApi* b = ForPath(pattern);
    if (!b) return (t_lastError = win::ERROR_PATH_NOT_FOUND_, kInvalidHandle);
    return Call(b, [&](IVolumeApi& api) { return api.FindFirstFile(pattern, data); });
}

bool VolumeRouter::FindNextFile(Handle find, FindData* data) {
    IVolumeApi* b = ForHandle(find);
    if (!b) return (t_lastError = win::ERROR_INVALID_HANDLE_, false);
    return Call(b, [&](IVolumeApi& api) { return api.FindNextFile(find, data); });
}

bool VolumeRouter::FindClose(Handle find) {
    IVolumeApi* b = ForHandle(find);
    if (!b) return (t_lastError = win::ERROR_INVALID_HANDLE_, false);
    return Call(b, [&](IVolumeApi& api) { return api.FindClose(find); });
}

uint32_t VolumeRouter::GetLastError() { return t_lastError; }
void VolumeRouter::SetLastError(uint32_t error) { t_lastError = error; }

uint32_t VolumeRouter::GetLogicalDriveStrings(uint32_t bufferLength, wchar_t* buffer) {
    std::vector<wchar_t> letters = images_->Letters();
    if (platform_) {
        std::vector<wchar_t> platform(512);
        uint32_t n = platform_->GetLogicalDriveStrings(uint32_t(platform.size()), platform.data());
        if (n >= platform.size()) {
            platform.resize(n + 1);
            n = platform_->GetLogicalDriveStrings(uint32_t(platform.size()), platform.data());
        }
        for (uint32_t i = 0; i < n && i < platform.size(); ++i)
            if ((i == 0 || platform[i - 1] == 0) && platform[i] >= L'A' && platform[i] <= L'Z')
                letters.push_back(platform[i]);
    }
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    return ntfs::WriteDriveStrings(letters, bufferLength, buffer);
}

uint32_t VolumeRouter::GetDriveType(const std::wstring& root) {
    IVolumeApi* b = ForPath(root);
    return b ? b->GetDriveType(root) : win::DRIVE_NO_ROOT_DIR_;
}

bool VolumeRouter::GetVolumeInformation(const std::wstring& root, std::wstring* volumeName, uint32_t* serialNumber,
                                        uint32_t* maxComponentLength, uint32_t* fileSystemFlags,
                                        std::wstring* fileSystemName) {
    IVolumeApi* b = ForPath(root);
    if (!b) return (t_lastError = win::ERROR_PATH_NOT_FOUND_, false);
    return Call(b, [&](IVolumeApi& api) {
        return api.GetVolumeInformation(root, volumeName, serialNumber, maxComponentLength, fileSystemFlags, fileSystemName);
    });
}

bool VolumeRouter::GetDiskFreeSpaceEx(const std::wstring& root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                                      uint64_t* totalFreeBytes) {
    IVolumeApi* b = ForPath(root);
    if (!b) return (t_lastError = win::ERROR_PATH_NOT_FOUND_, false);
    return Call(b, [&](IVolumeApi& api) { return api.GetDiskFreeSpaceEx(root, freeBytesAvailable, totalBytes, totalFreeBytes); });
}

std::vector<std::pair<wchar_t, std::wstring>> ParseImageDrives(const std::wstring& text,
                                                               std::vector<std::wstring>* errors) {
    std::vector<std::pair<wchar_t, std::wstring>> out;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(L';', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring item = text.substr(pos, end - pos);
        pos = end + 1;
        while (!item.empty() && (item.front() == L' ' || item.front() == L'\t')) item.erase(item.begin());
        while (!item.empty() && (item.back() == L' ' || item.back() == L'\t')) item.pop_back();
        if (item.empty()) continue;
        wchar_t letter = item[0];
        if (letter >= L'a' && letter <= L'z') letter = wchar_t(letter - L'a' + L'A');
        const bool ok = item.size() > 3 && letter >= L'A' && letter <= L'Z' && item[1] == L':' && item[2] == L'=';
        if (!ok) {
            if (errors) errors->push_back(item);
            continue;
        }
        auto same = std::find_if(out.begin(), out.end(), [&](const auto& p) { return p.first == letter; });
        if (same != out.end()) {
            if (errors) errors->push_back(item);
            continue;
        }
        out.emplace_back(letter, item.substr(3));
    }
    return out;
}

}  // namespace zyr::vol
