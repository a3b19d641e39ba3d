// Run lists: reading them, counting clusters and breaks, and recording one file's layout.
#include "engine/defrag.h"
#include "engine/defrag_log.h"
#include "engine/defrag_parent.h"
#include "fake_volume.h"
#include "recording_parent.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zyr;
using namespace zyr::engine;

namespace {

RunList MakeRunList(int64_t startingVcn, std::vector<win::RETRIEVAL_POINTERS_EXTENT> extents) {
    std::vector<uint8_t> bytes(16 + 16 * extents.size(), 0);
    const uint32_t count = static_cast<uint32_t>(extents.size());
    std::memcpy(bytes.data(), &count, 4);
    std::memcpy(bytes.data() + 8, &startingVcn, 8);
    std::memcpy(bytes.data() + 16, extents.data(), 16 * extents.size());
    return RunList(bytes.data(), bytes.size());
}

}  // namespace

TEST(CountFileClusters, VirtualRunsAndBreaks) {
    struct Case {
        const char* name;
        std::vector<win::RETRIEVAL_POINTERS_EXTENT> extents;
        int64_t clusters;
        bool fragmented;
    } cases[] = {
        {"second run elsewhere", {{10, 100}, {25, 300}}, 25, true},
        {"second run follows the first", {{10, 100}, {25, 110}}, 25, false},
        {"virtual run between contiguous runs", {{10, 100}, {16, -1}, {25, 110}}, 19, false},
        {"virtual run between separate runs", {{10, 100}, {16, -1}, {25, 116}}, 19, true},
        {"virtual first run", {{8, -1}, {20, 500}}, 20, true},
        {"single run", {{7, 40}}, 7, false},
    };
    for (const Case& c : cases) {
        const ClusterCount count = CountFileClusters(MakeRunList(0, c.extents));
        EXPECT_EQ(count.clusters, c.clusters) << c.name;
        EXPECT_EQ(count.fragmented, c.fragmented) << c.name;
    }
}

TEST(GetRetrievalPointers, GrowsTheRequestUntilTheRunsFit) {
    test::FakeVolume volume(1000);
    std::vector<std::pair<int64_t, int64_t>> runs;
    for (int i = 0; i < 150; ++i) runs.push_back({2 * i, 1});  // 150 separate one-cluster runs
    volume.AddFile(L"X:\\many", runs);
    test::ScopedVolumeApi bind(volume);
    OpenedFile file = OpenTargetFile(L"X:\\many", true);
    ASSERT_TRUE(file.handle.Valid());
    auto list = GetRetrievalPointers(file.handle.Get());
    ASSERT_TRUE(list);
    EXPECT_EQ(volume.retrievalRequestSizes, (std::vector<uint32_t>{1632, 3232}));
    EXPECT_EQ(list->ExtentCount(), 150u);
    EXPECT_EQ(list->ByteSize(), 16u + 150 * 16);
    EXPECT_EQ(list->Extent(149).Lcn, 298);
    EXPECT_EQ(GetRetrievalPointers(vol::kInvalidHandle), nullptr);
}

TEST(LogDefragMessage, FormatsWideStringsAndNumbersAndReportsKind4) {
    EXPECT_EQ(FormatDefragMessage(L"CDefrag::AnalyzeFile failed to open file handle for %s, error code %d",
                                  L"C:\\a b", -5),
              L"CDefrag::AnalyzeFile failed to open file handle for C:\\a b, error code -5");
    EXPECT_EQ(FormatDefragMessage(L"100%% %s", std::wstring(5000, L'x').c_str()).size(), 4095u);
    test::RecordingParent parent;
    LogDefragMessage(&parent, L"line %d", 7);
    ASSERT_EQ(parent.events.size(), 1u);
    EXPECT_EQ(parent.events[0].value, kProgressLogLine);
    EXPECT_EQ(parent.events[0].percent, -1);
    EXPECT_EQ(parent.events[0].path, L"line 7");
    EXPECT_EQ(parent.events[0].data, nullptr);
}

class AnalyzeFileTest : public ::testing::Test {
protected:
    test::FakeVolume volume{1000};
    VolumeContext context;
    VolumeAnalysis analysis;
    test::RecordingParent parent;
    int64_t running = 0;

    void Analyze(const std::wstring& path, bool isFile = true) {
        test::ScopedVolumeApi bind(volume);
        auto file = std::make_unique<AnalyzedFile>();
        file->isFile = isFile;
        CDefrag().AnalyzeFile(path, context, &parent, running, 200, analysis, std::move(file));
    }
};

TEST_F(AnalyzeFileTest, RecordsAFragmentedFileAndReportsIt) {
    context.ntfsData.BytesPerCluster = 4096;
    volume.AddFile(L"X:\\f", {{100, 10}, {300, 15}});
    Analyze(L"X:\\f");
    ASSERT_EQ(analysis.files.count(L"X:\\f"), 1u);
    const AnalyzedFile& f = *analysis.files.at(L"X:\\f");
    EXPECT_EQ(f.clusters, 25);
    EXPECT_EQ(f.fragmented, 1);
    EXPECT_EQ(f.firstLcn, 100);
    EXPECT_EQ(f.sizeOnDisk, 25 * 4096);
    EXPECT_EQ(f.fileSize, 25 * 4096);
    EXPECT_EQ(analysis.totalClusters, 25);
    EXPECT_EQ(analysis.fragmentedClusters, 25);
    EXPECT_EQ(running, 25);
    const auto reports = parent.OfKind(kProgressFileAnalyzed);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].percent, 12);  // 25 of 200, truncated
    EXPECT_EQ(reports[0].data, &f);
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST_F(AnalyzeFileTest, ResidentFilesAreLeftOutSilently) {
    volume.AddFile(L"X:\\small", {});
    Analyze(L"X:\\small");
    EXPECT_TRUE(analysis.files.empty());
    EXPECT_TRUE(parent.events.empty());
    EXPECT_EQ(analysis.totalClusters, 0);
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST_F(AnalyzeFileTest, UnopenableFilesAreLoggedAndLeftOut) {
    volume.AddFile(L"X:\\locked", {{5, 3}});
    volume.failOpenFile = {L"X:\\locked"};
    Analyze(L"X:\\locked");
    Analyze(L"X:\\missing");
    EXPECT_TRUE(analysis.files.empty());
    EXPECT_EQ(parent.PathsOfKind(kProgressLogLine),
              (std::vector<std::wstring>{L"CDefrag::AnalyzeFile failed to open file handle for X:\\locked, error code 5",
                                         L"CDefrag::AnalyzeFile failed to open file handle for X:\\missing, error code 2"}));
}

TEST_F(AnalyzeFileTest, AStopRequestLeavesTheFileOut) {
    volume.AddFile(L"X:\\f", {{100, 10}});
    parent.stopAfter = 0;
    Analyze(L"X:\\f");
    EXPECT_TRUE(analysis.files.empty());
    EXPECT_EQ(running, 0);
}
