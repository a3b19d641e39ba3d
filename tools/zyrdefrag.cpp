// zyrdefrag: analysis, defragmentation and free-space consolidation of an NTFS image (or, on
// Windows, a drive) from the command line, through the same parent contract as the defrag page.
#include "engine/defrag_parent.h"
#include "engine/jobs.h"
#include "engine/volume_analysis.h"
#include "engine/volume_api.h"

#ifdef ZYR_HAVE_IMAGE_VOLUMES
#include "volumes/ntfsimage/volume_router.h"
#endif

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

using namespace zyr::engine;

// Receives one job's calls on its worker thread; keeps the analysis it is handed.
class CommandLineParent final : public IDefragParent {
public:
    explicit CommandLineParent(const char* jobName) : jobName_(jobName) {}
    ~CommandLineParent() = default;

    void OnJobStarted(int) override { Progress(0, true); }
    void OnJobFinished(int result) override {
        std::lock_guard lock(mutex_);
        result_ = result;
        if (lastPercent_ >= 0) std::fprintf(stderr, "%s: done\n", jobName_);
    }
    void OnProgress(const wchar_t*, int percent, int kind, void* data) override {
        switch (kind) {
            case kProgressAnalysisCreated:
                analysis_.reset(static_cast<VolumeAnalysis*>(data));
                break;
            case kProgressFileDefragmented:
            case kProgressFileConsolidated:
                delete static_cast<MovedExtents*>(data);
                ++movedFiles_;
                Progress(percent, false);
                break;
            case kProgressFileAnalyzed:
                Progress(percent, false);
                break;
            default:
                break;  // log lines go to the debugger output only
        }
    }
    int IsStopRequested() override { return 0; }

    int result() const { return result_; }
    int movedFiles() const { return movedFiles_; }
    std::unique_ptr<VolumeAnalysis>& analysis() { return analysis_; }

private:
    void Progress(int percent, bool force) {
        percent = percent < 0 ? 0 : percent > 99 ? 99 : percent;  // 100 is for the end
        if (!force && percent == lastPercent_) return;
        lastPercent_ = percent;
        std::fprintf(stderr, "%s: %d%%\n", jobName_, percent);
    }

    const char* jobName_;
    std::mutex mutex_;
    int result_ = -1;
    int lastPercent_ = -1;
    int movedFiles_ = 0;
    std::unique_ptr<VolumeAnalysis> analysis_;
};

struct Summary {
    int64_t files = 0, fragmentedFiles = 0, totalClusters = 0, fragmentedClusters = 0;
    double Percent() const {
        return totalClusters > 0 ? static_cast<double>(fragmentedClusters) / static_cast<double>(totalClusters) * 100.0
                                 : 0.0;
    }
};

Summary Summarize(const VolumeAnalysis& analysis) {
    Summary s;
    s.files = static_cast<int64_t>(analysis.files.size());
    for (const auto& [path, file] : analysis.files) s.fragmentedFiles += file->fragmented == 1;
    s.totalClusters = analysis.totalClusters;
    s.fragmentedClusters = analysis.fragmentedClusters;
    return s;
}

// Runs one job body on its own thread, as the page's jobs run, and waits for it.
int RunJob(int (*body)(std::unique_ptr<DefragJobArgs>) noexcept, const std::wstring& drive,
           CommandLineParent& parent, VolumeAnalysis* analysis) {
    auto args = std::make_unique<DefragJobArgs>();
    args->parent = &parent;
    args->drive = drive;
    args->analysis = analysis;
    std::thread worker(body, std::move(args));
    worker.join();
    return parent.result();
}

void PrintSummaryText(const char* title, const Summary& s) {
    std::printf("%s:\n", title);
    std::printf("  files:               %lld\n", static_cast<long long>(s.files));
    std::printf("  fragmented files:    %lld\n", static_cast<long long>(s.fragmentedFiles));
    std::printf("  total clusters:      %lld\n", static_cast<long long>(s.totalClusters));
    std::printf("  fragmented clusters: %lld\n", static_cast<long long>(s.fragmentedClusters));
    std::printf("  fragmentation:       %.2f %%\n", s.Percent());
}

std::string JsonFields(const Summary& s) {
    char buffer[256];
    std::snprintf(buffer, sizeof(buffer),
                  "\"files\":%lld,\"fragmented_files\":%lld,\"total_clusters\":%lld,\"fragmented_clusters\":%lld,"
                  "\"fragmentation_percent\":%.2f",
                  static_cast<long long>(s.files), static_cast<long long>(s.fragmentedFiles),
                  static_cast<long long>(s.totalClusters), static_cast<long long>(s.fragmentedClusters), s.Percent());
    return buffer;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zyrdefrag analyze|defrag|optimize IMAGE [--json]\n"
                 "  analyze   count the files and how fragmented they are\n"
                 "  defrag    analyze, then move every fragmented file into one free stretch\n"
                 "  optimize  analyze, defragment, then consolidate the free space\n"
                 "IMAGE is an NTFS image file"
#ifdef _WIN32
                 ", or a drive such as C:"
#endif
                 ".\n");
    return 2;
}

