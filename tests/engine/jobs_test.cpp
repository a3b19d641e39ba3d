// The analysis, defragmentation and consolidation jobs over a scripted volume, through the
// contract with their parent.
#include "engine/defrag.h"
#include "engine/jobs.h"
#include "fake_volume.h"
#include "mft_image.h"
#include "recording_parent.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace zyr;
using namespace zyr::engine;

namespace {

std::unique_ptr<DefragJobArgs> Args(test::RecordingParent& parent, VolumeAnalysis* analysis = nullptr) {
    auto args = std::make_unique<DefragJobArgs>();
    args->parent = &parent;
    args->drive = L"X:";
    args->analysis = analysis;
    return args;
}

// Analyses the volume; the parent keeps the record.
void Analyze(test::FakeVolume& volume, test::RecordingParent& parent) {
    test::ScopedVolumeApi bind(volume);
    ASSERT_EQ(RunAnalysisJob(Args(parent)), 0);
    ASSERT_EQ(parent.FinishedWith(), kJobSucceeded);
    ASSERT_TRUE(parent.analysis);
}

std::vector<std::pair<int64_t, int64_t>> Runs(test::FakeVolume& volume, const std::wstring& path) {
    std::vector<std::pair<int64_t, int64_t>> runs;
    int64_t previous = 0;
    for (auto e : volume.Extents(path)) {
        runs.push_back({e.Lcn, e.NextVcn - previous});
        previous = e.NextVcn;
    }
    return runs;
}

}  // namespace

TEST(AnalysisJob, AVolumeThatCannotBeOpenedEndsWithCode1) {
    test::FakeVolume volume(100);
    volume.failOpenVolume = true;
    test::RecordingParent parent;
    test::ScopedVolumeApi bind(volume);
    EXPECT_EQ(RunAnalysisJob(Args(parent)), 0);
    ASSERT_EQ(parent.events.size(), 2u);
    EXPECT_EQ(parent.events[0].call, "started");
    EXPECT_EQ(parent.events[1].call, "finished");
    EXPECT_EQ(parent.events[1].value, kJobNoVolume);
    EXPECT_EQ(RunAnalysisJob(nullptr), -1);
}

TEST(AnalysisJob, OpenVolumeRefusesOddAnswers) {
    test::FakeVolume tiny(60);
    tiny.bitmapFirstRequestSucceeds = true;  // the whole bitmap fits the header request
    test::FakeVolume notNtfs(1000);
    notNtfs.failNtfsData = true;
    for (test::FakeVolume* volume : {&tiny, &notNtfs}) {
        test::ScopedVolumeApi bind(*volume);
        EXPECT_EQ(OpenVolume(L"\\\\.\\X:"), nullptr);
        EXPECT_EQ(volume->OpenHandles(), 0);
    }
}

TEST(AnalysisJob, BitmapReadInPiecesEqualsOneRead) {
    test::FakeVolume volume(5000);
    for (int64_t c = 0; c < 5000; c += 3) volume.SetUsed(c, 1);
    test::ScopedVolumeApi bind(volume);
    auto context = OpenVolume(L"\\\\.\\X:");
    ASSERT_TRUE(context);
    VolumeBitmap pieces;
    ASSERT_TRUE(detail::ReadVolumeBitmap(context->volume.Get(), 5000, 16 + 64, pieces));
    EXPECT_EQ(pieces.BitmapSize(), 5000);
    EXPECT_EQ(context->bitmap.ByteSize(), 16 + 625);  // one bit per cluster
    EXPECT_TRUE(std::equal(pieces.Data(), pieces.Data() + pieces.ByteSize(), context->bitmap.Data()));
    EXPECT_EQ(CountUsedClusters(pieces), 1667);
}

