// Starting jobs on detached threads, and the analysis job's thread body.
#include "engine/jobs.h"

#include <thread>

namespace zyr::engine {

int RunAnalysisJob(std::unique_ptr<DefragJobArgs> args) noexcept {
    if (!args) return -1;
    IDefragParent* parent = args->parent;
    VolumeAnalysis* record = nullptr;
    parent->OnJobStarted(0);
    try {
        record = AnalyzeVolume(args->drive, parent);
    } catch (const std::exception&) {
        // Out of memory: a record already handed over stays with the parent.
    }
    parent->OnJobFinished(record ? kJobSucceeded : kJobNoVolume);
    return 0;
}

namespace {

bool StartJob(int (*body)(std::unique_ptr<DefragJobArgs>) noexcept, const std::wstring& drive,
              IDefragParent* parent, VolumeAnalysis* analysis) {
    try {
        auto args = std::make_unique<DefragJobArgs>();
        args->parent = parent;
        args->drive = drive;
        args->analysis = analysis;
        std::thread(body, std::move(args)).detach();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool StartAnalysisJob(const std::wstring& drive, IDefragParent* parent) {
    return StartJob(RunAnalysisJob, drive, parent, nullptr);
}

bool StartDefragJob(const std::wstring& drive, IDefragParent* parent, VolumeAnalysis* analysis) {
    return StartJob(RunDefragJob, drive, parent, analysis);
}

bool StartConsolidationJob(const std::wstring& drive, IDefragParent* parent, VolumeAnalysis* analysis) {
    return StartJob(RunConsolidationJob, drive, parent, analysis);
}

}  // namespace zyr::engine
