// The duplicate sets in the list: titles, groups, the one-copy rule and the file actions on real files.
#include "list_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

struct DupList : ::testing::Test {
    SetFolder folder{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    FakeHost host;
    FilesEnv env;
    CDupResultsCore list{host, env};

    void SetUp() override {
        env.trash = folder.root / "trash";
        list.ResetGroups(true);
    }
    CRLIRoot* Set(int index, uint32_t category = 16) const {
        return list.GroupFor(category)->roots[index].get();
    }
    int CheckX() const { return 31; }
    int RecycleX() const { return list.GetColumnWidth(0) + 5; }
    int ClickItem(CRLIRoot* root, int item, int x) { return list.Click(x, RowTop(list, root, item) + 5); }
    static bool OnDisk(const std::wstring& path) { return std::filesystem::exists(path); }
};

TEST_F(DupList, SetsLandInTheirCategoryGroupsWithTitles) {
    list.AddDuplicateList(folder.MakeSet("pic", 2, 4));
    list.AddDuplicateList(folder.MakeSet("song", 2, 1));
    list.AddDuplicateList(folder.MakeSet("odd", 3, 32));
    EXPECT_EQ(list.groups.size(), 5u);
    EXPECT_EQ(list.groups[0]->text, L"#161");
    EXPECT_EQ(list.groups[0]->itemCount, 2);  // images first
    EXPECT_EQ(list.groups[1]->itemCount, 2);  // audio
    EXPECT_EQ(list.groups[4]->itemCount, 3);  // anything else
    EXPECT_EQ(list.rootTitles[0], L"2 files of 100 bytes");
    EXPECT_EQ(list.rootTitles[2], L"3 files of 100 bytes");
    // One root per set in every group; only the set's own group holds its files.
    EXPECT_EQ(list.groups[3]->roots.size(), 3u);
    EXPECT_EQ(list.GetItemCount(), 7);
    EXPECT_EQ(list.GetColumnWidth(1), 7 * 4 + 30);
    EXPECT_EQ(Set(2, 32)->items[1]->columns, std::vector<std::wstring>{L"#312"});
    std::vector<const void*> keys;
    list.GetCheckedItems(keys);
    EXPECT_TRUE(keys.empty());  // adding never checks
}

TEST_F(DupList, FileRowsOfferTheirFullPathAsTooltipPastTheCheckBox) {
    const CDuplicateFileList two = folder.MakeSet("tip", 2);
    list.AddDuplicateList(two);
    CRLIRoot* set = Set(0);
    ASSERT_EQ(set->checkable, 0);
    RowRect row;
    const CRLItem* item = list.ItemAt(100, RowTop(list, set, 1) + 5, &row);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text, two.files[1]);
    EXPECT_EQ(row.right, list.GetColumnWidth(0));
    EXPECT_EQ(list.ItemAt(CheckX(), RowTop(list, set, 1) + 5, nullptr), nullptr);   // check box
    EXPECT_EQ(list.ItemAt(RecycleX(), RowTop(list, set, 1) + 5, nullptr), nullptr); // recycle column
    EXPECT_EQ(list.ItemAt(100, RowTop(list, set, 0) - 5, nullptr), nullptr);        // set header
}

TEST_F(DupList, TheLastUncheckedCopyCannotBeChecked) {
    list.AddDuplicateList(folder.MakeSet("two", 2));
    CRLIRoot* set = Set(0);
    EXPECT_EQ(ClickItem(set, 0, CheckX()), kHitCheck);
    EXPECT_EQ(ClickItem(set, 1, CheckX()), kHitHandled);
    EXPECT_EQ(env.messages, std::vector<int>{kTextKeepOneCopy});
    EXPECT_EQ(set->items[1]->checked, 0);
    // Unchecking is always allowed; then the other copy may be checked.
    EXPECT_EQ(ClickItem(set, 0, CheckX()), kHitCheck);
    EXPECT_EQ(ClickItem(set, 1, CheckX()), kHitCheck);
    EXPECT_EQ(set->checkedCount, 1);
    EXPECT_EQ(list.GroupFor(16)->checkedTotal, 1);
}

