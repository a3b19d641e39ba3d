// The word-wide count and the indexed free-space searches pick exactly what the per-cluster scans
// pick, on random bitmaps changed by random moves.
#include "engine/defrag.h"
#include "engine/jobs.h"
#include "literal_scans.h"

#include <gtest/gtest.h>

#include <random>

using namespace zyr;
using namespace zyr::engine;

namespace {

// Runs of used and free clusters with random lengths, so that long free stretches occur.
std::unique_ptr<VolumeContext> RandomVolume(std::mt19937_64& rng, int64_t size) {
    auto context = std::make_unique<VolumeContext>();
    EXPECT_TRUE(context->bitmap.Allocate(size));
    const int64_t meanRun = 1 + static_cast<int64_t>(rng() % 200);
    bool used = rng() & 1;
    for (int64_t c = 0; c < size;) {
        const int64_t length = 1 + static_cast<int64_t>(rng() % (2 * meanRun));
        if (used) context->bitmap.Flip(c, std::min(length, size - c));
        c += length;
        used = !used;
    }
    auto& d = context->ntfsData;
    d.BytesPerCluster = 4096;
    auto point = [&] { return static_cast<int64_t>(rng() % (size + 2)) - 1; };
    d.MftZoneStart = point();
    d.MftZoneEnd = d.MftZoneStart + static_cast<int64_t>(rng() % (size / 3 + 2));
    d.MftStartLcn = point();
    d.MftValidDataLength = static_cast<int64_t>(rng() % 300) * 4096;
    d.Mft2StartLcn = point();
    return context;
}

}  // namespace

TEST(FreeSpace, CountUsedClustersMatchesTheBitLoop) {
    std::mt19937_64 rng(7);
    for (int64_t size : {0, 1, 63, 64, 65, 4095, 4096, 4097, 10007}) {
        auto context = RandomVolume(rng, size);
        EXPECT_EQ(CountUsedClusters(context->bitmap), test::LiteralCountUsed(context->bitmap)) << size;
    }
}

TEST(FreeSpace, ToggleTwiceRestoresTheBitmap) {
    std::mt19937_64 rng(3);
    auto context = RandomVolume(rng, 5000);
    const std::vector<uint8_t> before(context->bitmap.Data(), context->bitmap.Data() + context->bitmap.ByteSize());
    ToggleClusterRange(*context, 70, 4100);
    ToggleClusterRange(*context, 70, 4100);
    EXPECT_EQ(std::vector<uint8_t>(context->bitmap.Data(), context->bitmap.Data() + context->bitmap.ByteSize()), before);
}

TEST(FreeSpace, FastSearchesPickWhatTheLiteralScansPick) {
    std::mt19937_64 rng(20261209);
    for (int trial = 0; trial < 60; ++trial) {
        const int64_t size = trial < 10 ? static_cast<int64_t>(rng() % 300) : 1000 + static_cast<int64_t>(rng() % 30000);
        auto context = RandomVolume(rng, size);
        const auto& d = context->ntfsData;
        const test::LiteralAreas areas{d.MftZoneStart, d.MftZoneEnd, d.MftStartLcn,
                                       d.MftStartLcn + d.MftValidDataLength / 4096, d.Mft2StartLcn,
                                       d.Mft2StartLcn + d.MftValidDataLength / 4096};
        for (int step = 0; step < 200; ++step) {
            const int64_t n = rng() % 4 == 0 ? static_cast<int64_t>(rng() % 8) - 2
                                             : static_cast<int64_t>(rng() % (size / 4 + 3));
            ASSERT_EQ(FindFreeRun(n, *context), test::LiteralFindFreeRun(context->bitmap, n, d.MftZoneStart, d.MftZoneEnd))
                << "trial " << trial << " step " << step << " n " << n;
            const int64_t position = static_cast<int64_t>(rng() % (size + 3));
            const Gap gap = FindNextGap(*context, position);
            const auto [start, length] = test::LiteralFindNextGap(context->bitmap, areas, position);
            ASSERT_EQ(gap.start, start) << "trial " << trial << " position " << position;
            ASSERT_EQ(gap.length, length) << "trial " << trial << " position " << position;
            // A move: some clusters taken, others released.
            const int64_t first = static_cast<int64_t>(rng() % (size + 1));
            ToggleClusterRange(*context, first, static_cast<int64_t>(rng() % 300));
        }
        EXPECT_EQ(CountUsedClusters(context->bitmap), test::LiteralCountUsed(context->bitmap));
    }
}
