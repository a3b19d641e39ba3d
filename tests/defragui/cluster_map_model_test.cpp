// The cluster map's cells: sizes, bitmap summary, queued runs, merging and resampling.
#include "defragui/model/ClusterMapModel.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace zyr::defragui;

namespace {

std::vector<uint8_t> Bitmap(int64_t clusters, std::initializer_list<std::pair<int64_t, int64_t>> used) {
    std::vector<uint8_t> bits(static_cast<size_t>((clusters + 7) / 8), 0);
    for (auto [lcn, count] : used)
        for (int64_t c = lcn; c < lcn + count; ++c) bits[static_cast<size_t>(c / 8)] |= uint8_t(1u << (c % 8));
    return bits;
}

TEST(ClusterMap, DataCellsDependOnlyOnTheVolumeSize) {
    struct Case {
        int64_t clusters, perCell, cells;
    };
    const Case cases[] = {
        {100'000, 8, 12'501},
        {10'000'000, 272, 36'765},
        {573'471, 8, 71'684},
        {1, 8, 1},
        // Beyond 2^32 clusters the arithmetic stays 64-bit.
        {int64_t{1} << 33, (int64_t{1} << 33) / 35842 / 8 * 8, (int64_t{1} << 33) / ((int64_t{1} << 33) / 35842 / 8 * 8) + 1},
    };
    for (const auto& c : cases) {
        ClusterMapModel map;
        map.InitFromBitmap(0, c.clusters, {});
        EXPECT_EQ(map.clustersPerCell(), c.perCell) << c.clusters;
        ASSERT_EQ(static_cast<int64_t>(map.dataCells().size()), c.cells) << c.clusters;
        EXPECT_EQ(map.dataCells().back().endLcn, c.clusters + 1);
        if (c.cells > 1) EXPECT_EQ(map.dataCells()[0].endLcn, c.perCell);
    }
}

TEST(ClusterMap, BitmapIsCountedPerCell) {
    ClusterMapModel map;
    auto bits = Bitmap(100, {{0, 3}, {8, 8}, {20, 1}, {96, 4}});
    map.InitFromBitmap(0, 100, bits);
    ASSERT_EQ(map.dataCells().size(), 13u);
    EXPECT_EQ(map.dataCells()[0].usedClusters, 3);
    EXPECT_EQ(map.dataCells()[1].usedClusters, 8);
    EXPECT_EQ(map.dataCells()[2].usedClusters, 1);
    EXPECT_EQ(map.dataCells()[12].usedClusters, 0);  // bytes from 96/8 up to 100/8: none
    EXPECT_EQ(map.dataCells()[11].usedClusters, 0);
}

TEST(ClusterMap, RunsAreQueuedAsFragmentedOnlyWhenTheyDoNotFollowEachOther) {
    struct Case {
        std::vector<MapRun> runs;
        int16_t kind;
        size_t queued;
    };
    const Case cases[] = {
        {{{10, 100}, {25, 110}}, 2, 2},           // 100+10 = 110: contiguous
        {{{10, 100}, {25, 300}}, 3, 2},
        {{{10, 100}}, 2, 1},
        {{{10, 100}, {16, -1}, {20, 110}}, 2, 2},   // a virtual run between them is skipped
        {{{10, -1}}, 0, 0},
    };
    for (const auto& c : cases) {
        ClusterMapModel map;
        map.QueueExtents(0, c.runs, true);
        ASSERT_EQ(map.addedExtents().size(), c.queued);
        for (const auto& e : map.addedExtents()) EXPECT_EQ(e.kind, c.kind);
    }
    ClusterMapModel map;
    map.QueueExtents(0, std::vector<MapRun>{{10, 100}, {16, -1}, {20, 300}}, false);
    ASSERT_EQ(map.removedExtents().size(), 2u);
    EXPECT_EQ(map.removedExtents()[1].count, 4);  // counted from the virtual run's end
}

TEST(ClusterMap, MergeSplitsRunsOverCellsAndMovesFreeSpace) {
    ClusterMapModel map;
    auto bits = Bitmap(64, {{4, 10}});
    map.InitFromBitmap(0, 64, bits);  // 8 clusters a cell
    map.SetGrid(8, 1);
    map.QueueExtents(0, std::vector<MapRun>{{10, 4}}, true);  // unfragmented 4..13
    map.MergeExtents();
    const auto& cells = map.dataCells();
    EXPECT_EQ(cells[0].unfragmentedClusters, 4);
    EXPECT_EQ(cells[1].unfragmentedClusters, 6);
    EXPECT_EQ(cells[0].usedClusters, 4);  // an analysis adds nothing to used
    EXPECT_EQ(cells[0].state, 2);

    // A move: the new place becomes used, the old one free.
    map.QueueExtents(0, std::vector<MapRun>{{10, 40}}, true);
    map.QueueExtents(0, std::vector<MapRun>{{10, 4}}, false);
    map.MergeExtents();
    EXPECT_EQ(cells[0].unfragmentedClusters, 0);
    EXPECT_EQ(cells[0].usedClusters, 0);
    EXPECT_EQ(cells[5].unfragmentedClusters, 8);
    EXPECT_EQ(cells[5].usedClusters, 8);
    EXPECT_TRUE(map.addedExtents().empty());
    EXPECT_TRUE(map.removedExtents().empty());
}

TEST(ClusterMap, EqualCountsGiveStateZeroAndPercentFollowsTheCells) {
    ClusterMapModel map;
    map.InitFromBitmap(0, 64, Bitmap(64, {{0, 10}}));
    map.SetGrid(4, 2);
    EXPECT_EQ(map.GetFragmentationPercent(), 0);  // nothing recorded
    map.QueueExtents(0, std::vector<MapRun>{{5, 0}}, true);
    map.QueueExtents(0, std::vector<MapRun>{{2, 5}, {5, 20}}, true);  // 2 at 5, 3 at 20: fragmented
    map.MergeExtents();
    EXPECT_EQ(map.dataCells()[0].fragmentedClusters, 2);
    EXPECT_EQ(map.dataCells()[2].fragmentedClusters, 3);
    map.QueueExtents(0, std::vector<MapRun>{{2, 30}, {4, 40}}, true);
    map.MergeExtents();
    EXPECT_EQ(map.GetFragmentationPercent(), 100 * 9 / 14);  // 9 fragmented, 5 unfragmented
    ClusterMapModel tie;
    tie.InitFromBitmap(0, 64, Bitmap(64, {{0, 10}}));
    tie.SetGrid(8, 1);
    tie.QueueExtents(0, std::vector<MapRun>{{5, 0}}, true);
    tie.QueueExtents(0, std::vector<MapRun>{{3, 5}, {5, 2}}, true);  // 3 + 2 fragmented, not contiguous
    tie.MergeExtents();
    EXPECT_EQ(tie.dataCells()[0].unfragmentedClusters, 5);
    EXPECT_EQ(tie.dataCells()[0].fragmentedClusters, 5);
    EXPECT_EQ(tie.dataCells()[0].state, 0);
    EXPECT_GT(tie.dataCells()[0].usedClusters, 0);
}

TEST(ClusterMap, VisualCellsKeepEveryClusterWhateverTheGrid) {
    std::mt19937 rng(7);
    ClusterMapModel map;
    const int64_t clusters = 1'000'003;
    std::vector<uint8_t> bits((clusters + 7) / 8);
    for (auto& b : bits) b = static_cast<uint8_t>(rng());
    map.InitFromBitmap(0, clusters, bits);
    int64_t used = 0;
    for (const auto& c : map.dataCells()) used += c.usedClusters;
    for (auto [columns, rows] : {std::pair{80, 40}, {3, 1}, {500, 300}, {1, 2}}) {
        map.SetGrid(columns, rows);
        int64_t seen = 0;
        for (const auto& c : map.visualCells()) seen += c.usedClusters;
        EXPECT_EQ(seen, used) << columns << "x" << rows;
        EXPECT_EQ(map.visualCells().back().endLcn, clusters + 1);
    }
}

TEST(ClusterMap, TinyWindowsAndEmptyMapsAreSafe) {
    ClusterMapModel map;
    map.SetGrid(1, 1);
    EXPECT_TRUE(map.visualCells().empty());
    map.SetGrid(0, 5);
    map.MergeExtents();
    map.QueueExtents(0, std::vector<MapRun>{{5, 100}}, true);
    map.MergeExtents();  // no data cells yet: the queue is dropped
    EXPECT_TRUE(map.addedExtents().empty());
    map.InitFromBitmap(0, 1000, {});
    map.QueueExtents(0, std::vector<MapRun>{{5, 5000}}, true);  // beyond the volume
    map.MergeExtents();
    EXPECT_TRUE(map.lock().try_lock());
    map.lock().unlock();
    map.Reset();
    EXPECT_TRUE(map.dataCells().empty());
}

}  // namespace
