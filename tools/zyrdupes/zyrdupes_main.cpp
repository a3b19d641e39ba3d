// zyrdupes [-r] [--mask N] [--json] [--quiet] FOLDER: runs the duplicate scanner as the finder
// page does (status polled every 200 ms, results taken once the scanner says it has finished)
// and prints the sets it found.
#include "duplicates/core/duplicate_file_scanner.h"
#include "duplicates/core/file_category.h"
#include "duplicates/core/text_utf.h"
#include "tools/zyrdupes/scan_report.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <condition_variable>
#include <mutex>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

// Hands the end of the scan to the polling loop, which also wakes at once for it.
class FinishedFlag final : public IDuplicateFileScanResultsReceiver {
public:
    void OnScanFinished() override {
        std::lock_guard guard(lock_);
        finished_ = true;
        wake_.notify_all();
    }
    // Waits up to `interval` for the end; true once the scan has finished.
    bool WaitFor(std::chrono::milliseconds interval) {
        std::unique_lock guard(lock_);
        return wake_.wait_for(guard, interval, [this] { return finished_; });
    }

private:
    std::mutex lock_;
    std::condition_variable wake_;
    bool finished_ = false;
};

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr));
#else
    return isatty(STDERR_FILENO);
#endif
}

const char* StateName(int32_t state) {
    switch (state) {
    case ScanStateCollecting: return "collecting";
    case ScanStateQuickCheck: return "first blocks";
    case ScanStateFullCompare: return "comparing";
    case ScanStateFinished: return "finished";
    default: return "starting";
    }
}

int Usage() {
    std::fputs("usage: zyrdupes [-r] [--mask N] [--json] [--quiet] FOLDER\n"
               "  -r         include subfolders\n"
               "  --mask N   file kinds: 1 audio, 2 video, 4 image, 8 document, 16 every file (default 16)\n"
               "  --json     print the sets as one JSON array\n"
               "  --quiet    no progress on standard error\n",
               stderr);
    return 2;
}

bool ParseMask(const std::wstring& text, int32_t* mask) {
    if (text.empty() || text.size() > 9) return false;
    int32_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    *mask = value;
    return true;
}

int Run(const std::vector<std::wstring>& args) {
    int32_t recursive = 0, mask = CategoryOther;
    bool json = false, quiet = false;
    std::wstring folder;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"-r") {
            recursive = 1;
        } else if (arg == L"--json") {
            json = true;
        } else if (arg == L"--quiet") {
            quiet = true;
        } else if (arg == L"--mask") {
            if (i + 1 >= args.size() || !ParseMask(args[++i], &mask)) {
                std::fputs("zyrdupes: --mask needs a number from 0 to 31\n", stderr);
                return Usage();
            }
        } else if (!arg.empty() && arg[0] == L'-' && arg != L"-") {
            std::fprintf(stderr, "zyrdupes: unknown option %s\n", zyr::dup::WideToUtf8(arg).c_str());
            return Usage();
        } else if (folder.empty()) {
            folder = arg;
        } else {
            return Usage();
        }
    }
    if (folder.empty()) return Usage();

    auto& fs = zyr::dup::DefaultFileSystem();
    std::wstring prefix = folder;
    if (prefix.back() != fs.Separator()) prefix += fs.Separator();
    if (!fs.ListFolder(prefix)) {
        std::fprintf(stderr, "zyrdupes: cannot read the folder %s\n", zyr::dup::WideToUtf8(folder).c_str());
        return 2;
    }

    CTavrinEngine engine;
    FinishedFlag receiver;
    std::unique_ptr<IDuplicateFileScanner> scanner(CreateDuplicateFileScanner(&receiver));
    if (!scanner) {
        std::fputs("zyrdupes: out of memory\n", stderr);
        return 1;
    }
    std::signal(SIGINT, OnInterrupt);
    scanner->Start(folder, recursive, mask);

    const bool terminal = StderrIsTerminal();
    std::string lastLine;
    bool cancelled = false;
    for (;;) {
        const bool finished = receiver.WaitFor(std::chrono::milliseconds(200));
        if (interrupted && !cancelled) {
            scanner->Cancel();
            cancelled = true;
        }
        int32_t state = 0, files = 0, duplicates = 0;
        double progress = 0;
        scanner->GetStatus(&state, &files, &duplicates, &progress, nullptr);
        if (!quiet) {
            char line[160];
            if (progress < 0) {
                std::snprintf(line, sizeof line, "%s: %d files", StateName(state), files);
            } else {
                const double percent = progress >= 100.0 ? 100.0 : progress * 100.0;
                std::snprintf(line, sizeof line, "%s: %d files, %.1f%%, %d duplicate files", StateName(state),
                              files, percent, duplicates);
            }
            if (terminal) {
                std::fprintf(stderr, "\r%-70s", line);
            } else if (line != lastLine) {
                std::fprintf(stderr, "%s\n", line);
            }
            lastLine = line;
        }
        if (finished) break;
    }
    if (!quiet && terminal) std::fputc('\n', stderr);

    std::vector<CDuplicateFileList> sets;
    scanner->GetResults(&sets);
    scanner.reset();  // waits for the worker's last steps
    const std::string out = json ? zyr::dup::FormatSetsAsJson(sets) : zyr::dup::FormatSetsAsText(sets);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    if (cancelled) {
        std::fputs("zyrdupes: cancelled; the sets above are those found before\n", stderr);
        return 130;
    }
    return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    return Run(args);
}
#else
int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(zyr::dup::Utf8ToWide(argv[i]));
    return Run(args);
}
#endif