bool IsDriveName(const std::string& s) {
    return s.size() == 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// Binds the image to a drive letter of the volume door; returns the drive name.
std::wstring BindVolume(const std::string& target) {
#ifdef _WIN32
    if (IsDriveName(target)) {
#ifdef ZYR_HAVE_IMAGE_VOLUMES
        zyr::vol::SetVolumeApi(&zyr::vol::BindVolumesFromEnvironment());
#endif
        return std::wstring{static_cast<wchar_t>(target[0]), L':'};
    }
#endif
#ifdef ZYR_HAVE_IMAGE_VOLUMES
    const std::string binding = "V:=" + target;
#ifdef _WIN32
    _putenv_s("ZYR_IMAGE_DRIVES", binding.c_str());
#else
    setenv("ZYR_IMAGE_DRIVES", binding.c_str(), 1);
#endif
    zyr::vol::SetVolumeApi(&zyr::vol::BindVolumesFromEnvironment());
    return L"V:";
#else
    (void)IsDriveName;
    std::fprintf(stderr, "zyrdefrag: this build has no NTFS image support\n");
    return L"";
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::string command, target;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json")
            json = true;
        else if (arg == "-h" || arg == "--help")
            return Usage(), 0;
        else if (command.empty())
            command = arg;
        else if (target.empty())
            target = arg;
        else
            return Usage();
    }
    if (target.empty() || (command != "analyze" && command != "defrag" && command != "optimize")) return Usage();
    if (!IsDriveName(target)) {
        if (std::FILE* f = std::fopen(target.c_str(), "rb")) {
            std::fclose(f);
        } else {
            std::fprintf(stderr, "zyrdefrag: cannot open %s: %s\n", target.c_str(), std::strerror(errno));
            return 2;
        }
    }
    const std::wstring drive = BindVolume(target);
    if (drive.empty()) return 2;

    int failed = 0;
    auto report = [&](const char* job, int result) {
        if (result != kJobSucceeded) {
            std::fprintf(stderr, "zyrdefrag: %s ended with result code %d\n", job, result);
            failed = 1;
        }
    };

    CommandLineParent analysis("analyze");
    const int analysisResult = RunJob(RunAnalysisJob, drive, analysis, nullptr);
    report("analysis", analysisResult);
    if (analysisResult != kJobSucceeded || !analysis.analysis()) {
        if (json)
            std::printf("{\"command\":%s,\"image\":%s,\"analysis_result\":%d}\n", JsonString(command).c_str(),
                        JsonString(target).c_str(), analysisResult);
        return 1;
    }
    const Summary before = Summarize(*analysis.analysis());
    Summary after = before;
    int defragResult = -1, consolidationResult = -1, defragmented = 0, consolidated = 0;
    if (command != "analyze") {
        CommandLineParent defrag("defrag");
        defragResult = RunJob(RunDefragJob, drive, defrag, analysis.analysis().get());
        defragmented = defrag.movedFiles();
        report("defragmentation", defragResult);
        if (command == "optimize" && defragResult != kJobNoVolume) {
            CommandLineParent consolidate("consolidate");
            consolidationResult = RunJob(RunConsolidationJob, drive, consolidate, analysis.analysis().get());
            consolidated = consolidate.movedFiles();
            report("consolidation", consolidationResult);
        }
        CommandLineParent reanalysis("analyze");
        const int again = RunJob(RunAnalysisJob, drive, reanalysis, nullptr);
        report("analysis", again);
        if (again == kJobSucceeded && reanalysis.analysis()) after = Summarize(*reanalysis.analysis());
    }

    if (json) {
        std::string out = "{\"command\":" + JsonString(command) + ",\"image\":" + JsonString(target) + "," +
                          JsonFields(after);
        if (command != "analyze") {
            out += ",\"before\":{" + JsonFields(before) + "}";
            out += ",\"defragmented_files\":" + std::to_string(defragmented);
            out += ",\"defrag_result\":" + std::to_string(defragResult);
            if (command == "optimize") {
                out += ",\"consolidated_files\":" + std::to_string(consolidated);
                out += ",\"consolidation_result\":" + std::to_string(consolidationResult);
            }
        }
        std::printf("%s}\n", out.c_str());
    } else {
        if (command == "analyze") {
            PrintSummaryText("analysis", after);
        } else {
            PrintSummaryText("before", before);
            std::printf("defragmented files: %d (result %d)\n", defragmented, defragResult);
            if (command == "optimize")
                std::printf("consolidated files: %d (result %d)\n", consolidated, consolidationResult);
            PrintSummaryText("after", after);
        }
    }
    return failed;
}
