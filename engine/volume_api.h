// The one door through which the engine reaches volumes and files: the Win32 calls it makes,
// with Windows' arguments, buffers, results and error codes. Two backends stand behind it:
// the real calls (volumes/win32) and NTFS image files (volumes/ntfsimage).
#pragma once
#include <cstdint>
#include <string>
#ifdef _WIN32
// <windows.h> turns CreateFile, FindFirstFile, ... into macros; seeing them here first gives the
// methods below the same spelling in every file of the Windows build.
#include <windows.h>
#endif

namespace zyr::vol {

using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;  // INVALID_HANDLE_VALUE

// What FindFirstFileW/FindNextFileW report of one entry (WIN32_FIND_DATAW).
struct FindData {
    uint32_t attributes = 0;
    uint64_t creationTime = 0;  // FILETIME values, unchanged
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t fileSize = 0;
    std::wstring fileName;           // at most 259 characters on Windows
    std::wstring alternateFileName;  // the 8.3 name, empty when there is none
};

class IVolumeApi {
public:
    virtual ~IVolumeApi() = default;

    // CreateFileW: a volume device ("\\.\C:") or a file ("\\?\C:\dir\file").
    virtual Handle CreateFile(const std::wstring& path, uint32_t access, uint32_t share,
                              uint32_t disposition, uint32_t flags) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    // DeviceIoControl. bytesReturned may be null. Warnings (ERROR_MORE_DATA) return false
    // with the output and bytesReturned filled, as Windows does.
    virtual bool DeviceIoControl(Handle handle, uint32_t code, const void* in, uint32_t inSize,
                                 void* out, uint32_t outSize, uint32_t* bytesReturned) = 0;
    // SetFilePointer: returns the new low 32 bits, or INVALID_SET_FILE_POINTER_ with the last
    // error set; distanceHigh (may be null) carries and receives the high 32 bits.
    virtual uint32_t SetFilePointer(Handle handle, int32_t distanceLow, int32_t* distanceHigh,
                                    uint32_t moveMethod) = 0;
    virtual bool ReadFile(Handle handle, void* buffer, uint32_t toRead, uint32_t* read) = 0;
    virtual bool GetFileSizeEx(Handle handle, int64_t* size) = 0;

    virtual Handle FindFirstFile(const std::wstring& pattern, FindData* data) = 0;
    virtual bool FindNextFile(Handle find, FindData* data) = 0;
    virtual bool FindClose(Handle find) = 0;

    virtual uint32_t GetLastError() = 0;
    virtual void SetLastError(uint32_t error) = 0;

    // Drive lists. GetLogicalDriveStringsW: "C:\", "D:\", ... each followed by a zero, then a
    // final zero; returns the length without the final zero, or the size needed when short.
    virtual uint32_t GetLogicalDriveStrings(uint32_t bufferLength, wchar_t* buffer) = 0;
    virtual uint32_t GetDriveType(const std::wstring& root) = 0;
    virtual bool GetVolumeInformation(const std::wstring& root, std::wstring* volumeName,
                                      uint32_t* serialNumber, uint32_t* maxComponentLength,
                                      uint32_t* fileSystemFlags, std::wstring* fileSystemName) = 0;
    virtual bool GetDiskFreeSpaceEx(const std::wstring& root, uint64_t* freeBytesAvailable,
                                    uint64_t* totalBytes, uint64_t* totalFreeBytes) = 0;
};

// The process-wide door. The product binds it at start-up (image drives routed to their
// images, every other drive to Win32); tests may bind their own.
IVolumeApi& VolumeApi();
void SetVolumeApi(IVolumeApi* api);  // null restores the default

}  // namespace zyr::vol
