// Opening a volume for a job, and the bitmap operations on the job's copy.
#include "engine/volume_context.h"

#include "engine/platform_calls.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zyr::engine {

ReservedAreas GetReservedAreas(const win::NTFS_VOLUME_DATA_BUFFER& d) noexcept {
    ReservedAreas areas;
    const int64_t mftClusters = d.BytesPerCluster ? d.MftValidDataLength / d.BytesPerCluster : 0;
    areas.mftZoneStart = d.MftZoneStart;
    areas.mftZoneEnd = d.MftZoneEnd;
    areas.mftStart = d.MftStartLcn;
    areas.mftEnd = d.MftStartLcn + mftClusters;
    areas.mirrorStart = d.Mft2StartLcn;
    areas.mirrorEnd = d.Mft2StartLcn + mftClusters;
    return areas;
}

std::wstring VolumeDevicePath(const std::wstring& drive) { return L"\\\\.\\" + drive; }

std::wstring RootDirectory(const std::wstring& drive) {
    if (!drive.empty() && drive.back() == L'\\') return drive;
    return drive + L"\\";
}

namespace detail {

bool ReadVolumeBitmap(vol::Handle volume, int64_t bitmapSize, int64_t maxRequestBytes,
                      VolumeBitmap& bitmap) noexcept {
    auto& api = vol::VolumeApi();
    if (!bitmap.Allocate(bitmapSize)) return false;
    const int64_t totalBytes = VolumeBitmap::BytesFor(bitmapSize);
    maxRequestBytes = std::min<int64_t>(maxRequestBytes, 0xFFFFFFF0);
    if (totalBytes <= maxRequestBytes) {
        // The usual case: one request straight into the copy.
        win::STARTING_LCN_INPUT_BUFFER in{0};
        uint32_t returned = 0;
        if (!api.DeviceIoControl(volume, win::FSCTL_GET_VOLUME_BITMAP_, &in, sizeof(in), bitmap.Data(),
                                 static_cast<uint32_t>(totalBytes), &returned))
            return false;
        return bitmap.StartingLcn() == 0 && bitmap.BitmapSize() == bitmapSize;
    }
    // A bitmap larger than one request: consecutive requests from byte-aligned starting clusters.
    std::vector<uint8_t> piece;
    const int64_t bitsBytes = totalBytes - VolumeBitmap::kHeaderBytes;
    const int64_t pieceBitsBytes = (maxRequestBytes - VolumeBitmap::kHeaderBytes) & ~int64_t{7};
    if (pieceBitsBytes <= 0) return false;
    try {
        piece.resize(static_cast<size_t>(VolumeBitmap::kHeaderBytes + pieceBitsBytes));
    } catch (const std::exception&) {
        return false;
    }
    for (int64_t done = 0; done < bitsBytes;) {
        win::STARTING_LCN_INPUT_BUFFER in{done * 8};
        uint32_t returned = 0;
        const bool ok = api.DeviceIoControl(volume, win::FSCTL_GET_VOLUME_BITMAP_, &in, sizeof(in), piece.data(),
                                            static_cast<uint32_t>(piece.size()), &returned);
        if (!ok && api.GetLastError() != win::ERROR_MORE_DATA_) return false;
        int64_t startingLcn = 0, size = 0;
        std::memcpy(&startingLcn, piece.data(), 8);
        std::memcpy(&size, piece.data() + 8, 8);
        if (startingLcn != done * 8 || startingLcn + size != bitmapSize) return false;
        if (returned <= VolumeBitmap::kHeaderBytes || returned > piece.size()) return false;
        const int64_t got = std::min<int64_t>(returned - VolumeBitmap::kHeaderBytes, bitsBytes - done);
        std::memcpy(bitmap.Data() + VolumeBitmap::kHeaderBytes + done, piece.data() + VolumeBitmap::kHeaderBytes,
                    static_cast<size_t>(got));
        done += got;
    }
    bitmap.SetHeader(0, bitmapSize);
    return true;
}

}  // namespace detail

std::unique_ptr<VolumeContext> OpenVolume(const std::wstring& devicePath) noexcept {
    auto& api = vol::VolumeApi();
    EnableDebugPrivilege();
    ScopedHandle volume(api.CreateFile(devicePath, win::GENERIC_READ_, win::FILE_SHARE_READ_ | win::FILE_SHARE_WRITE_,
                                       win::OPEN_EXISTING_, 0));
    if (!volume.Valid()) return nullptr;

    // A header-sized request answers ERROR_MORE_DATA with the bitmap's full size.
    uint8_t header[sizeof(win::VOLUME_BITMAP_BUFFER)] = {};
    win::STARTING_LCN_INPUT_BUFFER in{0};
    uint32_t returned = 0;
    api.SetLastError(0);  // a successful call leaves the last error as it was
    api.DeviceIoControl(volume.Get(), win::FSCTL_GET_VOLUME_BITMAP_, &in, sizeof(in), header, sizeof(header),
                        &returned);
    if (api.GetLastError() != win::ERROR_MORE_DATA_) return nullptr;
    int64_t bitmapSize = 0;
    std::memcpy(&bitmapSize, header + 8, 8);  // all 64 bits

    std::unique_ptr<VolumeContext> context;
    try {
        context = std::make_unique<VolumeContext>();
    } catch (const std::exception&) {
        return nullptr;
    }
    if (!detail::ReadVolumeBitmap(volume.Get(), bitmapSize, 0xFFFFFFF0, context->bitmap)) return nullptr;
    if (!api.DeviceIoControl(volume.Get(), win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &context->ntfsData,
                             sizeof(context->ntfsData), &returned))
        return nullptr;
    context->volume = std::move(volume);
    return context;
}

void CloseVolume(std::unique_ptr<VolumeContext> context) noexcept {
    if (!context) return;
    context->bitmap = VolumeBitmap();
    context->ntfsData = {};
    context->freeRuns = FreeRunIndex();
    context->volume.Reset();
    context.reset();
}

int64_t CountUsedClusters(const VolumeBitmap& bitmap) noexcept { return bitmap.CountSet(); }

bool IsClusterInUse(const VolumeBitmap& bitmap, int64_t cluster) noexcept { return bitmap.IsSet(cluster); }

void ToggleClusterRange(VolumeContext& context, int64_t first, int64_t count) noexcept {
    context.bitmap.Flip(first, count);
    context.freeRuns.Update(context.bitmap, first, count);
}

}  // namespace zyr::engine
