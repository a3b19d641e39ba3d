// One job's access to a volume: the device handle, a private bitmap copy and the NTFS geometry,
// with the bitmap operations and reserved areas that the searches share.
#pragma once
#include "engine/free_space.h"
#include "engine/scoped_handle.h"
#include "engine/volume_bitmap.h"
#include "engine/win32_defs.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zyr::engine {

struct VolumeContext {
    ScopedHandle volume;
    VolumeBitmap bitmap;                     // the worker's copy of the allocation bitmap
    win::NTFS_VOLUME_DATA_BUFFER ntfsData{};  // geometry of the volume
    // Free stretches outside the MFT zone, built on the first search and kept in step by
    // ToggleClusterRange.
    FreeRunIndex freeRuns;
};

// The areas free-space searches avoid, from the geometry. Each is [first, end).
struct ReservedAreas {
    int64_t mftZoneStart = 0, mftZoneEnd = 0;
    int64_t mftStart = 0, mftEnd = 0;
    int64_t mirrorStart = 0, mirrorEnd = 0;
};
ReservedAreas GetReservedAreas(const win::NTFS_VOLUME_DATA_BUFFER& ntfsData) noexcept;

// "\\.\" + "C:".
std::wstring VolumeDevicePath(const std::wstring& drive);
// "C:" + "\" unless the name already ends in one.
std::wstring RootDirectory(const std::wstring& drive);

// Opens the device, copies the allocation bitmap and reads the geometry; null on any failure.
std::unique_ptr<VolumeContext> OpenVolume(const std::wstring& devicePath) noexcept;
// Frees the bitmap copy and the geometry, closes the volume handle, frees the record.
void CloseVolume(std::unique_ptr<VolumeContext> context) noexcept;

// Set bits for clusters 0 .. BitmapSize - 1.
int64_t CountUsedClusters(const VolumeBitmap& bitmap) noexcept;
bool IsClusterInUse(const VolumeBitmap& bitmap, int64_t cluster) noexcept;
// Flips clusters [first, first + count) of the context's bitmap copy.
void ToggleClusterRange(VolumeContext& context, int64_t first, int64_t count) noexcept;

namespace detail {
// Reads the bitmap of a volume of bitmapSize clusters into bitmap, in requests of at most
// maxRequestBytes output bytes each (the output size of one request is 32 bits wide).
bool ReadVolumeBitmap(vol::Handle volume, int64_t bitmapSize, int64_t maxRequestBytes,
                      VolumeBitmap& bitmap) noexcept;
}  // namespace detail

}  // namespace zyr::engine
