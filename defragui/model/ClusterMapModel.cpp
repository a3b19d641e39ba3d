// Cells of the cluster map: bitmap summary, run merging and resampling to the window's grid.
#include "defragui/model/ClusterMapModel.h"

#include <algorithm>
#include <bit>

namespace zyr::defragui {
namespace {

// Set bits of bitmap bytes [first, last), bytes beyond the bitmap counting as empty.
int64_t CountBits(std::span<const uint8_t> bitmap, int64_t first, int64_t last) {
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, static_cast<int64_t>(bitmap.size()));
    int64_t bits = 0;
    for (int64_t i = first; i < last; ++i) bits += std::popcount(bitmap[static_cast<size_t>(i)]);
    return bits;
}

}  // namespace

int CellState(const VISUAL_CLUSTER_STRUCT& cell) {
    if (cell.fragmentedClusters > cell.unfragmentedClusters) return 3;
    if (cell.unfragmentedClusters > cell.fragmentedClusters) return 2;
    return 0;
}

void ClusterMapModel::Reset() {
    std::lock_guard guard(lock_);
    addedExtents_.clear();
    removedExtents_.clear();
    dataCells_.clear();
    BuildVisualCells();
}

void ClusterMapModel::InitFromBitmap(int64_t startingLcn, int64_t bitmapSize, std::span<const uint8_t> bitmap) {
    std::lock_guard guard(lock_);
    addedExtents_.clear();
    removedExtents_.clear();
    dataCells_.clear();
    startLcn_ = startingLcn;
    endLcn_ = startingLcn + bitmapSize;

    // Whole bitmap bytes per cell, about kTargetDataCells cells whatever the volume size
    // (64-bit arithmetic: volumes beyond 2^31 clusters get a correct map too).
    clustersPerCell_ = std::max<int64_t>(endLcn_ / kTargetDataCells, 8) / 8 * 8;
    const int64_t cells = std::max<int64_t>(endLcn_, 0) / clustersPerCell_ + 1;
    dataCells_.resize(static_cast<size_t>(cells));
    for (int64_t i = 0; i + 1 < cells; ++i) {
        auto& cell = dataCells_[static_cast<size_t>(i)];
        cell.endLcn = (i + 1) * clustersPerCell_;
        cell.usedClusters = CountBits(bitmap, i * clustersPerCell_ / 8, (i + 1) * clustersPerCell_ / 8);
    }
    auto& last = dataCells_.back();
    const int64_t lastStart = (cells - 1) * clustersPerCell_;
    last.endLcn = endLcn_ + 1;
    last.usedClusters = CountBits(bitmap, lastStart / 8, endLcn_ / 8);
    BuildVisualCells();
}

void ClusterMapModel::QueueExtents(int64_t startingVcn, std::span<const MapRun> runs, bool added) {
    std::lock_guard guard(lock_);
    auto& queue = added ? addedExtents_ : removedExtents_;
    const size_t first = queue.size();
    int64_t boundary = startingVcn;
    for (const MapRun& run : runs) {
        if (run.lcn != -1) queue.push_back({run.lcn, run.nextVcn - boundary, 3});
        boundary = run.nextVcn;
    }
    const size_t appended = queue.size() - first;
    bool contiguous = appended >= 1;
    for (size_t i = first + 1; i < queue.size() && contiguous; ++i)
        contiguous = queue[i - 1].lcn + queue[i - 1].count == queue[i].lcn;
    if (contiguous)
        for (size_t i = first; i < queue.size(); ++i) queue[i].kind = 2;
}

