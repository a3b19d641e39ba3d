// The free-space consolidation job: gaps from the start of the volume filled with files taken
// from as far back as possible.
#include "engine/defrag.h"
#include "engine/jobs.h"

#include <map>

namespace zyr::engine {

Gap FindNextGap(VolumeContext& context, int64_t position) noexcept {
    const int64_t size = context.bitmap.BitmapSize();
    if (position >= size) return {position, 0};
    const ReservedAreas a = GetReservedAreas(context.ntfsData);
    const ClusterRange reserved[] = {{a.mftZoneStart + 1, a.mftZoneEnd},  // insides: bounds excluded
                                     {a.mftStart + 1, a.mftEnd},
                                     {a.mirrorStart + 1, a.mirrorEnd}};
    const int64_t start = NextFreeCluster(context.bitmap, reserved, position);
    if (start >= size) return {size, 0};
    return {start, NextOccupiedCluster(context.bitmap, reserved, start) - start};
}

namespace {

// Takes from order the file that fills the gap: an exact fit if one lies at or after the gap,
// else the fitting file furthest back. Marks every record it looks at as not fragmented, and the
// first record before the gap as handled.
AnalyzedFile* ChooseCandidate(std::multimap<int64_t, AnalyzedFile*>& order, Gap gap, IDefragParent* parent) {
    AnalyzedFile* candidate = nullptr;
    for (auto it = order.end(); it != order.begin();) {
        if (parent->IsStopRequested()) break;
        --it;
        AnalyzedFile* file = it->second;
        if (file->firstLcn == -1) {
            it = order.erase(it);  // handled: never looked at again
            continue;
        }
        file->fragmented = 0;
        if (file->firstLcn < gap.start) {
            file->firstLcn = -1;
            order.erase(it);
            break;
        }
        if (file->clusters > gap.length) continue;
        if (file->clusters == gap.length) return file;
        if (!candidate) candidate = file;
    }
    return candidate;
}

}  // namespace

int RunConsolidationJob(std::unique_ptr<DefragJobArgs> args) noexcept {
    if (!args) return -1;
    IDefragParent* parent = args->parent;
    try {
        parent->OnJobStarted(0);
        // An analysis made here belongs to the parent like any other (kind 1).
        VolumeAnalysis* analysis = args->analysis ? args->analysis : AnalyzeVolume(args->drive, parent);
        std::unique_ptr<VolumeContext> context = OpenVolume(VolumeDevicePath(args->drive));
        if (!context || !analysis) {
            CloseVolume(std::move(context));
            parent->OnJobFinished(kJobNoVolume);
            return 0;
        }
        std::multimap<int64_t, AnalyzedFile*> order;
        for (const auto& [path, file] : analysis->files) order.emplace(file->firstLcn, file.get());

        const int64_t size = context->bitmap.BitmapSize();
        const int64_t percentBase = analysis->bitmap.BitmapSize();
        int64_t position = 0;
        while (!parent->IsStopRequested()) {
            const Gap gap = FindNextGap(*context, position);
            const int64_t gapEnd = gap.start + gap.length;
            if (gapEnd >= size) break;
            AnalyzedFile* candidate = ChooseCandidate(order, gap, parent);
            if (!candidate) {
                position = gapEnd;
                continue;
            }
            OpenedFile opened = OpenTargetFile(candidate->path, candidate->isFile != 0);
            if (!opened.handle.Valid()) {
                position = gapEnd;
                continue;
            }
            std::unique_ptr<RunList> before = GetRetrievalPointers(opened.handle.Get());
            if (!before) {
                candidate->firstLcn = -1;
                position = gapEnd;
                continue;
            }
            position = gap.start + candidate->clusters;
            MoveFileRuns(opened.handle.Get(), *context, *before, gap.start, parent);
            if (std::unique_ptr<RunList> after = GetRetrievalPointers(opened.handle.Get())) {
                auto* moved = new MovedExtents{std::move(before), std::move(after)};
                parent->OnProgress(candidate->path.c_str(), ProgressPercent(position, percentBase),
                                   kProgressFileConsolidated, moved);
            }
            candidate->firstLcn = -1;
        }
        CloseVolume(std::move(context));
        parent->OnJobFinished(kJobSucceeded);
    } catch (const std::exception&) {
        parent->OnJobFinished(kJobSucceeded);
    }
    return 0;
}

}  // namespace zyr::engine
