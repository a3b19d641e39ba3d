// The duplicate scanner on real files: what it compares, skips, reports and in which order.
#include "duplicates/core/md5.h"
#include "duplicates/core/scan_thread.h"
#include "duplicates/core/text_utf.h"
#include "tests/duplicates/observed_file_system.h"
#include "tests/duplicates/scan_helpers.h"
#include "tests/duplicates/test_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace zyr::dup;
using namespace zyr::dup::test;
using Paths = std::vector<std::wstring>;

namespace {

std::vector<Paths> Sorted(std::vector<Paths> sets) {
    for (auto& set : sets) std::sort(set.begin(), set.end());
    std::sort(sets.begin(), sets.end());
    return sets;
}

const std::string kX = Bytes(700, 1);

}  // namespace

TEST(DuplicateScanner, ComparesSmallFilesAndReadsWholeFilesOnlyWhenFirstBlocksMatch) {
    TestTree tree;
    tree.Write("a.txt", "abc");
    tree.Write("b.txt", "abc");
    tree.Write("c.txt", "abd");
    const std::string head = Bytes(1024, 7);
    tree.Write("x.bin", head + Bytes(3976, 8));
    tree.Write("y.bin", head + Bytes(3976, 9));
    tree.Write("p.bin", Bytes(5000, 10));
    tree.Write("q.bin", Bytes(5000, 11));
    tree.Write("empty1", "");
    tree.Write("empty2", "");
    ObservedFileSystem fs;

    const Outcome out = RunScan(fs, tree.Path(), 1, CategoryOther);

    ASSERT_EQ(out.sets.size(), 1u);
    EXPECT_EQ(out.sets[0].files, (Paths{tree.Reported("a.txt"), tree.Reported("b.txt")}));
    EXPECT_EQ(out.sets[0].size, 3u);
    EXPECT_EQ(out.sets[0].hash, L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(out.sets[0].category, uint32_t(CategoryDocument));
    EXPECT_EQ(out.filesFound, 9);  // empty files are counted
    EXPECT_EQ(out.duplicateFiles, 2);
    EXPECT_EQ(out.state, ScanStateFinished);
    EXPECT_EQ(out.progress, 100.0);
    EXPECT_EQ(out.currentPath, L"");
    EXPECT_EQ(out.finishCalls, 1);
    // Equal first blocks: both files reach the full stage. Different first blocks: never.
    EXPECT_GT(fs.ReadExtent(tree.Reported("x.bin")), 1024u);
    EXPECT_GT(fs.ReadExtent(tree.Reported("y.bin")), 1024u);
    EXPECT_LE(fs.ReadExtent(tree.Reported("p.bin")), 1024u);
    EXPECT_LE(fs.ReadExtent(tree.Reported("q.bin")), 1024u);
    EXPECT_EQ(fs.Opens(tree.Reported("empty1")) + fs.Opens(tree.Reported("empty2")), 0);
}

TEST(DuplicateScanner, DigestIsMd5OfTheWholeFile) {
    TestTree tree;
    const std::string content = Bytes(3 * 1024 * 1024 + 17, 3);  // several chunks, ragged end
    tree.Write("one.dat", content);
    tree.Write("two.dat", content);
    Md5 md5;
    md5.Update(content.data(), content.size());
    std::wstring spelled;
    ASSERT_TRUE(FileDigest(DefaultFileSystem(), tree.Path("one.dat"), &spelled));

    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 0, CategoryOther);

    ASSERT_EQ(out.sets.size(), 1u);
    EXPECT_EQ(out.sets[0].hash, Md5::ToHex(md5.Finish()));
    EXPECT_EQ(out.sets[0].hash, spelled);
    EXPECT_EQ(out.sets[0].size, content.size());
}

TEST(DuplicateScanner, NeverLooksAtHiddenReadOnlySystemTemporaryOrLinkedEntries) {
    TestTree tree, outside;
    tree.Write("keep1.dat", kX);
    tree.Write("keep2.dat", kX);
    outside.Write("copy.dat", kX);
    int marked = 0;
    const struct {
        TestTree::Mark mark;
        const char* name;
    } marks[] = {{TestTree::Mark::Hidden, "hidden"},
                 {TestTree::Mark::ReadOnly, "readonly"},
                 {TestTree::Mark::System, "system"},
                 {TestTree::Mark::Temporary, "temporary"}};
    for (const auto& m : marks) {
        for (const std::string& entry : {std::string("m_") + m.name + ".dat", std::string("d_") + m.name}) {
            const bool folder = entry[0] == 'd';
            tree.Write(folder ? entry + "/inside.dat" : entry, kX);
            if (tree.SetMark(entry, m.mark)) {
                ++marked;
            } else {
                tree.Remove(entry);  // this platform has no such attribute
            }
        }
    }
    const int links = tree.MakeLink("link.dat", tree.Path("keep1.dat")) + tree.MakeLink("linkdir", outside.Path());

    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);

    // Natively: hidden and read-only files and folders, two links. Under Wine: hidden and system
    // files and folders, read-only files (it keeps no read-only folders or temporary files).
    EXPECT_GE(marked + links, 5);
    EXPECT_EQ(Files(out), (std::vector<Paths>{{tree.Reported("keep1.dat"), tree.Reported("keep2.dat")}}));
    EXPECT_EQ(out.filesFound, 2);
}

