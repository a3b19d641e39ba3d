// The process-wide volume door: unbound until start-up (or a test) binds a backend.
#include "engine/volume_api.h"
#include "engine/win32_defs.h"

namespace zyr::vol {
namespace {

// Before binding there are no volumes: every call fails as on a machine without drives.
class UnboundVolumeApi final : public IVolumeApi {
public:
    Handle CreateFile(const std::wstring&, uint32_t, uint32_t, uint32_t, uint32_t) override {
        return Fail(kInvalidHandle);
    }
    bool CloseHandle(Handle) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    bool DeviceIoControl(Handle, uint32_t, const void*, uint32_t, void*, uint32_t, uint32_t*) override {
        return Fail(false, win::ERROR_INVALID_HANDLE_);
    }
    uint32_t SetFilePointer(Handle, int32_t, int32_t*, uint32_t) override {
        return Fail(win::INVALID_SET_FILE_POINTER_, win::ERROR_INVALID_HANDLE_);
    }
    bool ReadFile(Handle, void*, uint32_t, uint32_t* read) override {
        if (read) *read = 0;
        return Fail(false, win::ERROR_INVALID_HANDLE_);
    }
    bool GetFileSizeEx(Handle, int64_t*) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    Handle FindFirstFile(const std::wstring&, FindData*) override { return Fail(kInvalidHandle); }
    bool FindNextFile(Handle, FindData*) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    bool FindClose(Handle) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    uint32_t GetLastError() override { return lastError_; }
    void SetLastError(uint32_t error) override { lastError_ = error; }
    uint32_t GetLogicalDriveStrings(uint32_t bufferLength, wchar_t* buffer) override {
        if (bufferLength > 0 && buffer) buffer[0] = 0;
        return 0;
    }
    uint32_t GetDriveType(const std::wstring&) override { return win::DRIVE_NO_ROOT_DIR_; }
    bool GetVolumeInformation(const std::wstring&, std::wstring*, uint32_t*, uint32_t*, uint32_t*,
                              std::wstring*) override {
        return Fail(false);
    }
    bool GetDiskFreeSpaceEx(const std::wstring&, uint64_t*, uint64_t*, uint64_t*) override {
        return Fail(false);
    }

private:
    template <typename T> T Fail(T result, uint32_t error = win::ERROR_PATH_NOT_FOUND_) {
        lastError_ = error;
        return result;
    }
    static thread_local uint32_t lastError_;
};
thread_local uint32_t UnboundVolumeApi::lastError_ = 0;

IVolumeApi* g_bound = nullptr;

}  // namespace

IVolumeApi& VolumeApi() {
    static UnboundVolumeApi unbound;
    return g_bound ? *g_bound : unbound;
}

void SetVolumeApi(IVolumeApi* api) { g_bound = api; }

}  // namespace zyr::vol
