// Lists every file and directory of an NTFS volume from its master file table, read straight
// from the volume device in 32 KB chunks, and builds their full paths.
#pragma once
#include "engine/mft_records.h"
#include "engine/scoped_handle.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace zyr::engine {

class IDefragParent;

class CMFTParser {
public:
    static constexpr int64_t kChunkBytes = 32768;

    // No device access yet. driveName is "C:".
    explicit CMFTParser(const std::wstring& driveName);
    virtual ~CMFTParser();
    CMFTParser(const CMFTParser&) = delete;
    CMFTParser& operator=(const CMFTParser&) = delete;

    // Boot sector, the table's own record and its run list. False when any of it is unusable.
    bool ReadMftLayout();
    // Every record in use from number 16 on that carries a file name. Asks parent (may be null)
    // IsStopRequested before each record and after each chunk. False when a chunk read failed.
    bool ReadFileRecords(IDefragParent* parent);

    size_t GetEntryCount() const noexcept { return entries_.size(); }
    struct EntryPath {
        std::wstring path;  // "C:\dir\file", or empty
        MftFileEntry entry;
    };
    EntryPath GetEntryPath(size_t index) const;

    // Geometry found by ReadMftLayout.
    int recordSize() const noexcept { return recordSize_; }
    int clusterSize() const noexcept { return clusterSize_; }
    int bytesPerSector() const noexcept { return bytesPerSector_; }
    int64_t mftOffset() const noexcept { return mftOffset_; }
    const std::vector<MftRun>& mftRuns() const noexcept { return mftRuns_; }

private:
    struct ReadResult {
        uint32_t error = 0;
        int64_t bytes = 0;
    };
    bool OpenDevice();
    ReadResult ReadMftChunk(int64_t tableOffset);
    // count (<= 32 KB) bytes from a volume position, read in whole sectors, into out.
    uint32_t ReadRunBytes(int64_t position, int64_t count, uint8_t* out);
    uint8_t* AlignedBuffer() noexcept;  // 32 KB inside sectors_, aligned for unbuffered reads
    const std::wstring& NameOf(const MftFileEntry& entry) const noexcept;

    ScopedHandle volume_;
    uint8_t bootSector_[512] = {};
    std::vector<MftRun> mftRuns_;
    std::unordered_map<uint64_t, size_t> entriesByRecord_;  // recordNumber -> index in entries_
    std::vector<MftFileEntry> entries_;                     // ascending record number
    std::wstring devicePath_;
    std::wstring driveName_;
    int recordSize_ = 0;
    int clusterSize_ = 0;
    int bytesPerSector_ = 0;
    int64_t mftOffset_ = 0;
    std::vector<uint8_t> chunk_;   // one chunk of the table
    std::vector<uint8_t> sectors_; // sector-aligned read buffer
};

}  // namespace zyr::engine