TEST(AnalysisJob, WalksDirectoriesWhenTheTableCannotBeRead) {
    test::FakeVolume volume(1000);
    volume.AddFile(L"X:\\d", {{10, 1}}, true);
    volume.AddFile(L"X:\\d\\f1", {{100, 2}, {200, 2}});
    volume.AddFile(L"X:\\d\\tiny", {});  // resident: no report, no count
    volume.AddFile(L"X:\\link", {{20, 1}}, true).attributes = win::FILE_ATTRIBUTE_REPARSE_POINT_;
    volume.AddFile(L"X:\\link\\inside", {{30, 1}});
    volume.AddFile(L"X:\\z", {{300, 5}});
    test::RecordingParent parent;
    Analyze(volume, parent);
    EXPECT_EQ(parent.PathsOfKind(kProgressFileAnalyzed),
              (std::vector<std::wstring>{L"X:\\d\\f1", L"X:\\d", L"X:\\z"}));
    EXPECT_TRUE(parent.OfKind(kProgressLogLine).empty());
    const VolumeAnalysis& a = *parent.analysis;
    EXPECT_EQ(a.totalClusters, 10);
    EXPECT_EQ(a.fragmentedClusters, 4);
    EXPECT_EQ(a.files.at(L"X:\\d")->isFile, 0);
    // The kind 1 report comes first, with the bitmap copy.
    EXPECT_EQ(parent.events[1].value, kProgressAnalysisCreated);
    EXPECT_EQ(a.bitmap.BitmapSize(), 1000);
    EXPECT_EQ(CountUsedClusters(a.bitmap), 12);
    EXPECT_EQ(parent.OfKind(kProgressFileAnalyzed).back().percent, 83);  // 10 of 12 used clusters
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST(AnalysisJob, ListsFilesFromTheTable) {
    test::FakeVolume volume(1000);
    test::MftImageLayout layout;
    volume.Device() = test::BuildMftImage(layout, {{.number = 16, .directory = true, .name = L"docs"},
                                                   {.number = 17, .parent = 16, .name = L"a"},
                                                   {.number = 18, .name = L"b"},
                                                   {.number = 19, .name = L"tiny"}});
    volume.AddFile(L"X:\\docs", {{10, 1}}, true);
    volume.AddFile(L"X:\\docs\\a", {{100, 2}, {200, 2}});
    volume.AddFile(L"X:\\b", {{300, 3}});
    volume.AddFile(L"X:\\tiny", {});
    volume.AddFile(L"X:\\not in the table", {{400, 3}});
    test::RecordingParent parent;
    Analyze(volume, parent);
    EXPECT_EQ(parent.PathsOfKind(kProgressFileAnalyzed),
              (std::vector<std::wstring>{L"X:\\docs", L"X:\\docs\\a", L"X:\\b"}));
    EXPECT_EQ(parent.analysis->files.at(L"X:\\docs")->isFile, 0);
}

TEST(AnalysisJob, AStopStillDeliversTheRecord) {
    test::FakeVolume volume(1000);
    for (int i = 0; i < 5; ++i) volume.AddFile(L"X:\\f" + std::to_wstring(i), {{10 * i, 2}});
    test::RecordingParent parent;
    parent.stopAfterReports = 2;
    Analyze(volume, parent);
    EXPECT_EQ(parent.FinishedWith(), kJobSucceeded);
    EXPECT_EQ(parent.analysis->files.size(), 2u);
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST(AnalysisJob, StartedOnADetachedThread) {
    struct WaitingParent : test::RecordingParent {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        void OnJobFinished(int result) override {
            std::lock_guard lock(mutex);
            RecordingParent::OnJobFinished(result);
            finished = true;
            done.notify_all();
        }
    } parent;
    test::FakeVolume volume(100);
    volume.AddFile(L"X:\\f", {{1, 2}, {5, 2}});
    test::ScopedVolumeApi bind(volume);
    ASSERT_TRUE(StartAnalysisJob(L"X:", &parent));
    std::unique_lock lock(parent.mutex);
    ASSERT_TRUE(parent.done.wait_for(lock, std::chrono::seconds(30), [&] { return parent.finished; }));
    EXPECT_EQ(parent.FinishedWith(), kJobSucceeded);
    EXPECT_EQ(parent.analysis->files.size(), 1u);
}

TEST(FindFreeRun, FirstStretchOfTwoMoreClustersOutsideTheZoneInside) {
    struct Case {
        const char* name;
        std::vector<std::pair<int64_t, int64_t>> free;  // free stretches; the rest is in use
        int64_t zoneStart, zoneEnd, n, expected;
    } cases[] = {
        {"11 clusters are too few for 10", {{20, 11}, {50, 12}}, 0, 0, 10, 50},
        {"only 11: the fallback is the end", {{20, 11}}, 0, 0, 10, 100},
        {"free tail of n clusters", {{20, 11}, {90, 10}}, 0, 0, 10, 90},
        {"zone inside is occupied", {{20, 40}}, 25, 45, 10, 45},
        {"zone start itself may be used", {{29, 12}}, 40, 60, 10, 29},
        {"zone start + 1 may not", {{29, 12}}, 39, 60, 10, 100},
    };
    for (const Case& c : cases) {
        VolumeContext context;
        ASSERT_TRUE(context.bitmap.Allocate(100));
        context.bitmap.Flip(0, 100);
        for (auto [first, count] : c.free) context.bitmap.Flip(first, count);
        context.ntfsData.MftZoneStart = c.zoneStart;
        context.ntfsData.MftZoneEnd = c.zoneEnd;
        EXPECT_EQ(FindFreeRun(c.n, context), c.expected) << c.name;
    }
}

class DefragJobTest : public ::testing::Test {
protected:
    test::FakeVolume volume{400};
    test::RecordingParent parent;

    void SetUp() override {
        volume.SetUsed(0, 400);
        volume.SetUsed(50, 12, false);   // the first stretch that holds 10 + 2
        volume.SetUsed(20, 11, false);   // too short for 10 + 2
        volume.SetUsed(390, 10, false);  // the free end of the volume
    }
    void Run(VolumeAnalysis* analysis = nullptr) {
        test::ScopedVolumeApi bind(volume);
        ASSERT_EQ(RunDefragJob(Args(parent, analysis)), 0);
        EXPECT_EQ(volume.OpenHandles(), 0);
    }
};

TEST_F(DefragJobTest, MovesAFragmentedFileIntoTheFirstStretchOfTwoMore) {
    volume.SetUsed(100, 10, false);
    volume.SetUsed(150, 10, false);
    volume.AddFile(L"X:\\frag", {{100, 5}, {150, 5}});
    volume.AddFile(L"X:\\whole", {{200, 7}});
    test::RecordingParent analysisParent;
    Analyze(volume, analysisParent);
    Run(analysisParent.analysis.get());
    EXPECT_EQ(parent.FinishedWith(), kJobSucceeded);
    EXPECT_EQ(Runs(volume, L"X:\\frag"), (std::vector<std::pair<int64_t, int64_t>>{{50, 10}}));
    ASSERT_EQ(volume.moves.size(), 2u);
    EXPECT_EQ(volume.moves[1].vcn, 5);
    EXPECT_EQ(volume.moves[1].lcn, 55);
    const auto reports = parent.OfKind(kProgressFileDefragmented);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].path, L"X:\\frag");
    EXPECT_EQ(reports[0].percent, 100);  // 10 of the analysis' 10 fragmented clusters
    EXPECT_EQ(parent.moved[0]->before->ExtentCount(), 2u);
    EXPECT_EQ(parent.moved[0]->after->ExtentCount(), 1u);
    // The analysis itself is left as it was.
    EXPECT_EQ(analysisParent.analysis->files.at(L"X:\\frag")->firstLcn, 100);
}

