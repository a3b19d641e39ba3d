// The results list's actions through the real shell under Wine: Recycle Bin, declines, moves.
#include "duplicates/win32/dup_shell_environment.h"
#include "framework/ModalSeam.h"
#include <shlwapi.h>
#include "confirmation_answerer.h"
#include "list_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

namespace {

struct ShellList : ::testing::Test {
    SetFolder folder{std::string("shell-") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    FakeHost host;
    zyr::dup::ShellDupEnvironment env{[](UINT id) { return id == kTextSetTitle ? std::wstring(L"%d files, %s each") : L"#" + std::to_wstring(id); },
                                      L"Zyr"};
    CDupResultsCore list{host, env};
    std::atomic<int> answer{IDYES};
    std::vector<std::wstring> messages;
    ScopedModalAnswerer modal{[this](const ModalRequest& r) {
        if (r.kind == ModalKind::FolderPicker) return ModalAnswer{0, picked};
        messages.push_back(r.text);
        return ModalAnswer{IDOK, L""};
    }};
    std::wstring picked;

    void SetUp() override { list.ResetGroups(true); }
    static bool OnDisk(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(ShellList, TitlesUseTheShellsByteSize) {
    CDuplicateFileList set = folder.MakeSet("sized", 2);
    set.size = 1536;
    list.AddDuplicateList(set);
    wchar_t expected[64];
    StrFormatByteSizeW(1536, expected, 64);
    EXPECT_EQ(list.rootTitles[0], L"2 files, " + std::wstring(expected) + L" each");
}

TEST_F(ShellList, SelectAllButFirstThenDeleteRecyclesExactlyTheCheckedCopies) {
    const CDuplicateFileList three = folder.MakeSet("three", 3);
    const CDuplicateFileList two = folder.MakeSet("two", 2);
    list.AddDuplicateList(three);
    list.AddDuplicateList(two);
    list.SelectAllButFirst();
    ConfirmationAnswerer yes(answer);
    EXPECT_TRUE(list.DeleteCheckedFiles());
    EXPECT_TRUE(OnDisk(three.files[0]));
    EXPECT_FALSE(OnDisk(three.files[1]));
    EXPECT_FALSE(OnDisk(three.files[2]));
    EXPECT_TRUE(OnDisk(two.files[0]));
    EXPECT_FALSE(OnDisk(two.files[1]));
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ShellList, DecliningTheShellsConfirmationKeepsRowsChecked) {
    const CDuplicateFileList three = folder.MakeSet("three", 3);
    list.AddDuplicateList(three);
    list.SelectAllButFirst();
    answer = IDNO;
    ConfirmationAnswerer no(answer);
    list.DeleteCheckedFiles();
    for (const auto& f : three.files) EXPECT_TRUE(OnDisk(f));
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GroupFor(16)->roots[0]->checkedCount, 2);
    if (no.Answered() == 0) GTEST_SKIP() << "this shell recycled without asking";
}

TEST_F(ShellList, MovingOntoASameNamedFileKeepsBoth) {
    const CDuplicateFileList two = folder.MakeSet("two", 2);
    const auto target = folder.root / "target";
    std::filesystem::create_directories(target);
    std::ofstream(target / std::filesystem::path(two.files[1]).filename()) << "other";
    list.AddDuplicateList(two);
    list.SelectAllButFirst();
    picked = target.wstring();
    ConfirmationAnswerer yes(answer);
    EXPECT_TRUE(list.MoveCheckedFiles());
    EXPECT_TRUE(OnDisk(two.files[0]));
    EXPECT_FALSE(OnDisk(two.files[1]));
    int inTarget = 0;
    for (const auto& e : std::filesystem::directory_iterator(target)) (void)e, ++inTarget;
    EXPECT_EQ(inTarget, 2);
    EXPECT_EQ(list.GetItemCount(), 0);
}

// Random clicks and actions with the real shell: no set ever loses its last copy on disk.
TEST_F(ShellList, RandomClickSequencesNeverLoseTheLastCopy) {
    std::mt19937 random(77);
    std::vector<CDuplicateFileList> sets;
    for (int s = 0; s < 8; ++s) {
        sets.push_back(folder.MakeSet("s" + std::to_string(s), 2 + random() % 3, 1u << (random() % 5)));
        list.AddDuplicateList(sets.back());
    }
    const auto target = folder.root / "moved";
    std::filesystem::create_directories(target);
    picked = target.wstring();
    ConfirmationAnswerer answerer(answer);
    for (int step = 0; step < 120 && list.GetItemCount() > 0; ++step) {
        answer = random() % 4 == 0 ? IDNO : IDYES;
        const int action = random() % 16;
        if (action == 0) list.SelectAllButFirst();
        else if (action == 1) list.DeleteCheckedFiles();
        else if (action == 2) list.MoveCheckedFiles();
        else {
            // Left of the header links: opening files would start other programs.
            const int xs[] = {31, 36, list.GetColumnWidth(0) + 5, static_cast<int>(random() % 300)};
            list.Click(xs[random() % 4], random() % host.height);
        }
        for (const auto& set : sets) {
            int present = 0;
            for (const auto& f : set.files) present += OnDisk(f);
            ASSERT_GE(present, 1) << "step " << step;
        }
        size_t rows = 0;
        for (const auto& group : list.groups)
            for (const auto& root : group->roots) {
                rows += root->items.size();
                if (!root->items.empty()) ASSERT_LT(root->checkedCount, static_cast<int>(root->items.size()));
            }
        ASSERT_EQ(rows, list.allItems.size());
    }
}

}  // namespace
