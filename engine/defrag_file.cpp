// Moving one fragmented file into a single free stretch.
#include "engine/defrag.h"

#include "engine/defrag_log.h"
#include "engine/defrag_parent.h"

namespace zyr::engine {

int64_t FindFreeRun(int64_t n, VolumeContext& context) noexcept {
    const VolumeBitmap& bitmap = context.bitmap;
    const int64_t size = bitmap.BitmapSize();
    const ClusterRange zone{context.ntfsData.MftZoneStart + 1, context.ntfsData.MftZoneEnd};  // bounds excluded
    const int64_t wanted = n + 2;
    if (!context.freeRuns.Built()) (void)context.freeRuns.Build(bitmap, zone);
    if (context.freeRuns.Built()) {
        if (wanted >= 1) {
            const int64_t start = context.freeRuns.FindFirst(bitmap, wanted);
            if (start >= 0) return start;
        }
        return size - context.freeRuns.TrailingFree();
    }
    // Without memory for the index: the same answers from word-wide scans.
    const ClusterRange reserved[] = {zone};
    if (wanted >= 1) {
        const int64_t start = FindFreeStretch(bitmap, reserved, 0, size, wanted);
        if (start >= 0) return start;
    }
    for (int64_t start = NextFreeCluster(bitmap, reserved, 0); start < size;) {
        const int64_t end = NextOccupiedCluster(bitmap, reserved, start);
        if (end == size) return start;
        start = NextFreeCluster(bitmap, reserved, end);
    }
    return size;
}

void MoveFileRuns(vol::Handle file, VolumeContext& context, const RunList& runs, int64_t destination,
                  IDefragParent* parent) noexcept {
    auto& api = vol::VolumeApi();
    int64_t target = destination + context.bitmap.StartingLcn();
    int64_t boundary = runs.StartingVcn();
    for (uint32_t i = 0; i < runs.ExtentCount(); ++i) {
        if (parent && parent->IsStopRequested()) return;
        const auto extent = runs.Extent(i);
        if (extent.Lcn == -1) {
            boundary = extent.NextVcn;
            continue;
        }
        const uint32_t count = static_cast<uint32_t>(extent.NextVcn - boundary);
        win::MOVE_FILE_DATA move{};
        move.FileHandle = static_cast<uint64_t>(file);
        move.StartingVcn = boundary;
        move.StartingLcn = target;
        move.ClusterCount = count;
        uint32_t returned = 0;
        if (!api.DeviceIoControl(context.volume.Get(), win::FSCTL_MOVE_FILE_, &move, sizeof(move), nullptr, 0,
                                 &returned))
            return;
        ToggleClusterRange(context, target, count);
        ToggleClusterRange(context, extent.Lcn, count);
        target += count;
        boundary = extent.NextVcn;
    }
}

int CDefrag::DefragFile(const std::wstring& path, bool isFile, VolumeContext& context, IDefragParent* parent,
                        int64_t& runningTotal, int64_t progressTotal) {
    auto& api = vol::VolumeApi();
    OpenedFile opened = OpenTargetFile(path, isFile);
    if (!opened.handle.Valid()) {
        LogDefragMessage(parent, L"CDefrag::DefragFile failed to open file handle for %s, error code %d",
                         path.c_str(), static_cast<int>(opened.lastError));
        return 0;
    }
    std::unique_ptr<RunList> before = GetRetrievalPointers(opened.handle.Get());
    if (!before || before->ExtentCount() == 0) {
        const uint32_t error = api.GetLastError();
        if (!before && error != win::ERROR_HANDLE_EOF_ && error != 0)
            LogDefragMessage(parent, L"CDefrag::DefragFile failed to get first file pointer for %s, error code %d",
                             path.c_str(), static_cast<int>(error));
        return 0;
    }
    const ClusterCount count = CountFileClusters(*before);
    runningTotal += count.clusters;
    if (count.clusters <= 0 || !count.fragmented) return 0;
    const int64_t destination = FindFreeRun(count.clusters, context);
    if (destination > context.bitmap.BitmapSize() - count.clusters) return 0;
    MoveFileRuns(opened.handle.Get(), context, *before, destination, parent);
    std::unique_ptr<RunList> after = GetRetrievalPointers(opened.handle.Get());
    if (!after) {
        const uint32_t error = api.GetLastError();
        if (error != win::ERROR_HANDLE_EOF_ && error != 0)
            LogDefragMessage(parent, L"CDefrag::DefragFile failed to get second file pointer for %s, error code %d",
                             path.c_str(), static_cast<int>(error));
        return 0;
    }
    const int percent = ProgressPercent(runningTotal, progressTotal);
    if (parent) {
        auto* moved = new MovedExtents{std::move(before), std::move(after)};
        parent->OnProgress(path.c_str(), percent, kProgressFileDefragmented, moved);
    }
    return 1;
}

}  // namespace zyr::engine
