// The duplicate file scanner: its interfaces, ScanParams, ScanState and CDuplicateFileScanner.
#pragma once
#include "duplicates/core/duplicate_file_list.h"
#include "duplicates/core/file_system.h"

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

enum ScanState : int32_t {
    ScanStateCollecting = 2,    // once per file accepted during the folder walk
    ScanStateQuickCheck = 3,    // once per file whose first-block checksum is computed
    ScanStateFullCompare = 4,   // once per file whose whole content is compared
    ScanStateFinished = 5,      // once, at the end (also after cancellation)
};

// Told on the worker thread, under the scanner's lock, that a scan has ended. An
// implementation only hands the event over to its own thread.
class IDuplicateFileScanResultsReceiver {
public:
    virtual void OnScanFinished() = 0;

protected:
    ~IDuplicateFileScanResultsReceiver() = default;
};

// What the finder page uses. Deleting a scanner cancels its scan and waits for the worker.
class IDuplicateFileScanner {
public:
    virtual ~IDuplicateFileScanner() = default;
    virtual void Start(const std::wstring& folder, int32_t recursive, int32_t mask) = 0;
    virtual void Cancel() = 0;
    virtual void GetStatus(int32_t* state, int32_t* filesFound, int32_t* duplicateFiles, double* progress,
                           std::wstring* currentPath) = 0;
    // Appends a copy of every stored group, in stored order. A null array does nothing.
    virtual void GetResults(std::vector<CDuplicateFileList>* results) = 0;
};

// What the worker thread uses.
class IDuplicateFileScannerPrivate {
public:
    virtual void SetStatus(int32_t state, const std::wstring& path, double progress, int32_t countFile) = 0;
    virtual void AddDuplicateFiles(int32_t n) = 0;
    virtual void AddResult(const CDuplicateFileList& list) = 0;
    virtual int32_t IsCancelled() = 0;
    virtual void OnFinished() = 0;
    virtual int32_t IsExcludedFolder(const std::wstring& path) = 0;

protected:
    ~IDuplicateFileScannerPrivate() = default;
};

// The worker's argument record.
struct ScanParams {
    std::wstring folder;
    int32_t recursive = 0;
    IDuplicateFileScannerPrivate* scanner = nullptr;
    int32_t mask = 0;
    zyr::dup::IFileSystem* fileSystem = nullptr;  // where the files are read
};

class CDuplicateFileScanner : public IDuplicateFileScanner, public IDuplicateFileScannerPrivate {
public:
    CDuplicateFileScanner(IDuplicateFileScanResultsReceiver* receiver, zyr::dup::IFileSystem& fileSystem);
    ~CDuplicateFileScanner() override;
    CDuplicateFileScanner(const CDuplicateFileScanner&) = delete;
    CDuplicateFileScanner& operator=(const CDuplicateFileScanner&) = delete;

    void Start(const std::wstring& folder, int32_t recursive, int32_t mask) override;
    void Cancel() override;
    void GetStatus(int32_t* state, int32_t* filesFound, int32_t* duplicateFiles, double* progress,
                   std::wstring* currentPath) override;
    void GetResults(std::vector<CDuplicateFileList>* results) override;

    void SetStatus(int32_t state, const std::wstring& path, double progress, int32_t countFile) override;
    void AddDuplicateFiles(int32_t n) override;
    void AddResult(const CDuplicateFileList& list) override;
    int32_t IsCancelled() override;
    void OnFinished() override;
    int32_t IsExcludedFolder(const std::wstring& path) override;

    // Waits for the worker to end (no-op when none runs). For owners and tests.
    void Wait();

private:
    void AddExcludedFolder(const wchar_t* variable);

    int32_t filesFound_ = 0;
    int32_t duplicateFiles_ = 0;
    double progress_ = -1.0;
    std::wstring currentPath_;
    int32_t state_ = 0;
    int32_t cancelRequested_ = 0;
    std::mutex lock_;
    std::vector<CDuplicateFileList> results_;
    IDuplicateFileScanResultsReceiver* receiver_;
    std::set<std::wstring> excludedFolders_;

    zyr::dup::IFileSystem& fileSystem_;
    std::mutex workerLock_;  // guards worker_ between Start, Wait and destruction
    std::thread worker_;
};

// A new scanner over this platform's files, or null when it cannot be allocated. The caller
// owns it and deletes it through IDuplicateFileScanner.
IDuplicateFileScanner* CreateDuplicateFileScanner(IDuplicateFileScanResultsReceiver* receiver);
IDuplicateFileScanner* CreateDuplicateFileScanner(IDuplicateFileScanResultsReceiver* receiver,
                                                  zyr::dup::IFileSystem& fileSystem);

// The worker's entry: runs one scan and frees `params`.
void ScanThread(ScanParams* params);