TEST_F(DupList, SelectAllButFirstThenDeleteKeepsTheFirstCopy) {
    const CDuplicateFileList three = folder.MakeSet("three", 3);
    const CDuplicateFileList two = folder.MakeSet("two", 2);
    list.AddDuplicateList(three);
    list.AddDuplicateList(two);
    list.SelectAllButFirst();
    EXPECT_EQ(list.GroupFor(16)->checkedTotal, 3);
    EXPECT_TRUE(list.DeleteCheckedFiles());
    EXPECT_TRUE(OnDisk(three.files[0]));
    EXPECT_FALSE(OnDisk(three.files[1]));
    EXPECT_FALSE(OnDisk(three.files[2]));
    EXPECT_TRUE(OnDisk(two.files[0]));
    EXPECT_FALSE(OnDisk(two.files[1]));
    EXPECT_EQ(env.trashed, 3);
    EXPECT_EQ(list.GetItemCount(), 0);  // both sets ended as single files
    EXPECT_EQ(list.ContentHeight(), 0);
}

TEST_F(DupList, DecliningTheDeletionLeavesRowsChecked) {
    const CDuplicateFileList three = folder.MakeSet("three", 3);
    list.AddDuplicateList(three);
    list.SelectAllButFirst();
    env.decline = true;
    list.DeleteCheckedFiles();
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(Set(0)->checkedCount, 2);
    for (const auto& f : three.files) EXPECT_TRUE(OnDisk(f));
}

TEST_F(DupList, RecycleColumnRemovesOneRowAndEndsSetsOfTwo) {
    const CDuplicateFileList three = folder.MakeSet("three", 3);
    list.AddDuplicateList(three);
    CRLIRoot* set = Set(0);
    EXPECT_EQ(ClickItem(set, 1, RecycleX()), kHitRemoved);
    EXPECT_FALSE(OnDisk(three.files[1]));
    ASSERT_EQ(set->items.size(), 2u);
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(ClickItem(set, 0, RecycleX()), kHitRemoved);
    EXPECT_TRUE(set->items.empty());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(OnDisk(three.files[2]));
    // A declined recycle keeps the row.
    const CDuplicateFileList two = folder.MakeSet("two", 2);
    list.AddDuplicateList(two);
    env.decline = true;
    EXPECT_EQ(ClickItem(Set(1), 0, RecycleX()), kHitHandled);
    EXPECT_EQ(list.GetItemCount(), 2);
}

TEST_F(DupList, AfterARemovalLeavingOnlyCheckedFilesTheFirstIsUnchecked) {
    const CDuplicateFileList three = folder.MakeSet("three", 3);
    list.AddDuplicateList(three);
    CRLIRoot* set = Set(0);
    ClickItem(set, 1, CheckX());
    ClickItem(set, 2, CheckX());
    // The unchecked first copy goes through its own row: the two checked ones remain.
    EXPECT_EQ(ClickItem(set, 0, RecycleX()), kHitRemoved);
    ASSERT_EQ(set->items.size(), 2u);
    EXPECT_EQ(set->items[0]->checked, 0);
    EXPECT_EQ(set->items[1]->checked, 1);
    EXPECT_EQ(set->checkedCount, 1);
}

TEST_F(DupList, MovingIntoAFolderWithTheSameNameKeepsBoth) {
    const CDuplicateFileList two = folder.MakeSet("two", 2);
    const auto target = folder.root / "target";
    std::filesystem::create_directories(target);
    const auto clash = target / std::filesystem::path(two.files[1]).filename();
    std::ofstream(clash) << "other";
    list.AddDuplicateList(two);
    list.SelectAllButFirst();
    env.pickedFolder = target.wstring();
    EXPECT_TRUE(list.MoveCheckedFiles());
    EXPECT_EQ(list.moveFolder, target.wstring());
    EXPECT_TRUE(OnDisk(two.files[0]));
    EXPECT_FALSE(OnDisk(two.files[1]));
    int inTarget = 0;
    for (const auto& e : std::filesystem::directory_iterator(target)) (void)e, ++inTarget;
    EXPECT_EQ(inTarget, 2);
    EXPECT_EQ(list.GetItemCount(), 0);
    // A folder that is not one: message 461, nothing moves.
    list.AddDuplicateList(folder.MakeSet("again", 2));
    list.SelectAllButFirst();
    env.pickedFolder = (folder.root / "missing").wstring();
    EXPECT_FALSE(list.MoveCheckedFiles());
    EXPECT_EQ(env.messages, std::vector<int>{kTextBadMoveFolder});
    EXPECT_EQ(list.GetItemCount(), 2);
}