TEST(DuplicateScanner, WithoutSubfoldersComparesOnlyTheFolderOwnFiles) {
    TestTree tree;
    tree.Write("top1", kX);
    tree.Write("top2", kX);
    tree.Write("sub/s1", kX);
    tree.Write("sub/s2", Bytes(300, 2));
    tree.Write("sub/deeper/s3", Bytes(300, 2));

    const Outcome flat = RunScan(DefaultFileSystem(), tree.Path(), 0, CategoryOther);
    EXPECT_EQ(Files(flat), (std::vector<Paths>{{tree.Reported("top1"), tree.Reported("top2")}}));
    EXPECT_EQ(flat.filesFound, 2);

    const Outcome deep = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);
    EXPECT_EQ(Sorted(Files(deep)),
              Sorted({{tree.Reported("sub/s2"), tree.Reported("sub/deeper/s3")},
                      {tree.Reported("top1"), tree.Reported("top2"), tree.Reported("sub/s1")}}));
    EXPECT_EQ(deep.filesFound, 5);
}

TEST(DuplicateScanner, SkipsTheWindowsAndProgramFoldersBelowTheScannedFolder) {
    TestTree tree;
    for (const char* file : {"root.dat", "windows/w1.dat", "windows/w2.dat", "windows/sub/ws.dat",
                             "windowsapps/wa.dat", "programs/p.dat", "programs2/p2.dat", "other/o.dat"}) {
        tree.Write(file, kX);
    }
    const wchar_t separator = DefaultFileSystem().Separator();
    // Case and trailing separators of the variables do not matter.
    const std::wstring windows = tree.Path("windows"), systemRoot = tree.Path("WINDOWS") + separator + separator,
                       programs = tree.Path("programs") + separator;
    ScopedEnvironment windir("WINDIR", &windows), root("SYSTEMROOT", &systemRoot), files("PROGRAMFILES", &programs);

    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);
    EXPECT_EQ(Sorted(Files(out)), (std::vector<Paths>{{tree.Reported("other/o.dat"), tree.Reported("root.dat")}}));

    // The Windows folder itself: its own files, none of its subfolders.
    const Outcome inside = RunScan(DefaultFileSystem(), tree.Path("windows"), 1, CategoryOther);
    EXPECT_EQ(Files(inside), (std::vector<Paths>{{tree.Reported("windows/w1.dat"), tree.Reported("windows/w2.dat")}}));
}

TEST(DuplicateScanner, AnEmptyOrUnsetFolderVariableExcludesNothing) {
    TestTree tree;
    tree.Write("a/one.dat", kX);
    tree.Write("b/two.dat", kX);
    const std::wstring empty;
    ScopedEnvironment windir("WINDIR", &empty), root("SYSTEMROOT", nullptr), files("PROGRAMFILES", nullptr);

    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);
    EXPECT_EQ(Files(out).size(), 1u);
}