TEST_F(DefragJobTest, VirtualRunsStayVirtualAndRealRunsLandSideBySide) {
    volume.SetUsed(100, 10, false);
    volume.SetUsed(150, 10, false);
    volume.AddFile(L"X:\\sparse", {{-1, 4}, {100, 3}, {150, 3}});
    Run();
    // 10 clusters counted (the virtual first run too), so 12 free are needed.
    EXPECT_EQ(Runs(volume, L"X:\\sparse"), (std::vector<std::pair<int64_t, int64_t>>{{-1, 4}, {50, 6}}));
}

TEST_F(DefragJobTest, WithoutAnAnalysisEveryListedFileIsOfferedAndWholeFilesMakeCode2) {
    volume.SetUsed(100, 10, false);
    volume.SetUsed(150, 10, false);
    volume.AddFile(L"X:\\a", {{100, 2}, {150, 3}});
    volume.AddFile(L"X:\\b", {{103, 2}, {155, 3}});
    volume.AddFile(L"X:\\c", {{300, 4}});
    Run();
    EXPECT_EQ(parent.FinishedWith(), kJobFilesNotMoved);
    // 5 + 2 fit the 11 free clusters at 20; what is left there is too short for the second file.
    EXPECT_EQ(Runs(volume, L"X:\\a"), (std::vector<std::pair<int64_t, int64_t>>{{20, 5}}));
    EXPECT_EQ(Runs(volume, L"X:\\b"), (std::vector<std::pair<int64_t, int64_t>>{{50, 5}}));
    EXPECT_EQ(Runs(volume, L"X:\\c"), (std::vector<std::pair<int64_t, int64_t>>{{300, 4}}));
    const auto reports = parent.OfKind(kProgressFileDefragmented);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].percent, 2);  // 10 of the volume's 357 used clusters
}

