// Recording one file's layout into the volume analysis.
#include "engine/defrag.h"

#include "engine/defrag_log.h"
#include "engine/defrag_parent.h"

#include <climits>

namespace zyr::engine {

int ProgressPercent(int64_t done, int64_t total) noexcept {
    if (total <= 0) return 0;
    const double percent = static_cast<double>(done) / static_cast<double>(total) * 100.0;
    if (percent >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (percent <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(percent);
}

void CDefrag::AnalyzeFile(const std::wstring& path, VolumeContext& context, IDefragParent* parent,
                          int64_t& runningTotal, int64_t progressTotal, VolumeAnalysis& analysis,
                          std::unique_ptr<AnalyzedFile> file) {
    if (!file || (parent && parent->IsStopRequested())) return;
    // One record per path: a second listing of the same path (a corrupt table) is not counted twice.
    if (analysis.files.count(path)) return;
    OpenedFile opened = OpenTargetFile(path, file->isFile != 0);
    if (!opened.handle.Valid()) {
        LogDefragMessage(parent, L"CDefrag::AnalyzeFile failed to open file handle for %s, error code %d",
                         path.c_str(), static_cast<int>(opened.lastError));
        return;
    }
    auto& api = vol::VolumeApi();
    std::unique_ptr<RunList> runs = GetRetrievalPointers(opened.handle.Get());
    if (!runs || runs->ExtentCount() == 0) {
        const uint32_t error = api.GetLastError();
        if (!runs && error != win::ERROR_HANDLE_EOF_ && error != 0)
            LogDefragMessage(parent, L"CDefrag::AnalyzeFile failed to open file pointers for %s, error code %d",
                             path.c_str(), static_cast<int>(error));
        return;
    }
    int64_t size = 0;
    if (api.GetFileSizeEx(opened.handle.Get(), &size)) file->fileSize = size;
    const ClusterCount count = CountFileClusters(*runs);
    file->clusters = count.clusters;
    file->fragmented = count.fragmented ? 1 : 0;
    file->sizeOnDisk = static_cast<int64_t>(context.ntfsData.BytesPerCluster) * count.clusters;
    file->path = path;
    file->firstLcn = runs->Extent(0).Lcn;
    file->extents = std::move(runs);
    AnalyzedFile* recorded = file.get();
    analysis.totalClusters += recorded->clusters;
    analysis.files.emplace(path, std::move(file));
    opened.handle.Reset();
    if (recorded->fragmented) analysis.fragmentedClusters += recorded->clusters;
    runningTotal += recorded->clusters;
    if (parent)
        parent->OnProgress(path.c_str(), ProgressPercent(runningTotal, progressTotal), kProgressFileAnalyzed,
                           recorded);
}

}  // namespace zyr::engine
