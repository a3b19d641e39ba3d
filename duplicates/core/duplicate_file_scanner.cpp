// CDuplicateFileScanner: the status, counters and results shared by the page and the worker.
#include "duplicates/core/duplicate_file_scanner.h"

#include "duplicates/core/text_utf.h"

#include <new>
#include <system_error>

CDuplicateFileScanner::CDuplicateFileScanner(IDuplicateFileScanResultsReceiver* receiver,
                                             zyr::dup::IFileSystem& fileSystem)
    : receiver_(receiver), fileSystem_(fileSystem) {
    AddExcludedFolder(L"%WINDIR%");
    AddExcludedFolder(L"%SYSTEMROOT%");
    AddExcludedFolder(L"%PROGRAMFILES%");
}

CDuplicateFileScanner::~CDuplicateFileScanner() {
    Cancel();
    Wait();
}

void CDuplicateFileScanner::AddExcludedFolder(const wchar_t* variable) {
    std::wstring expanded;
    if (!fileSystem_.ExpandEnvironment(variable, 260, &expanded)) return;
    expanded = expanded.substr(0, expanded.find(L'\0'));
    std::wstring folder = zyr::dup::LowercaseAscii(expanded);
    const wchar_t separator = fileSystem_.Separator();
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == separator)) folder.pop_back();
    // An empty entry would be a prefix of every path and exclude every subfolder.
    if (!folder.empty()) excludedFolders_.insert(folder);
}

void CDuplicateFileScanner::Start(const std::wstring& folder, int32_t recursive, int32_t mask) {
    std::lock_guard workerGuard(workerLock_);
    if (worker_.joinable()) return;  // one scan per scanner
    cancelRequested_ = 0;
    auto* params = new (std::nothrow) ScanParams{folder, recursive, this, mask, &fileSystem_};
    if (params) {
        try {
            worker_ = std::thread(ScanThread, params);
            return;
        } catch (const std::system_error&) {
            delete params;
        }
    }
    // No worker: the scan ends at once, so the page is not left waiting.
    OnFinished();
}

void CDuplicateFileScanner::Wait() {
    std::lock_guard workerGuard(workerLock_);
    if (worker_.joinable()) worker_.join();
}

void CDuplicateFileScanner::Cancel() {
    std::lock_guard guard(lock_);
    cancelRequested_ = 1;
}

void CDuplicateFileScanner::GetStatus(int32_t* state, int32_t* filesFound, int32_t* duplicateFiles,
                                      double* progress, std::wstring* currentPath) {
    std::lock_guard guard(lock_);
    if (state) *state = state_;
    if (filesFound) *filesFound = filesFound_;
    if (duplicateFiles) *duplicateFiles = duplicateFiles_;
    if (progress) *progress = progress_;
    if (currentPath) *currentPath = currentPath_;
}

void CDuplicateFileScanner::GetResults(std::vector<CDuplicateFileList>* results) {
    if (!results) return;
    std::lock_guard guard(lock_);
    results->insert(results->end(), results_.begin(), results_.end());
}

void CDuplicateFileScanner::SetStatus(int32_t state, const std::wstring& path, double progress, int32_t countFile) {
    std::lock_guard guard(lock_);
    state_ = state;
    currentPath_ = path;
    progress_ = progress;
    if (countFile) ++filesFound_;
}

void CDuplicateFileScanner::AddDuplicateFiles(int32_t n) {
    std::lock_guard guard(lock_);
    duplicateFiles_ += n;
}

void CDuplicateFileScanner::AddResult(const CDuplicateFileList& list) {
    std::lock_guard guard(lock_);
    results_.push_back(list);
}

int32_t CDuplicateFileScanner::IsCancelled() {
    std::lock_guard guard(lock_);
    return cancelRequested_;
}

void CDuplicateFileScanner::OnFinished() {
    SetStatus(ScanStateFinished, L"", 100.0, 0);
    std::lock_guard guard(lock_);
    if (receiver_) receiver_->OnScanFinished();
}

int32_t CDuplicateFileScanner::IsExcludedFolder(const std::wstring& path) {
    const std::wstring lower = zyr::dup::LowercaseAscii(path);
    std::lock_guard guard(lock_);
    for (const auto& folder : excludedFolders_) {
        if (lower.compare(0, folder.size(), folder) == 0) return 1;
    }
    return 0;
}

IDuplicateFileScanner* CreateDuplicateFileScanner(IDuplicateFileScanResultsReceiver* receiver,
                                                  zyr::dup::IFileSystem& fileSystem) {
    try {
        return new CDuplicateFileScanner(receiver, fileSystem);
    } catch (...) {
        return nullptr;
    }
}

IDuplicateFileScanner* CreateDuplicateFileScanner(IDuplicateFileScanResultsReceiver* receiver) {
    return CreateDuplicateFileScanner(receiver, zyr::dup::DefaultFileSystem());
}
