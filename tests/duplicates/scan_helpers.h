// Running one scan to its end in a test, with every status the worker reported.
#pragma once
#include "duplicates/core/duplicate_file_scanner.h"
#include "duplicates/core/file_category.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace zyr::dup::test {

struct Status {
    int32_t state;
    std::wstring path;
    double progress;
    int32_t countFile;
};

class FinishCounter final : public IDuplicateFileScanResultsReceiver {
public:
    void OnScanFinished() override { ++calls; }
    std::atomic<int> calls{0};
};

// The real scanner, keeping a copy of every status it is given.
class RecordingScanner final : public CDuplicateFileScanner {
public:
    using CDuplicateFileScanner::CDuplicateFileScanner;
    ~RecordingScanner() override {
        Cancel();
        Wait();  // the worker calls SetStatus of this class: end it before the members go
    }
    void SetStatus(int32_t state, const std::wstring& path, double progress, int32_t countFile) override {
        {
            std::lock_guard guard(recordLock_);
            statuses_.push_back({state, path, progress, countFile});
        }
        CDuplicateFileScanner::SetStatus(state, path, progress, countFile);
    }
    std::vector<Status> Statuses() {
        std::lock_guard guard(recordLock_);
        return statuses_;
    }

private:
    std::mutex recordLock_;
    std::vector<Status> statuses_;
};

struct Outcome {
    int32_t state = 0, filesFound = 0, duplicateFiles = 0;
    double progress = 0;
    std::wstring currentPath;
    std::vector<CDuplicateFileList> sets;
    int finishCalls = 0;
    std::vector<Status> statuses;
};

inline Outcome Collect(RecordingScanner& scanner, FinishCounter& receiver) {
    scanner.Wait();
    Outcome out;
    scanner.GetStatus(&out.state, &out.filesFound, &out.duplicateFiles, &out.progress, &out.currentPath);
    scanner.GetResults(&out.sets);
    out.finishCalls = receiver.calls;
    out.statuses = scanner.Statuses();
    return out;
}

inline Outcome RunScan(IFileSystem& fs, const std::wstring& folder, int32_t recursive, int32_t mask) {
    static CTavrinEngine engine;
    FinishCounter receiver;
    RecordingScanner scanner(&receiver, fs);
    scanner.Start(folder, recursive, mask);
    return Collect(scanner, receiver);
}

// The sets as lists of paths, in reported order.
inline std::vector<std::vector<std::wstring>> Files(const Outcome& outcome) {
    std::vector<std::vector<std::wstring>> out;
    for (const auto& set : outcome.sets) out.push_back(set.files);
    return out;
}

}  // namespace zyr::dup::test
