// The scanner's contract with its owner: cancellation, deletion under a running worker, and
// status reads from another thread while the worker runs.
#include "tests/duplicates/observed_file_system.h"
#include "tests/duplicates/scan_helpers.h"
#include "tests/duplicates/test_tree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace zyr::dup;
using namespace zyr::dup::test;

namespace {

// 12 folders of 10 files: sizes 200..2000 in steps, every size in 3 copies across folders.
void FillTree(TestTree& tree) {
    for (int folder = 0; folder < 12; ++folder) {
        for (int file = 0; file < 10; ++file) {
            const int size = 200 * (1 + (folder * 10 + file) % 40);
            tree.Write("d" + std::to_string(folder) + "/f" + std::to_string(file), Bytes(size, size));
        }
    }
}

}  // namespace

TEST(ScanContract, CancellingDuringTheWalkFinishesWithNoSets) {
    TestTree tree;
    FillTree(tree);
    ObservedFileSystem fs;
    FinishCounter receiver;
    RecordingScanner scanner(&receiver, fs);
    int listings = 0;
    fs.onList = [&](const std::wstring&) {
        if (++listings == 4) scanner.Cancel();
    };
    scanner.Start(tree.Path(), 1, CategoryOther);
    const Outcome out = Collect(scanner, receiver);

    EXPECT_EQ(out.state, ScanStateFinished);
    EXPECT_EQ(out.progress, 100.0);
    EXPECT_TRUE(out.sets.empty());
    EXPECT_EQ(out.finishCalls, 1);
    EXPECT_LT(out.filesFound, 120);
    EXPECT_EQ(listings, 4);  // no folder listed after the cancellation
}

TEST(ScanContract, CancellingDuringComparingKeepsTheSetsAlreadyReported) {
    TestTree tree;
    FillTree(tree);
    const Outcome full = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);
    ASSERT_EQ(full.sets.size(), 40u);

    ObservedFileSystem fs;
    FinishCounter receiver;
    RecordingScanner scanner(&receiver, fs);
    std::atomic<int> opens{0}, opensAfterCancel{0};
    std::atomic<bool> cancelled{false};
    fs.onOpen = [&](const std::wstring&) {
        if (cancelled) ++opensAfterCancel;
        if (++opens == 150) {
            scanner.Cancel();
            cancelled = true;
        }
    };
    scanner.Start(tree.Path(), 1, CategoryOther);
    const Outcome out = Collect(scanner, receiver);

    EXPECT_EQ(out.state, ScanStateFinished);
    EXPECT_EQ(out.finishCalls, 1);
    ASSERT_LT(out.sets.size(), full.sets.size());
    for (size_t i = 0; i < out.sets.size(); ++i) EXPECT_EQ(out.sets[i].files, full.sets[i].files);  // a prefix
    EXPECT_LE(opensAfterCancel, 4);  // at most the opens already under way on each thread
}

TEST(ScanContract, DeletingTheScannerCancelsAndWaitsForTheWorker) {
    TestTree tree;
    FillTree(tree);
    static CTavrinEngine engine;
    for (int stage = 0; stage < 2; ++stage) {
        ObservedFileSystem fs;
        FinishCounter receiver;
        std::atomic<bool> comparing{false};
        fs.onOpen = [&](const std::wstring&) { comparing = true; };
        IDuplicateFileScanner* scanner = CreateDuplicateFileScanner(&receiver, fs);
        ASSERT_NE(scanner, nullptr);
        scanner->Start(tree.Path(), 1, CategoryOther);
        if (stage == 1) {
            while (!comparing) std::this_thread::yield();
        }
        delete scanner;  // during the walk, then during comparing
        const int calls = receiver.calls;
        EXPECT_LE(calls, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(receiver.calls, calls);  // nothing runs after the deletion
    }
}

// The page's side: status and results read from another thread while the worker writes them.
TEST(ScanContract, StatusReadsWhileTheWorkerRuns) {
    TestTree tree;
    FillTree(tree);
    static CTavrinEngine engine;
    for (int interval : {1, 200}) {
        FinishCounter receiver;
        std::unique_ptr<IDuplicateFileScanner> scanner(CreateDuplicateFileScanner(&receiver));
        scanner->Start(tree.Path(), 1, CategoryOther);
        size_t seenSets = 0;
        bool finishedSeen = false;
        for (;;) {
            const bool finished = receiver.calls > 0;
            int32_t state = 0, files = 0, duplicates = 0;
            double progress = 0;
            std::wstring path;
            scanner->GetStatus(&state, &files, &duplicates, &progress, &path);
            std::vector<CDuplicateFileList> sets;
            scanner->GetResults(&sets);
            EXPECT_GE(sets.size(), seenSets);  // results only grow
            seenSets = sets.size();
            EXPECT_TRUE(state == 0 || (state >= ScanStateCollecting && state <= ScanStateFinished)) << state;
            EXPECT_TRUE(progress == -1.0 || progress == 100.0 || (progress >= 0.0 && progress <= 1.0)) << progress;
            if (state == ScanStateFinished) {
                finishedSeen = true;
                EXPECT_EQ(progress, 100.0);
            }
            if (finished) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(interval));
        }
        EXPECT_TRUE(finishedSeen);
        EXPECT_EQ(seenSets, 40u);
    }
}
