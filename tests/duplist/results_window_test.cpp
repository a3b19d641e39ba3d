// The results list as a real window under Wine: scroll bars, clicks through messages, the
// message to its parent, and painting (a screenshot is left in the build folder).
#include "duplicates/ui/DupResultsList.h"
#include "framework/ModalSeam.h"
#include "list_fixture.h"
#include "skin/Skin.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::wstring Texts(UINT id) {
    switch (id) {
        case 155: return L"%d of %d file selected";
        case 160: return L"%d of %d files selected";
        case 161: return L"Pictures";
        case 165: return L"Other files";
        case 285: return L"No duplicate files were found.";
        case 311: return L"%d identical files of %s each";
        case 312: return L"Recycle";
        case 313: return L"Open";
        case 314: return L"Remove from list";
        default: return L"Group " + std::to_wstring(id);
    }
}

struct ResultsWindow : ::testing::Test {
    SetFolder folder{"window"};
    HWND parent = nullptr;
    CDupResultsList list{Texts, L"Zyr"};
    std::vector<std::wstring> messages;
    ScopedModalAnswerer modal{[this](const ModalRequest& r) {
        messages.push_back(r.text);
        return ModalAnswer{IDOK, L""};
    }};

    void SetUp() override {
        theSkin.LoadColorsFrom(ZYR_SOURCE_DIR L"/resources/colors.xml");
        parent = CreateWindowExW(0, L"STATIC", L"Duplicate results", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 760, 560,
                                 nullptr, nullptr, nullptr, nullptr);
        RECT client;
        GetClientRect(parent, &client);
        ASSERT_TRUE(list.Create(parent, client));
        list.Core().ResetGroups(true);
    }
    void TearDown() override {
        list.DestroyWindow();
        DestroyWindow(parent);
    }
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    int Posted1899() {
        MSG msg;
        int n = 0;
        while (PeekMessageW(&msg, parent, kGroupListChangedMessage, kGroupListChangedMessage, PM_REMOVE)) ++n;
        return n;
    }
};

TEST_F(ResultsWindow, LongListsScrollAndClicksReachTheRows) {
    std::vector<CDuplicateFileList> sets;
    for (int s = 0; s < 14; ++s) {
        sets.push_back(folder.MakeSet("photo-" + std::to_string(s), 2 + s % 3, s % 2 ? 4 : 16));
        list.Core().AddDuplicateList(sets.back());
    }
    Posted1899();
    EXPECT_GT(list.Core().vScrollMax, 0);
    SCROLLINFO si{sizeof(si), SIF_RANGE};
    EXPECT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    EXPECT_EQ(si.nMax, list.Core().vScrollMax + 1);

    // Check the second file of the first set through a real click.
    CRLIRoot* first = list.Core().groups[0]->roots[1].get();
    const int y = RowTop(list.Core(), first, 1) + 10;
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, y));
    EXPECT_EQ(first->items[1]->checked, 1);
    EXPECT_EQ(Posted1899(), 1);

    // Scroll by the wheel and the keyboard.
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), 0);
    EXPECT_EQ(list.Core().vScrollPos, 2);
    SendMessageW(list, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(list.Core().vScrollPos, 2);
    SendMessageW(list, WM_VSCROLL, SB_LINEUP, 0);

    UpdateWindow(list);
    Pump();
    // ZYR_HOLD_SECONDS keeps the window up for a screenshot.
    if (const char* hold = getenv("ZYR_HOLD_SECONDS")) {
        const DWORD end = GetTickCount() + 1000 * atoi(hold);
        while (GetTickCount() < end) {
            Pump();
            Sleep(50);
        }
    }
}

TEST_F(ResultsWindow, AnEmptyListShowsItsText) {
    UpdateWindow(list);
    Pump();
    EXPECT_EQ(list.Core().GetItemCount(), 0);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
}

}  // namespace