TEST_F(DefragJobTest, AFileWithoutRoomStaysAndAFailedMoveLeavesTheRest) {
    volume.SetUsed(100, 24, false);
    volume.AddFile(L"X:\\big", {{100, 11}, {113, 11}});  // 22 + 2: no stretch holds it
    Run();
    EXPECT_EQ(parent.FinishedWith(), kJobFilesNotMoved);
    EXPECT_TRUE(volume.moves.empty());

    test::FakeVolume other(400);
    other.AddFile(L"X:\\f", {{100, 2}, {200, 2}});
    other.failMoveFile = {L"X:\\f"};
    test::RecordingParent otherParent;
    test::ScopedVolumeApi bind(other);
    RunDefragJob(Args(otherParent));
    EXPECT_EQ(other.moves.size(), 1u);  // the first run failed: no second request
    EXPECT_EQ(Runs(other, L"X:\\f"), (std::vector<std::pair<int64_t, int64_t>>{{100, 2}, {200, 2}}));
}

TEST_F(DefragJobTest, AStopBetweenFilesEndsTheJob) {
    volume.SetUsed(100, 10, false);
    volume.SetUsed(150, 10, false);
    volume.AddFile(L"X:\\a", {{100, 2}, {150, 3}});
    volume.AddFile(L"X:\\b", {{103, 2}, {155, 3}});
    parent.stopAfterReports = 1;
    Run();
    EXPECT_EQ(parent.FinishedWith(), kJobSucceeded);
    EXPECT_EQ(parent.OfKind(kProgressFileDefragmented).size(), 1u);
}

TEST_F(DefragJobTest, AVolumeThatCannotBeOpenedEndsWithCode1) {
    volume.failOpenVolume = true;
    Run();
    ASSERT_EQ(parent.events.size(), 2u);
    EXPECT_EQ(parent.FinishedWith(), kJobNoVolume);
}

class ConsolidationTest : public ::testing::Test {
protected:
    test::FakeVolume volume{300};
    test::RecordingParent parent;