TEST(DuplicateScanner, CategoryMaskDecidesWhichFilesAreTaken) {
    TestTree tree;
    tree.Write("Photo.JPG", kX);
    tree.Write("copy.jpeg", kX);
    tree.Write("song.mp3", Bytes(800, 2));
    tree.Write("song2.MP3", Bytes(800, 2));
    tree.Write("readme", Bytes(900, 3));
    tree.Write("readme2", Bytes(900, 3));
    tree.Write("notes.txt", Bytes(1000, 4));
    tree.Write("notes.txt.bak", Bytes(1000, 4));
    const Paths photos{tree.Reported("Photo.JPG"), tree.Reported("copy.jpeg")};
    const Paths songs{tree.Reported("song.mp3"), tree.Reported("song2.MP3")};
    const Paths readmes{tree.Reported("readme"), tree.Reported("readme2")};
    const Paths notes{tree.Reported("notes.txt"), tree.Reported("notes.txt.bak")};
    const struct {
        int32_t mask;
        std::vector<Paths> sets;
        int32_t filesFound;
    } cases[] = {
        {CategoryImage, {photos}, 2},
        {CategoryAudio, {songs}, 2},
        {CategoryImage | CategoryAudio, {photos, songs}, 4},
        {CategoryDocument, {}, 1},
        {15, {photos, songs}, 5},  // files of unknown kind are not taken
        {CategoryOther, {photos, songs, readmes, notes}, 8},
        {CategoryOther | CategoryVideo, {photos, songs, readmes, notes}, 8},
        {0, {}, 0},
    };
    for (const auto& c : cases) {
        const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, c.mask);
        EXPECT_EQ(Sorted(Files(out)), Sorted(c.sets)) << "mask " << c.mask;
        EXPECT_EQ(out.filesFound, c.filesFound) << "mask " << c.mask;
        EXPECT_EQ(out.state, ScanStateFinished);
        EXPECT_EQ(out.finishCalls, 1);
        for (const auto& set : out.sets) {
            if (set.files[0] == photos[0] || set.files[0] == photos[1]) {
                EXPECT_EQ(set.category, uint32_t(CategoryImage));
            }
        }
    }
}

TEST(DuplicateScanner, SetsComeBySizeThenChecksumThenDigestWithFilesInWalkOrder) {
    TestTree tree;
    const std::string head = Bytes(1024, 5);
    const std::string c1 = head + Bytes(976, 6), c2 = head + Bytes(976, 7);
    tree.Write("k/c1a", c1);
    tree.Write("c1b", c1);
    tree.Write("c2a", c2);
    tree.Write("z/c2b", c2);
    tree.Write("m/b1", Bytes(10, 8));
    tree.Write("b2", Bytes(10, 8));
    tree.Write("a1", "abc");
    tree.Write("a/a2", "abc");
    tree.Write("q/d1", Bytes(10, 9));
    tree.Write("d2", Bytes(10, 9));

    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);

    ASSERT_EQ(out.sets.size(), 5u);
    std::vector<std::wstring> walk;
    for (const auto& status : out.statuses) {
        if (status.state == ScanStateCollecting) walk.push_back(status.path);
    }
    const auto position = [&](const std::wstring& path) { return std::find(walk.begin(), walk.end(), path) - walk.begin(); };
    for (size_t i = 0; i < out.sets.size(); ++i) {
        const auto& set = out.sets[i];
        for (size_t k = 1; k < set.files.size(); ++k) EXPECT_LT(position(set.files[k - 1]), position(set.files[k]));
        if (i == 0) continue;
        const auto& before = out.sets[i - 1];
        EXPECT_LE(before.size, set.size);
        if (before.size == set.size) {
            std::wstring checksumBefore, checksum;
            ASSERT_TRUE(QuickChecksum(DefaultFileSystem(), before.files[0], before.size, &checksumBefore));
            ASSERT_TRUE(QuickChecksum(DefaultFileSystem(), set.files[0], set.size, &checksum));
            EXPECT_TRUE(checksumBefore < checksum || (checksumBefore == checksum && before.hash < set.hash));
        }
    }
    EXPECT_EQ(out.sets.back().size, 2000u);
    EXPECT_EQ(out.sets[3].size, 2000u);  // the two sets that share a first block
}

TEST(DuplicateScanner, ProgressStaysWithinOneUntilTheFinalHundred) {
    TestTree tree;
    for (int i = 0; i < 40; ++i) tree.Write("f" + std::to_string(i), Bytes(100 + (i % 7) * 600, i % 5 == 0 ? 1000 + i : i % 3));
    tree.Write("unique", Bytes(1234, 1));
    tree.Write("last1", Bytes(12345, 1));  // the largest size is compared last
    tree.Write("last2", Bytes(12345, 1));
    tree.Write("bad1", kX);
    tree.Write("bad2", kX);
    ObservedFileSystem fs;
    fs.failOpen = {tree.Reported("bad1")};

    const Outcome out = RunScan(fs, tree.Path(), 1, CategoryOther);

    ASSERT_FALSE(out.statuses.empty());
    double highest = 0, lastCompared = 0;
    for (size_t i = 0; i + 1 < out.statuses.size(); ++i) {
        const Status& s = out.statuses[i];
        if (s.state == ScanStateCollecting) {
            EXPECT_EQ(s.progress, -1.0);
            EXPECT_EQ(s.countFile, 1);
            continue;
        }
        EXPECT_GE(s.progress, 0.0);
        EXPECT_LE(s.progress, 1.0);
        if (s.state == ScanStateFullCompare) {
            EXPECT_GE(s.progress, lastCompared);  // never backwards
            lastCompared = s.progress;
        }
        highest = std::max(highest, s.progress);
    }
    EXPECT_GT(highest, 0.9);  // groups end on two threads: the last status need not be the last count
    EXPECT_EQ(out.statuses.back().state, ScanStateFinished);
    EXPECT_EQ(out.statuses.back().progress, 100.0);
}

