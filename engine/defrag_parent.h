// The contract between an engine job (on its worker thread) and the page that started it.
#pragma once

namespace zyr::engine {

// What OnProgress reports; see the data each kind carries.
enum ProgressKind : int {
    kProgressFileAnalyzed = 0,   // data: AnalyzedFile*, still owned by its VolumeAnalysis
    kProgressAnalysisCreated = 1,  // data: VolumeAnalysis*, ownership passes to the parent
    kProgressFileDefragmented = 2,  // data: MovedExtents*, ownership passes to the parent
    kProgressFileConsolidated = 3,  // data: MovedExtents*, ownership passes to the parent
    kProgressLogLine = 4,           // path: the log line; percent -1; no data
};

// Result codes of OnJobFinished.
enum JobResult : int {
    kJobSucceeded = 0,      // analysis produced / every file moved / consolidation ended
    kJobNoVolume = 1,       // volume could not be opened (consolidation: or no analysis)
    kJobFilesNotMoved = 2,  // defragmentation: some file handed to DefragFile was not moved
};

// Implemented by the page. Every call comes from the job's worker thread, in the order
// OnJobStarted, OnProgress..., OnJobFinished. The operations keep this slot order.
// A parent that received a VolumeAnalysis (kind 1) keeps it alive until OnJobFinished, and
// frees it (delete) when it no longer needs it; the same for MovedExtents (kinds 2, 3).
class IDefragParent {
public:
    virtual void OnJobStarted(int zero) = 0;
    virtual void OnJobFinished(int result) = 0;
    // path may be null (kind 1); data may be null (kind 4).
    virtual void OnProgress(const wchar_t* path, int percent, int kind, void* data) = 0;
    // Non-zero when the user asked to stop; asked before each unit of work.
    virtual int IsStopRequested() = 0;

protected:
    ~IDefragParent() = default;
};

}  // namespace zyr::engine
