// Builds small NTFS device images in memory: a boot sector and a master file table whose
// records carry standard information, file names and, for record 0, the table's run list.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zyr::test {

struct SyntheticRecord {
    uint32_t number = 16;
    bool inUse = true;
    bool directory = false;
    uint32_t parent = 5;
    std::wstring name;
    uint8_t nameSpace = 1;             // 2 = the 8.3 name space
    std::wstring extraName;            // a second file name (name space 2) when not empty
    bool corruptFixup = false;         // stride 1 does not end with the update sequence number
};

struct MftImageLayout {
    int bytesPerSector = 512;
    int sectorsPerCluster = 8;
    int recordSize = 1024;
    uint8_t clustersPerRecordByte = 0xF6;  // 2^10
    int64_t recordCount = 32;
    // Runs {lcn, clusters} of the table; by default one run at cluster 4 long enough.
    std::vector<std::pair<int64_t, int64_t>> mftRuns;
};

std::vector<uint8_t> BuildMftImage(const MftImageLayout& layout, const std::vector<SyntheticRecord>& records);

// One file record as the image holds it (update sequence applied), for parser tests.
std::vector<uint8_t> BuildFileRecord(int recordSize, const SyntheticRecord& record);

}  // namespace zyr::test
