// Benchmark: the free-space search of a whole defragmentation plan (first fit for every
// fragmented file, with the bitmap flips of each move) by the indexed search against the
// per-cluster scan from cluster 0. Prints both costs per file and their ratio, and checks that
// both pick the same destinations.
#include "engine/defrag.h"
#include "literal_scans.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace zyr;
using namespace zyr::engine;

namespace {

struct PlannedFile {
    int64_t clusters;
    std::vector<std::pair<int64_t, int64_t>> runs;  // where it lies now
};

// A used volume with free space scattered in small holes and a free end: the first fit of a
// large file lies far from cluster 0.
void Populate(VolumeContext& context, std::vector<PlannedFile>& files, int64_t clusters, int fileCount,
              std::mt19937_64& rng) {
    (void)context.bitmap.Allocate(clusters);
    context.ntfsData.MftZoneStart = clusters / 16;
    context.ntfsData.MftZoneEnd = clusters / 16 + clusters / 64;
    const int64_t usedEnd = clusters * 7 / 10;
    for (int64_t c = 0; c < usedEnd;) {
        const int64_t used = 1 + static_cast<int64_t>(rng() % 64);
        context.bitmap.Flip(c, std::min(used, usedEnd - c));
        c += used + static_cast<int64_t>(rng() % 6);  // holes of 0 to 5 clusters
    }
    // Fragmented files: two pieces each, in distinct places of the used area, marked in use.
    const int64_t stride = usedEnd / (2 * static_cast<int64_t>(fileCount));
    for (int i = 0; i < fileCount; ++i) {
        PlannedFile f;
        f.clusters = 2 + static_cast<int64_t>(rng() % static_cast<uint64_t>(std::min<int64_t>(300, stride)));
        const int64_t half = f.clusters / 2;
        f.runs = {{2 * i * stride, half}, {(2 * i + 1) * stride, f.clusters - half}};
        for (auto [lcn, length] : f.runs)
            for (int64_t c = lcn; c < lcn + length; ++c)
                if (!context.bitmap.IsSet(c)) context.bitmap.Flip(c, 1);
        files.push_back(std::move(f));
    }
}

// One step of the plan: the destination found, then the move's flips (destination taken,
// source released), as MoveFileRuns makes them.
void ApplyMove(VolumeContext& context, const PlannedFile& f, int64_t destination) {
    ToggleClusterRange(context, destination, f.clusters);
    for (auto [lcn, length] : f.runs) ToggleClusterRange(context, lcn, length);
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t clusters = argc > 1 ? std::atoll(argv[1]) : 16 * 1024 * 1024;
    const int fileCount = argc > 2 ? std::atoi(argv[2]) : 20000;
    const double literalSeconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    using Clock = std::chrono::steady_clock;

    std::mt19937_64 rng(42);
    VolumeContext fast, literal;
    std::vector<PlannedFile> files, unused;
    Populate(fast, files, clusters, fileCount, rng);
    rng.seed(42);
    Populate(literal, unused, clusters, fileCount, rng);

    // Indexed search: the whole plan (index construction included).
    std::vector<int64_t> destinations;
    const auto t0 = Clock::now();
    for (const PlannedFile& f : files) {
        const int64_t destination = FindFreeRun(f.clusters, fast);
        destinations.push_back(destination);
        if (destination <= clusters - f.clusters) ApplyMove(fast, f, destination);
    }
    const double fastTotal = std::chrono::duration<double>(Clock::now() - t0).count();

    // Literal scan: as many files of the same plan as fit in the time budget.
    size_t done = 0, mismatches = 0;
    double literalTotal = 0;
    const auto t1 = Clock::now();
    for (const PlannedFile& f : files) {
        const auto start = Clock::now();
        const int64_t destination = test::LiteralFindFreeRun(literal.bitmap, f.clusters, literal.ntfsData.MftZoneStart,
                                                             literal.ntfsData.MftZoneEnd);
        literalTotal += std::chrono::duration<double>(Clock::now() - start).count();
        mismatches += destination != destinations[done];
        if (destination <= clusters - f.clusters) ApplyMove(literal, f, destination);
        ++done;
        if (std::chrono::duration<double>(Clock::now() - t1).count() > literalSeconds) break;
    }
    const double fastPerFile = fastTotal / static_cast<double>(files.size());
    const double literalPerFile = literalTotal / static_cast<double>(done);
    std::printf("volume: %lld clusters, plan: %d fragmented files\n", static_cast<long long>(clusters), fileCount);
    std::printf("indexed search: %.3f ms for the whole plan (%.2f us per file)\n", fastTotal * 1e3, fastPerFile * 1e6);
    std::printf("literal scan:   %.3f s for the first %zu files (%.2f us per file); whole plan ~%.1f s\n",
                literalTotal, done, literalPerFile * 1e6, literalPerFile * static_cast<double>(files.size()));
    std::printf("ratio (literal / indexed, per file): %.0fx\n", literalPerFile / fastPerFile);
    std::printf("destinations that differ over the compared files: %zu\n", mismatches);
    return mismatches == 0 ? 0 : 1;
}