TEST(DuplicateScanner, FilesThatCannotBeReadAreNeverReported) {
    TestTree tree;
    tree.Write("closed1", kX);  // cannot be opened at all
    tree.Write("closed2", kX);
    tree.Write("broken1", Bytes(3000, 2));  // first block readable, the rest not
    tree.Write("broken2", Bytes(3000, 2));
    tree.Write("half1", Bytes(4000, 3));  // one good copy left: no set either
    tree.Write("half2", Bytes(4000, 3));
    tree.Write("good1", Bytes(5000, 4));
    tree.Write("good2", Bytes(5000, 4));
    ObservedFileSystem fs;
    fs.failOpen = {tree.Reported("closed1"), tree.Reported("closed2"), tree.Reported("half1")};
    fs.failReadsBeyond1k = {tree.Reported("broken1"), tree.Reported("broken2")};

    const Outcome out = RunScan(fs, tree.Path(), 1, CategoryOther);

    EXPECT_EQ(Files(out), (std::vector<Paths>{{tree.Reported("good1"), tree.Reported("good2")}}));
    EXPECT_EQ(out.duplicateFiles, 2);
    EXPECT_EQ(out.filesFound, 8);
}

#ifdef _WIN32
TEST(DuplicateScanner, AFileOpenedWithoutSharingIsNotReported) {
    TestTree tree;
    tree.Write("locked", kX);
    tree.Write("copy", kX);
    tree.Write("free1", Bytes(900, 5));
    tree.Write("free2", Bytes(900, 5));
    HANDLE lock = ::CreateFileW(tree.Path("locked").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryOther);
    ::CloseHandle(lock);

    EXPECT_EQ(Files(out), (std::vector<Paths>{{tree.Reported("free1"), tree.Reported("free2")}}));
}
#endif

TEST(DuplicateScanner, AFileChangedDuringTheScanIsDropped) {
    TestTree tree;
    tree.Write("grows1", Bytes(2000, 6));
    tree.Write("grows2", Bytes(2000, 6));
    tree.Write("stays1", Bytes(2100, 7));
    tree.Write("stays2", Bytes(2100, 7));
    ObservedFileSystem fs;
    std::atomic<bool> grown{false};  // opens come from both comparing threads
    fs.onOpen = [&](const std::wstring& path) {
        bool expected = false;
        if (path == tree.Reported("grows1") && grown.compare_exchange_strong(expected, true)) {
            tree.Append("grows1", "more");  // after the walk measured it
        }
    };

    const Outcome out = RunScan(fs, tree.Path(), 1, CategoryOther);

    EXPECT_TRUE(grown);
    EXPECT_EQ(Files(out), (std::vector<Paths>{{tree.Reported("stays1"), tree.Reported("stays2")}}));
}

TEST(DuplicateScanner, OddNamesAndCase) {
    TestTree tree;
    tree.Write("Mixed Case/Photo.JPG", kX);
    tree.Write("Mixed Case/\xc3\xa9t\xc3\xa9 \xe4\xb8\xad.jpg", kX);
#ifndef _WIN32
    tree.Write("Mixed Case/bad\xff\xfe.jpg", kX);  // not UTF-8: still opened and reported
#endif
    const Outcome out = RunScan(DefaultFileSystem(), tree.Path(), 1, CategoryImage);

    ASSERT_EQ(out.sets.size(), 1u);
    Paths expected{tree.Reported("Mixed Case/Photo.JPG"), tree.Reported("Mixed Case/\xc3\xa9t\xc3\xa9 \xe4\xb8\xad.jpg")};
#ifndef _WIN32
    expected.push_back(tree.Reported("Mixed Case/bad\xff\xfe.jpg"));
#endif
    EXPECT_EQ(Sorted({out.sets[0].files}), Sorted({expected}));
    for (const auto& path : out.sets[0].files) {
        // Reported paths are lowercase where names ignore case, exact where they do not.
        EXPECT_EQ(path == LowercaseAscii(path), DefaultFileSystem().FoldsCase());
    }
}
