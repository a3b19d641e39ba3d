// The comparing stage: size groups run on the worker and helper threads, sets are reported in
// size order, and progress counts every path once.
#include "duplicates/core/content_split.h"
#include "duplicates/core/file_category.h"
#include "duplicates/core/scan_thread.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace zyr::dup {
namespace {

// processed / total, where every path of the size map is counted exactly once.
class Progress {
public:
    Progress(IDuplicateFileScannerPrivate& scanner, double total) : scanner_(scanner), total_(total) {}

    void Count(double n) {
        std::lock_guard guard(lock_);
        processed_ += n;
    }
    double Fraction() {
        std::lock_guard guard(lock_);
        return processed_ / total_;
    }
    // One more file whose content has been compared; the status never goes backwards.
    void Compared(const std::wstring& path) {
        std::lock_guard guard(lock_);
        processed_ += 1;
        scanner_.SetStatus(ScanStateFullCompare, path, processed_ / total_, 0);
    }

private:
    IDuplicateFileScannerPrivate& scanner_;
    const double total_;
    double processed_ = 0;
    std::mutex lock_;
};

using Sets = std::vector<CDuplicateFileList>;

class CompareStage {
public:
    CompareStage(IFileSystem& fs, IDuplicateFileScannerPrivate& scanner, const SizeMap& sizes, double total)
        : fs_(fs), scanner_(scanner), progress_(scanner, total) {
        for (auto it = sizes.begin(); it != sizes.end(); ++it) groups_.push_back(it);
        done_.resize(groups_.size());
    }

    void Run() {
        size_t jobs = 0;
        for (auto group : groups_) jobs += group->second.size() >= 2;
        const size_t threads = std::min<size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u), jobs);
        std::vector<std::thread> helpers;
        for (size_t i = 1; i < threads; ++i) {
            try {
                helpers.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;  // fewer helpers: the work still gets done
            }
        }
        Work();
        for (auto& helper : helpers) helper.join();
    }

private:
    void Work() {
        size_t job;
        double progress;
        ChunkBuffers buffers;  // this thread's, for all its groups
        while (Take(&job, &progress)) {
            Sets sets;
            bool complete = false;
            try {
                complete = RunGroup(*groups_[job], progress, &buffers, &sets);
            } catch (...) {
                complete = false;  // out of memory: this group and all after it go unreported
            }
            Complete(job, complete, std::move(sets));
        }
    }

    // The next size group with two or more paths; single paths are counted on the way.
    bool Take(size_t* job, double* progress) {
        std::lock_guard guard(lock_);
        if (stopped_ || scanner_.IsCancelled()) {
            stopped_ = true;
            return false;
        }
        while (next_ < groups_.size() && groups_[next_]->second.size() < 2) {
            progress_.Count(1);
            done_[next_++].emplace();
        }
        if (next_ == groups_.size()) return false;
        *job = next_++;
        *progress = progress_.Fraction();
        ReportReady();
        return true;
    }

    void Complete(size_t job, bool complete, Sets sets) {
        std::lock_guard guard(lock_);
        if (!complete) {
            stopped_ = true;  // reporting stops before this group for good
            return;
        }
        done_[job] = std::move(sets);
        ReportReady();
    }

    // Reports the finished groups that follow the last reported one (under lock_).
    void ReportReady() {
        while (reported_ < done_.size() && done_[reported_]) {
            for (const auto& set : *done_[reported_]) {
                scanner_.AddDuplicateFiles(static_cast<int32_t>(set.files.size()));
                scanner_.AddResult(set);
            }
            Sets().swap(*done_[reported_]);  // stays "done"; the copies are no longer needed
            ++reported_;
        }
    }

    bool RunGroup(const SizeMap::value_type& group, double progress, ChunkBuffers* buffers, Sets* sets) {
        const uint64_t size = group.first;
        const auto& paths = group.second;
        // Quick stage: first-block checksum text -> indexes, in ordinal order of the text.
        std::map<std::wstring, std::vector<size_t>> quick;
        for (size_t i = 0; i < paths.size(); ++i) {
            if (scanner_.IsCancelled()) return false;
            std::wstring text;
            if (!QuickChecksum(fs_, paths[i], size, &text)) {
                progress_.Count(1);  // unreadable: never a candidate
                continue;
            }
            scanner_.SetStatus(ScanStateQuickCheck, paths[i], progress, 0);
            quick[text].push_back(i);
        }
        for (const auto& [text, members] : quick) {
            if (members.size() < 2) {
                progress_.Count(1);
                continue;
            }
            std::vector<std::wstring> candidates;
            candidates.reserve(members.size());
            for (size_t i : members) candidates.push_back(paths[i]);
            SplitHooks hooks;
            hooks.cancelled = [this] { return scanner_.IsCancelled() != 0; };
            hooks.fileDone = [&](size_t index) { progress_.Compared(candidates[index]); };
            std::vector<ContentSet> found;
            if (!SplitByContent(fs_, candidates, size, hooks, buffers, &found)) return false;
            for (auto& set : found) {
                std::vector<std::wstring> files;
                files.reserve(set.members.size());
                for (size_t index : set.members) files.push_back(candidates[index]);
                const uint32_t category = GetFileCategory(files.front());
                sets->emplace_back(category, std::move(files), std::move(set.digest), size);
            }
        }
        return true;
    }

    IFileSystem& fs_;
    IDuplicateFileScannerPrivate& scanner_;
    Progress progress_;
    std::vector<SizeMap::const_iterator> groups_;

    std::mutex lock_;  // guards what follows
    size_t next_ = 0;
    size_t reported_ = 0;
    bool stopped_ = false;
    std::vector<std::optional<Sets>> done_;  // per size group: finished and not yet reported
};

}  // namespace

void CompareSizeGroups(IFileSystem& fs, IDuplicateFileScannerPrivate& scanner, const SizeMap& sizes) {
    size_t total = 0;
    for (const auto& group : sizes) total += group.second.size();
    if (total == 0) return;
    CompareStage(fs, scanner, sizes, static_cast<double>(total)).Run();
}

}  // namespace zyr::dup
