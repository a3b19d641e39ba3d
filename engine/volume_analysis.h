// The result of analysing a volume: one AnalyzedFile per recorded file or directory, the
// bitmap copy taken at the start and the reserved areas, and a moved file's before-and-after
// run lists.
#pragma once
#include "engine/run_list.h"
#include "engine/volume_bitmap.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace zyr::engine {

struct AnalyzedFile {
    int isFile = 1;        // 1 file, 0 directory: selects the open mode
    int64_t firstLcn = 0;  // Lcn of the first run; -1 once consolidation has handled the file
    int64_t clusters = 0;  // clusters on disk
    int64_t sizeOnDisk = 0;
    int64_t fileSize = 0;
    int fragmented = 0;
    std::wstring path;                 // "C:\dir\file"
    std::unique_ptr<RunList> extents;  // run list at analysis time
};

struct VolumeAnalysis {
    VolumeBitmap bitmap;  // copy of the job's bitmap when the analysis started
    int64_t mftZoneStart = 0, mftZoneEnd = 0;
    int64_t mftStart = 0, mftEnd = 0;
    int64_t mirrorStart = 0, mirrorEnd = 0;
    int64_t totalClusters = 0;       // over every recorded file
    int64_t fragmentedClusters = 0;  // over the recorded files that are fragmented
    // Every recorded file by path, in ordinal order of the UTF-16 code units.
    std::map<std::wstring, std::unique_ptr<AnalyzedFile>> files;
};

// The runs of a moved file before and after its move (progress kinds 2 and 3).
struct MovedExtents {
    std::unique_ptr<RunList> before;
    std::unique_ptr<RunList> after;
};

}  // namespace zyr::engine
