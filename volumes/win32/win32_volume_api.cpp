// Win32VolumeApi: each call is the Windows call with the same arguments.
#include "volumes/win32/win32_volume_api.h"

#include <windows.h>

namespace zyr::vol {
namespace {

HANDLE ToHandle(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle FromHandle(HANDLE h) { return h == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<Handle>(h); }
uint64_t Join(FILETIME t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

void Convert(const WIN32_FIND_DATAW& w, FindData* d) {
    if (!d) return;
    d->attributes = w.dwFileAttributes;
    d->creationTime = Join(w.ftCreationTime);
    d->lastAccessTime = Join(w.ftLastAccessTime);
    d->lastWriteTime = Join(w.ftLastWriteTime);
    d->fileSize = (uint64_t(w.nFileSizeHigh) << 32) | w.nFileSizeLow;
    d->fileName = w.cFileName;
    d->alternateFileName = w.cAlternateFileName;
}

}  // namespace

Handle Win32VolumeApi::CreateFile(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                                  uint32_t flags) {
    return FromHandle(::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
}

bool Win32VolumeApi::CloseHandle(Handle handle) { return ::CloseHandle(ToHandle(handle)) != FALSE; }

bool Win32VolumeApi::DeviceIoControl(Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                                     uint32_t outSize, uint32_t* bytesReturned) {
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(ToHandle(handle), code, const_cast<void*>(in), inSize, out, outSize, &returned,
                                      nullptr);
    if (bytesReturned && (ok || ::GetLastError() == ERROR_MORE_DATA)) *bytesReturned = returned;
    return ok != FALSE;
}

uint32_t Win32VolumeApi::SetFilePointer(Handle handle, int32_t distanceLow, int32_t* distanceHigh,
                                        uint32_t moveMethod) {
    LONG high = distanceHigh ? *distanceHigh : 0;
    const DWORD low = ::SetFilePointer(ToHandle(handle), distanceLow, distanceHigh ? &high : nullptr, moveMethod);
    if (distanceHigh) *distanceHigh = high;
    return low;
}

bool Win32VolumeApi::ReadFile(Handle handle, void* buffer, uint32_t toRead, uint32_t* read) {
    DWORD done = 0;
    const BOOL ok = ::ReadFile(ToHandle(handle), buffer, toRead, &done, nullptr);
    if (read) *read = done;
    return ok != FALSE;
}

bool Win32VolumeApi::GetFileSizeEx(Handle handle, int64_t* size) {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(ToHandle(handle), &value)) return false;
    if (size) *size = value.QuadPart;
    return true;
}

Handle Win32VolumeApi::FindFirstFile(const std::wstring& pattern, FindData* data) {
    WIN32_FIND_DATAW w{};
    HANDLE h = ::FindFirstFileW(pattern.c_str(), &w);
    if (h != INVALID_HANDLE_VALUE) Convert(w, data);
    return FromHandle(h);
}

bool Win32VolumeApi::FindNextFile(Handle find, FindData* data) {
    WIN32_FIND_DATAW w{};
    if (!::FindNextFileW(ToHandle(find), &w)) return false;
    Convert(w, data);
    return true;
}

bool Win32VolumeApi::FindClose(Handle find) { return ::FindClose(ToHandle(find)) != FALSE; }
uint32_t Win32VolumeApi::GetLastError() { return ::GetLastError(); }
void Win32VolumeApi::SetLastError(uint32_t error) { ::SetLastError(error); }

uint32_t Win32VolumeApi::GetLogicalDriveStrings(uint32_t bufferLength, wchar_t* buffer) {
    return ::GetLogicalDriveStringsW(bufferLength, buffer);
}

uint32_t Win32VolumeApi::GetDriveType(const std::wstring& root) { return ::GetDriveTypeW(root.c_str()); }

bool Win32VolumeApi::GetVolumeInformation(const std::wstring& root, std::wstring* volumeName, uint32_t* serialNumber,
                                          uint32_t* maxComponentLength, uint32_t* fileSystemFlags,
                                          std::wstring* fileSystemName) {
    wchar_t name[MAX_PATH + 1] = {}, fs[MAX_PATH + 1] = {};
    DWORD serial = 0, maxComponent = 0, flags = 0;
    if (!::GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, &serial, &maxComponent, &flags, fs, MAX_PATH + 1))
        return false;
    if (volumeName) *volumeName = name;
    if (serialNumber) *serialNumber = serial;
    if (maxComponentLength) *maxComponentLength = maxComponent;
    if (fileSystemFlags) *fileSystemFlags = flags;
    if (fileSystemName) *fileSystemName = fs;
    return true;
}

bool Win32VolumeApi::GetDiskFreeSpaceEx(const std::wstring& root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                                        uint64_t* totalFreeBytes) {
    ULARGE_INTEGER avail{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(root.c_str(), &avail, &total, &free)) return false;
    if (freeBytesAvailable) *freeBytesAvailable = avail.QuadPart;
    if (totalBytes) *totalBytes = total.QuadPart;
    if (totalFreeBytes) *totalFreeBytes = free.QuadPart;
    return true;
}

}  // namespace zyr::vol