    void SetUp() override { volume.SetUsed(0, 300); }
    // A file at [lcn, lcn + clusters); the clusters were in use already.
    void File(const std::wstring& name, int64_t lcn, int64_t clusters) {
        volume.SetUsed(lcn, clusters, false);
        volume.AddFile(L"X:\\" + name, {{lcn, clusters}});
    }
    void Gap(int64_t first, int64_t count) { volume.SetUsed(first, count, false); }
    void Run(bool withAnalysis = true) {
        test::RecordingParent analysisParent;
        if (withAnalysis) Analyze(volume, analysisParent);
        test::ScopedVolumeApi bind(volume);
        volume.moves.clear();
        ASSERT_EQ(RunConsolidationJob(Args(parent, analysisParent.analysis.get())), 0);
        EXPECT_EQ(parent.FinishedWith(), kJobSucceeded);
        EXPECT_EQ(volume.OpenHandles(), 0);
        kept = std::move(analysisParent.analysis);
    }
    std::vector<std::pair<std::wstring, int64_t>> Moves() const {
        std::vector<std::pair<std::wstring, int64_t>> out;
        for (const auto& m : volume.moves) out.push_back({m.path, m.lcn});
        return out;
    }
    std::unique_ptr<VolumeAnalysis> kept;
};

TEST_F(ConsolidationTest, AnExactFitWinsWhereverItLies) {
    File(L"head", 0, 10);
    Gap(10, 20);
    File(L"A30", 100, 30);
    File(L"B20", 140, 20);
    File(L"C5", 170, 5);
    Run();
    // B fills the gap exactly; its old place becomes the next gap, which C (further back) fills.
    EXPECT_EQ(Moves(), (std::vector<std::pair<std::wstring, int64_t>>{{L"X:\\B20", 10}, {L"X:\\C5", 140}}));
    EXPECT_EQ(parent.PathsOfKind(kProgressFileConsolidated), (std::vector<std::wstring>{L"X:\\B20", L"X:\\C5"}));
    EXPECT_EQ(parent.OfKind(kProgressFileConsolidated)[0].percent, 10);  // position 30 of 300
    // Files before the gap are never moved forward; the first one met is marked handled.
    EXPECT_EQ(kept->files.at(L"X:\\A30")->firstLcn, -1);
    EXPECT_EQ(kept->files.at(L"X:\\A30")->fragmented, 0);
}

TEST_F(ConsolidationTest, TheFitFurthestBackFillsAndTheRestOfTheGapIsANewGap) {
    Gap(10, 20);
    File(L"twelve", 100, 12);
    File(L"five", 200, 5);
    Run();
    EXPECT_EQ(Moves(), (std::vector<std::pair<std::wstring, int64_t>>{{L"X:\\five", 10}, {L"X:\\twelve", 15}}));
}

TEST_F(ConsolidationTest, TheFreeEndOfTheVolumeIsNeverFilled) {
    File(L"early", 20, 5);
    Gap(250, 50);
    Run();
    EXPECT_TRUE(volume.moves.empty());
}

TEST_F(ConsolidationTest, ReservedAreasNeitherStartNorExtendAGap) {
    volume.NtfsData().MftZoneStart = 15;  // clusters 16..39 reserved
    volume.NtfsData().MftZoneEnd = 40;
    Gap(10, 20);
    File(L"twenty", 100, 20);
    File(L"six", 200, 6);
    Run();
    EXPECT_EQ(Moves(), (std::vector<std::pair<std::wstring, int64_t>>{{L"X:\\six", 10}}));
}

TEST_F(ConsolidationTest, WithoutAnAnalysisTheParentOwnsTheOneMadeForIt) {
    Gap(10, 20);
    File(L"five", 200, 5);
    Run(false);
    ASSERT_TRUE(parent.analysis);  // delivered as kind 1 and still alive: freed by the parent only
    EXPECT_EQ(parent.analysis->files.at(L"X:\\five")->firstLcn, -1);
    EXPECT_EQ(Moves(), (std::vector<std::pair<std::wstring, int64_t>>{{L"X:\\five", 10}}));
}

TEST_F(ConsolidationTest, MissingVolumeEndsWithCode1) {
    volume.failOpenVolume = true;
    test::ScopedVolumeApi bind(volume);
    RunConsolidationJob(Args(parent));
    EXPECT_EQ(parent.FinishedWith(), kJobNoVolume);
    EXPECT_FALSE(parent.analysis);
}
