// The grouped list's heights, columns, scroll ranges, clicks, check counts and item registry.
#include "list_fixture.h"

#include <gtest/gtest.h>

namespace {

struct PlainList : ::testing::Test {
    FakeHost host;
    CGroupListCore list{host};

    CRLItem* Add(CRLIGroup* group, int root, const std::wstring& text) {
        auto item = std::make_unique<CRLItem>();
        item->text = text;
        item->data = item.get();
        CRLItem* raw = item.get();
        list.AddItem(std::move(item), group, root);
        return raw;
    }
};

TEST_F(PlainList, HeightsFollowRowsAndExpandStates) {
    CRLIGroup* a = list.AddGroup(L"A", 1, 0, 1);
    list.AddRoot(L"r0", true);
    list.AddRoot(L"r1", true);
    CRLIGroup* b = list.AddGroup(L"B", 1, 0, 1);  // created later: gets both roots
    ASSERT_EQ(b->roots.size(), 2u);
    EXPECT_EQ(a->GetHeight(), 0);
    EXPECT_EQ(list.ContentHeight(), 0);

    for (int i = 0; i < 3; ++i) Add(a, 0, L"x");
    Add(a, 1, L"y");
    // 36 + (26*4 + 1) + (26*2 + 1)
    EXPECT_EQ(a->GetHeight(), 36 + 105 + 53);
    EXPECT_EQ(list.ContentHeight(), a->GetHeight() + 1);  // B holds nothing
    a->roots[0]->expanded = 0;
    EXPECT_EQ(a->GetHeight(), 36 + 27 + 53);
    a->expanded = 0;
    EXPECT_EQ(a->GetHeight(), 36);
    EXPECT_EQ(list.GetItemCount(), 4);
}

TEST_F(PlainList, AutomaticColumnsShareTheFreeWidthButKeepAHundred) {
    struct Case { int width; std::vector<ColumnRecord> columns; std::vector<int> expected; };
    const Case cases[] = {
        {600, {{0, 0}, {1, 80}}, {520, 80}},
        {600, {{0, 0}, {0, 0}, {1, 100}}, {250, 250, 100}},
        {250, {{0, 0}, {0, 0}, {1, 100}}, {100, 100, 100}},  // 75 each would be below the floor
        {50, {{0, 0}, {1, 80}}, {100, 80}},                  // no free width at all
    };
    for (const Case& c : cases) {
        FakeHost h;
        h.width = c.width;
        CGroupListCore l(h);
        for (const auto& col : c.columns) l.AddColumn(col.kind, col.width);
        l.ResizeColumns(true);
        int total = 0;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(l.GetColumnWidth(static_cast<int>(i)), c.expected[i]) << "width " << c.width << " column " << i;
            total += c.expected[i];
        }
        EXPECT_EQ(l.totalColumnWidth, total);
    }
    EXPECT_EQ(list.GetColumnWidth(0), -1);
    list.SetColumnWidth(3, 10);  // ignored
    EXPECT_EQ(list.GetColumnCount(), 0);
}

TEST_F(PlainList, ScrollRangesInThirtyPixelUnits) {
    list.AddColumn(0, 0);
    list.AddColumn(1, 50);
    list.ResizeColumns(false);
    CRLIGroup* g = list.AddGroup(L"G", 1, 0, 1);
    list.AddRoot(L"r", true);
    Add(g, 0, L"first");
    EXPECT_FALSE(host.vBar);
    EXPECT_EQ(list.vScrollMax, 0);
    // 20 items: 36 + 26*21 + 1 + 1 = 584 against 400: ceil(184/30) = 7.
    for (int i = 1; i < 20; ++i) Add(g, 0, L"item");
    EXPECT_EQ(list.ContentHeight(), 584);
    EXPECT_TRUE(host.vBar);
    EXPECT_EQ(list.vScrollMax, 7);
    EXPECT_EQ(host.vRange, 8);
    // The bar took width: the automatic column shrank with the client.
    EXPECT_EQ(list.GetColumnWidth(0), 600 - 17 - 50);

    list.Scroll(true, ScrollCommand::PageDown);  // (400 - 5) / 30 = 13, clamped to 7
    EXPECT_EQ(list.vScrollPos, 7);
    list.Wheel(120);
    EXPECT_EQ(list.vScrollPos, 6);
    list.Wheel(-360);
    EXPECT_EQ(list.vScrollPos, 7);
    list.Scroll(true, ScrollCommand::Track, 2);
    EXPECT_EQ(list.vScrollPos, 2);
    EXPECT_EQ(list.ScrolledRect().top, -60);

    // Collapsing the group brings everything into view: the bar goes and the position resets.
    ASSERT_EQ(list.Click(10, -60 + 5), kHitExpand);
    EXPECT_FALSE(host.vBar);
    EXPECT_EQ(list.vScrollPos, 0);
    EXPECT_EQ(list.GetColumnWidth(0), 600 - 50);

    // Wide columns: 188 pixels in 100 is 88 over, 2.93 units, rounded to 3.
    FakeHost narrow;
    narrow.width = 100;
    CGroupListCore wide(narrow);
    wide.AddColumn(0, 0);
    wide.AddColumn(1, 88);
    wide.ResizeColumns(false);
    EXPECT_TRUE(narrow.hBar);
    EXPECT_EQ(wide.hScrollMax, 3);
    wide.Scroll(false, ScrollCommand::PageDown);
    EXPECT_EQ(wide.hScrollPos, 1);
    EXPECT_EQ(wide.ScrolledRect().left, -30);
}

