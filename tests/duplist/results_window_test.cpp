// The results list as a real window under Wine: scroll bars, clicks through messages, the
// message to its parent, and painting (a screenshot is left in the build folder).
#include "duplicates/ui/DupResultsList.h"
#include "framework/ModalSeam.h"
#include "list_fixture.h"
#include "skin/Skin.h"

#include <commctrl.h>

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

// The tooltip of the list: a tooltip window of this thread that knows the list's tool.
HWND ListTip(HWND list) {
    struct Search {
        HWND list, tip = nullptr;
    } search{list};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t cls[64] = {};
            GetClassNameW(hwnd, cls, 64);
            if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
            TTTOOLINFOW info{};
            info.cbSize = sizeof(info);
            info.hwnd = s->list;
            info.uId = 1;
            if (SendMessageW(hwnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) s->tip = hwnd;
            return s->tip == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.tip;
}

TEST_F(ResultsWindow, TheTooltipFollowsTheFileRowUnderThePointer) {
    const CDuplicateFileList set = folder.MakeSet("a-rather-long-file-name-for-a-tooltip", 2);
    list.Core().AddDuplicateList(set);
    HWND tip = ListTip(list);
    ASSERT_NE(tip, nullptr);
    CRLIRoot* root = list.Core().GroupFor(16)->roots[0].get();
    const int y = RowTop(list.Core(), root, 1) + 10;
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(120, y));
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = list;
    info.uId = 1;
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.rect.top, RowTop(list.Core(), root, 1));
    EXPECT_EQ(info.rect.bottom, info.rect.top + 26);
    EXPECT_EQ(info.rect.right, list.Core().GetColumnWidth(0));
    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = tip;
    request.hdr.idFrom = 1;
    request.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(list, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&request));
    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_EQ(std::wstring(request.lpszText), set.files[1]);
    // Over the check box there is no tool area left.
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(35, y));
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(IsRectEmpty(&info.rect));
}

TEST_F(ResultsWindow, AnEmptyListShowsItsText) {
    UpdateWindow(list);
    Pump();
    EXPECT_EQ(list.Core().GetItemCount(), 0);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
}

}  // namespace
