// The cluster map's cells: a fixed number of data cells summarising the volume, resampled into
// one visual cell per drawn square (portable; the window draws what this holds).
#pragma once
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace zyr::defragui {

// One queued run of a file.
struct EXTENT_STRUCT {
    int64_t lcn;
    int64_t count;
    int16_t kind;  // 2: part of an unfragmented file, 3: part of a fragmented file
};

// One cell (data or visual). Its range starts at the previous cell's endLcn, or 0.
struct VISUAL_CLUSTER_STRUCT {
    int64_t endLcn = 0;  // exclusive
    int64_t fragmentedClusters = 0;
    int64_t unfragmentedClusters = 0;
    int64_t usedClusters = 0;
    int state = 0;  // 3: mostly fragmented, 2: mostly unfragmented, 0: neither
};

// A run of a retrieval-pointer list: the VCN after it and where it lies (-1: virtual).
struct MapRun {
    int64_t nextVcn;
    int64_t lcn;
};

class ClusterMapModel {
public:
    static constexpr int64_t kTargetDataCells = 35842;

    // Held around every use of the cells; a thread holding it may take it again.
    std::recursive_mutex& lock() { return lock_; }

    // Empties both queues and the data cells and rebuilds the visual cells.
    void Reset();
    // Summarises the allocation bitmap (bit n of the volume = cluster startingLcn + n is used).
    void InitFromBitmap(int64_t startingLcn, int64_t bitmapSize, std::span<const uint8_t> bitmap);
    // Queues the real runs of one file, to be added (true) or removed (false) at the next merge.
    void QueueExtents(int64_t startingVcn, std::span<const MapRun> runs, bool added);
    // Applies both queues to the data cells and rebuilds the visual cells.
    void MergeExtents();
    // Sets the grid; rebuilds the visual cells when it changed. True when it changed.
    bool SetGrid(int columns, int rows);
    void BuildVisualCells();
    // 100 x fragmented / (fragmented + unfragmented) over the visual cells, truncated; 0 for none.
    int GetFragmentationPercent() const;

    int64_t clustersPerCell() const { return clustersPerCell_; }
    int64_t startLcn() const { return startLcn_; }
    int64_t endLcn() const { return endLcn_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    const std::vector<VISUAL_CLUSTER_STRUCT>& dataCells() const { return dataCells_; }
    const std::vector<VISUAL_CLUSTER_STRUCT>& visualCells() const { return visualCells_; }
    const std::vector<EXTENT_STRUCT>& addedExtents() const { return addedExtents_; }
    const std::vector<EXTENT_STRUCT>& removedExtents() const { return removedExtents_; }

private:
    void ApplyQueue(std::vector<EXTENT_STRUCT>& queue, int sign, bool countUsed);

    mutable std::recursive_mutex lock_;
    std::vector<EXTENT_STRUCT> addedExtents_, removedExtents_;
    std::vector<VISUAL_CLUSTER_STRUCT> dataCells_, visualCells_;
    int columns_ = 0, rows_ = 0;
    int64_t startLcn_ = 0, endLcn_ = 0;
    int64_t clustersPerCell_ = 8;
};

// The state of a cell from its counters.
int CellState(const VISUAL_CLUSTER_STRUCT& cell);

}  // namespace zyr::defragui