TEST_F(PlainList, ClicksCheckItemsAndRollCountsUp) {
    CRLIGroup* g = list.AddGroup(L"G", 1, 0, 1);
    list.AddRoot(L"r", true);
    CRLItem* a = Add(g, 0, L"a");
    CRLItem* b = Add(g, 0, L"b");
    CRLIRoot* root = g->roots[0].get();
    ASSERT_EQ(root->checkable, 1);

    // Item check box at left + 45 (the root has one of its own).
    EXPECT_EQ(list.Click(46, RowTop(list, root, 0) + 5), kHitCheck);
    EXPECT_EQ(a->checked, 1);
    EXPECT_EQ(root->checked, 2);
    EXPECT_EQ(g->checkedTotal, 1);
    EXPECT_EQ(host.notifications, 3);  // two additions, one check
    // Beside the box: handled, nothing changes.
    EXPECT_EQ(list.Click(200, RowTop(list, root, 1) + 5), kHitHandled);
    EXPECT_EQ(b->checked, 0);
    // The root's box: partly checked clears all, a second click checks all.
    EXPECT_EQ(list.Click(35, RowTop(list, root, -1) + 5), kHitCheck);
    EXPECT_EQ(root->checked, 0);
    EXPECT_EQ(g->checkedTotal, 0);
    EXPECT_EQ(list.Click(35, RowTop(list, root, -1) + 5), kHitCheck);
    EXPECT_EQ(root->checked, 1);
    EXPECT_EQ(g->checkedTotal, 2);

    std::vector<const void*> keys;
    list.Click(46, RowTop(list, root, 1) + 5);
    list.GetCheckedItems(keys);
    EXPECT_EQ(keys, std::vector<const void*>{a});

    // A new item in a checked root arrives checked.
    list.Click(35, RowTop(list, root, -1) + 5);
    list.Click(35, RowTop(list, root, -1) + 5);
    ASSERT_EQ(root->checked, 1);
    EXPECT_EQ(Add(g, 0, L"c")->checked, 1);
}

TEST_F(PlainList, RemovalKeepsTheItemRegistryExact) {
    CRLIGroup* g = list.AddGroup(L"G", 1, 0, 1);
    list.AddRoot(L"r0", true);
    list.AddRoot(L"r1", true);
    CRLItem* a = Add(g, 0, L"a");
    Add(g, 0, L"b");
    Add(g, 1, L"c");
    Add(g, 1, L"d");
    EXPECT_TRUE(list.RemoveItem(a));
    EXPECT_FALSE(list.RemoveItem(a));
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(g->itemCount, 3);
    list.RemoveRootItems(g->roots[1].get());
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(g->itemCount, 1);
    EXPECT_EQ(g->roots.size(), 2u);  // the emptied root stays, unseen
    EXPECT_EQ(g->GetHeight(), 36 + 53);
    list.DeleteAll(true);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(list.groups.empty());
    EXPECT_TRUE(list.rootTitles.empty());
}

TEST_F(PlainList, SortIgnoresTheCaseOfAsciiLetters) {
    CRLIGroup* g = list.AddGroup(L"G", 0, 0, 0);
    list.AddRoot(L"r", true);
    for (const wchar_t* t : {L"beta", L"Alpha", L"gamma", L"ALPHA2"}) Add(g, 0, t);
    list.SortItems();
    std::vector<std::wstring> order;
    for (const auto& item : g->roots[0]->items) order.push_back(item->text);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"Alpha", L"ALPHA2", L"beta", L"gamma"}));
}

TEST_F(PlainList, TooltipsOnlyOverTheTextOfCheckableRows) {
    list.AddColumn(0, 0);
    list.AddColumn(1, 100);
    list.ResizeColumns(false);
    CRLIGroup* g = list.AddGroup(L"G", 1, 0, 1);
    list.AddRoot(L"r", true);
    CRLItem* a = Add(g, 0, L"a");
    RowRect row;
    EXPECT_EQ(list.ItemAt(100, RowTop(list, g->roots[0].get(), 0) + 3, &row), a);
    EXPECT_EQ(row.right, list.GetColumnWidth(0));
    EXPECT_EQ(list.ItemAt(50, RowTop(list, g->roots[0].get(), 0) + 3, nullptr), nullptr);   // check box
    EXPECT_EQ(list.ItemAt(550, RowTop(list, g->roots[0].get(), 0) + 3, nullptr), nullptr);  // column 1
    EXPECT_EQ(list.ItemAt(100, 5, nullptr), nullptr);                                        // heading
}

}  // namespace