TEST_F(DupList, HeaderLinksOpenOrDropTheSetAndTheRestCollapses) {
    const CDuplicateFileList two = folder.MakeSet("two", 2);
    list.AddDuplicateList(two);
    CRLIRoot* set = Set(0);
    const int headerY = RowTop(list, set, -1) + 5;
    const RowRect header{0, 0, list.ScrolledRect().right, 26};
    const RowRect open = static_cast<CDupRoot*>(set)->OpenRect(header);
    const RowRect remove = static_cast<CDupRoot*>(set)->RemoveRect(header);
    EXPECT_LT(open.right, remove.left);

    EXPECT_EQ(list.Click(open.left + 2, headerY), kHitHandled);
    EXPECT_EQ(env.opened, std::vector<std::wstring>{two.files[0]});
    EXPECT_EQ(list.Click(100, headerY), kHitExpand);
    EXPECT_EQ(set->expanded, 0);
    EXPECT_EQ(list.Click(100, headerY), kHitExpand);
    EXPECT_EQ(list.Click(remove.left + 2, headerY), kHitHandled);
    EXPECT_EQ(list.GetItemCount(), 0);
    for (const auto& f : two.files) EXPECT_TRUE(OnDisk(f));
}

// Random clicks anywhere, with the page's actions mixed in: no set ever loses its last copy
// on disk, every shown set keeps an unchecked file, and the registry matches the rows.
TEST_F(DupList, RandomClickSequencesNeverLoseTheLastCopy) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 4; ++round) {
        list.ResetGroups(false);
        std::vector<CDuplicateFileList> sets;
        const uint32_t categories[] = {1, 2, 4, 8, 16};
        for (int s = 0; s < 6; ++s) {
            sets.push_back(folder.MakeSet("r" + std::to_string(round) + "s" + std::to_string(s), 2 + random() % 4,
                                          categories[random() % 5]));
            list.AddDuplicateList(sets.back());
        }
        const auto target = folder.root / ("moved" + std::to_string(round));
        std::filesystem::create_directories(target);
        env.pickedFolder = target.wstring();
        for (int step = 0; step < 100; ++step) {
            env.decline = random() % 5 == 0;
            const int action = random() % 20;
            if (action == 0) list.SelectAllButFirst();
            else if (action == 1) list.DeleteCheckedFiles();
            else if (action == 2) list.MoveCheckedFiles();
            else if (action == 3) list.Scroll(true, ScrollCommand::Track, random() % 12);
            else {
                const int xs[] = {5, 31, 36, 43, RecycleX(), static_cast<int>(random() % 600)};
                list.Click(xs[random() % 6], random() % (host.height + 40) - 20);
            }
            // Only checked files leave, so every set keeps a copy where it was.
            for (const auto& set : sets) {
                int present = 0;
                for (const auto& f : set.files) present += OnDisk(f);
                ASSERT_GE(present, 1) << "round " << round << " step " << step;
            }
            size_t rows = 0;
            for (const auto& group : list.groups)
                for (const auto& root : group->roots) {
                    rows += root->items.size();
                    if (root->items.empty()) continue;
                    ASSERT_GE(root->items.size(), 2u);
                    ASSERT_LT(root->checkedCount, static_cast<int>(root->items.size()));
                }
            ASSERT_EQ(rows, list.allItems.size());
        }
    }
}

}  // namespace
