// Starting the engine's jobs (analysis, defragmentation, free-space consolidation) on detached
// worker threads, and the passes they run.
#pragma once
#include "engine/defrag_parent.h"
#include "engine/volume_analysis.h"
#include "engine/volume_context.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zyr::engine {

// One started job's arguments, owned and freed by the job's thread.
struct DefragJobArgs {
    IDefragParent* parent = nullptr;
    std::wstring drive;                  // "C:"
    VolumeAnalysis* analysis = nullptr;  // the page's analysis; not owned by the job
};

// Each starts a detached thread and returns at once; false when no thread could be started (the
// parent then hears nothing). The parent's calls come from that thread.
bool StartAnalysisJob(const std::wstring& drive, IDefragParent* parent);
bool StartDefragJob(const std::wstring& drive, IDefragParent* parent, VolumeAnalysis* analysis);
bool StartConsolidationJob(const std::wstring& drive, IDefragParent* parent, VolumeAnalysis* analysis);

// The thread bodies, run on the calling thread. -1 without arguments, else 0.
int RunAnalysisJob(std::unique_ptr<DefragJobArgs> args) noexcept;
int RunDefragJob(std::unique_ptr<DefragJobArgs> args) noexcept;
int RunConsolidationJob(std::unique_ptr<DefragJobArgs> args) noexcept;

// The analysis pass on the calling thread: the new record is handed to parent (kind 1), which
// owns it from then on; the returned pointer is the same record (null when the volume could
// not be opened). Without a parent the caller owns the returned record.
VolumeAnalysis* AnalyzeVolume(const std::wstring& drive, IDefragParent* parent);

// Walks directory (ending in "\") when the table cannot be read: contents before their
// directory, reparse points never entered or recorded.
void WalkForAnalysis(const std::wstring& directory, IDefragParent* parent, VolumeAnalysis& analysis,
                     VolumeContext& context, int64_t& runningTotal, int64_t progressTotal);
// The same walk for a defragmentation without analysis; result turns false when a file was
// not moved.
void WalkForDefrag(const std::wstring& directory, IDefragParent* parent, VolumeContext& context,
                   int64_t& runningTotal, int64_t progressTotal, bool& result);

// The first stretch of free clusters at or after position that lies outside the reserved areas
// (the insides of the MFT zone, the table and its mirror). start is BitmapSize when there is
// none; length 0 when position is at or beyond the end.
struct Gap {
    int64_t start = 0;
    int64_t length = 0;
};
Gap FindNextGap(VolumeContext& context, int64_t position) noexcept;

}  // namespace zyr::engine
