// The file-level work of the engine: recording one file's layout into an analysis, moving one
// fragmented file into a single free stretch, and the free-space search and run moves behind it.
#pragma once
#include "engine/run_list.h"
#include "engine/volume_analysis.h"
#include "engine/volume_context.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zyr::engine {

class IDefragParent;

class CDefrag {
public:
    // Records file (isFile set, the rest empty) under path into analysis and reports it
    // (kind 0). Files without clusters and files that cannot be read are left out; failures are
    // logged. Takes over file in every case.
    void AnalyzeFile(const std::wstring& path, VolumeContext& context, IDefragParent* parent,
                     int64_t& runningTotal, int64_t progressTotal, VolumeAnalysis& analysis,
                     std::unique_ptr<AnalyzedFile> file);
    // Moves a fragmented file into the first free stretch that holds it and reports the old and
    // new runs (kind 2). 1 when moved and reported, else 0. runningTotal grows by the file's
    // clusters whenever its run list could be read.
    int DefragFile(const std::wstring& path, bool isFile, VolumeContext& context, IDefragParent* parent,
                   int64_t& runningTotal, int64_t progressTotal);
};

// First cluster of the first stretch of n + 2 free clusters, counting from cluster 0 and
// treating free clusters strictly inside the MFT zone as occupied; when there is none, the first
// cluster after the last occupied one.
int64_t FindFreeRun(int64_t n, VolumeContext& context) noexcept;

// Moves the real runs of a file one after another to destination, flipping the bitmap copy
// after each successful move. Returns at the first failed move or stop request.
void MoveFileRuns(vol::Handle file, VolumeContext& context, const RunList& runs, int64_t destination,
                  IDefragParent* parent) noexcept;

// done / total * 100, truncated toward zero; 0 when there is no total.
int ProgressPercent(int64_t done, int64_t total) noexcept;

}  // namespace zyr::engine