void ClusterMapModel::ApplyQueue(std::vector<EXTENT_STRUCT>& queue, int sign, bool countUsed) {
    if (queue.empty() || dataCells_.empty()) {
        queue.clear();
        return;
    }
    std::sort(queue.begin(), queue.end(), [](const EXTENT_STRUCT& a, const EXTENT_STRUCT& b) { return a.lcn < b.lcn; });
    size_t c = 0;
    auto add = [&](VISUAL_CLUSTER_STRUCT& cell, int64_t clusters, int16_t kind) {
        (kind == 2 ? cell.unfragmentedClusters : cell.fragmentedClusters) += sign * clusters;
        if (countUsed) cell.usedClusters += sign * clusters;
    };
    for (EXTENT_STRUCT run : queue) {
        for (;;) {
            if (run.lcn >= dataCells_[c].endLcn) {
                dataCells_[c].state = CellState(dataCells_[c]);
                while (c + 1 < dataCells_.size() && dataCells_[c].endLcn <= run.lcn) ++c;
                if (run.lcn >= dataCells_[c].endLcn) break;  // beyond the volume
            }
            auto& cell = dataCells_[c];
            if (run.lcn + run.count > cell.endLcn) {
                int64_t inside = cell.endLcn - run.lcn;
                add(cell, inside, run.kind);
                run.count -= inside;
                run.lcn = cell.endLcn;
                continue;
            }
            add(cell, run.count, run.kind);
            break;
        }
    }
    dataCells_[c].state = CellState(dataCells_[c]);
    queue.clear();
}

void ClusterMapModel::MergeExtents() {
    std::lock_guard guard(lock_);
    // Moved files fill both queues: their new places become used, their old ones free.
    ApplyQueue(addedExtents_, +1, !removedExtents_.empty());
    ApplyQueue(removedExtents_, -1, true);
    BuildVisualCells();
}

bool ClusterMapModel::SetGrid(int columns, int rows) {
    std::lock_guard guard(lock_);
    if (columns == columns_ && rows == rows_) return false;
    columns_ = columns;
    rows_ = rows;
    BuildVisualCells();
    return true;
}

void ClusterMapModel::BuildVisualCells() {
    std::lock_guard guard(lock_);
    const int64_t n = static_cast<int64_t>(std::max(columns_, 0)) * std::max(rows_, 0);
    visualCells_.assign(static_cast<size_t>(n), VISUAL_CLUSTER_STRUCT{});
    // Resampling needs two squares at least; a smaller window shows nothing.
    if (n < 2) {
        visualCells_.clear();
        return;
    }
    const int64_t step = endLcn_ / (n - 1);
    for (int64_t i = 0; i < n; ++i) visualCells_[static_cast<size_t>(i)].endLcn = (i + 1) * step;
    visualCells_.back().endLcn = endLcn_ + 1;

    size_t i = 0, j = 0;
    while (j < dataCells_.size() && i < visualCells_.size()) {
        const auto& data = dataCells_[j];
        if (data.endLcn > visualCells_[i].endLcn) {
            visualCells_[i].state = CellState(visualCells_[i]);
            while (i < visualCells_.size() && data.endLcn > visualCells_[i].endLcn) {
                int64_t files = data.fragmentedClusters + data.unfragmentedClusters;
                if (files > 0) visualCells_[i].usedClusters += files;
                ++i;
            }
            if (i == visualCells_.size()) break;
        }
        auto& cell = visualCells_[i];
        cell.fragmentedClusters += data.fragmentedClusters;
        cell.unfragmentedClusters += data.unfragmentedClusters;
        cell.usedClusters += data.usedClusters;
        ++j;
    }
    visualCells_[std::min(i, visualCells_.size() - 1)].state = CellState(visualCells_[std::min(i, visualCells_.size() - 1)]);
}

int ClusterMapModel::GetFragmentationPercent() const {
    int64_t fragmented = 0, unfragmented = 0;
    for (const auto& cell : visualCells_) {
        fragmented += cell.fragmentedClusters;
        unfragmented += cell.unfragmentedClusters;
    }
    const int64_t total = fragmented + unfragmented;
    return total == 0 ? 0 : static_cast<int>(100 * fragmented / total);
}

}  // namespace zyr::defragui
