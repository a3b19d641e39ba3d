// The question box driven for real: result codes, the check box, Escape, Ctrl+C text, layout.
#include <gtest/gtest.h>
#include "framework/ModalSeam.h"
#include "skin/XMessageBox.h"
#include "ui_test_support.h"

namespace {

MessageBoxParams CustomButtons(const wchar_t* captions) {
    MessageBoxParams params;
    params.options = 1;
    params.customButtons = captions;
    return params;
}

// Clicks `buttonId` of the box once it is open; ticks the check box first when asked.
void ClickLater(int buttonId, bool tick, HWND* seen = nullptr) {
    Later(150, [=] {
        HWND box = FindThreadDialog();
        if (seen) *seen = box;
        if (!box) return;
        if (tick) ::SendMessageW(::GetDlgItem(box, kXmbCheckBox), BM_CLICK, 0, 0);
        ::SendMessageW(::GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
    });
}

TEST(QuestionBox, ReturnsTheCustomButtonAndTheCheckBoxFlag) {
    struct Case {
        int button;
        bool tick;
        UINT style;
        int expected;
    } cases[] = {
        {23, false, 0x01000024, 23},
        {24, true, 0x01000024, 24 + 0x01000000},
        {23, true, 0x02000040, 23 + 0x02000000},
        {25, false, 0x24, 25},
    };
    for (const Case& test : cases) {
        HWND host = CreateHostWindow();
        const MessageBoxParams params = CustomButtons(L"&Yes\n&No\n&Later");
        ClickLater(test.button, test.tick);
        const int result = XMessageBox(host, L"Close now?", L"Zyr", test.style, &params);
        EXPECT_EQ(result, test.expected) << test.button;
        EXPECT_TRUE(::IsWindowEnabled(host)) << "the owner is enabled again";
        ::DestroyWindow(host);
    }
}

TEST(QuestionBox, OnlyTheFirstFourCaptionsBecomeButtons) {
    HWND host = CreateHostWindow();
    const MessageBoxParams params = CustomButtons(L"A\nB\nC\nD\nE");
    bool hasFourth = false, hasFifth = true;
    Later(150, [&] {
        HWND box = FindThreadDialog();
        hasFourth = ::GetDlgItem(box, 26) != nullptr;
        hasFifth = ::GetDlgItem(box, 27) != nullptr;
        ::SendMessageW(::GetDlgItem(box, 26), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(XMessageBox(host, L"Pick one", L"Zyr", 0x20, &params), 26);
    EXPECT_TRUE(hasFourth);
    EXPECT_FALSE(hasFifth);
    ::DestroyWindow(host);
}

TEST(QuestionBox, EscapeAndTheCloseBoxDoNotCloseIt) {
    HWND host = CreateHostWindow();
    const MessageBoxParams params = CustomButtons(L"&Yes\n&No");
    bool stillOpen = false;
    Later(150, [&] {
        HWND box = FindThreadDialog();
        ::SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
        ::SendMessageW(box, WM_CLOSE, 0, 0);
        Later(100, [&, box] {
            stillOpen = ::IsWindow(box) && ::IsWindowVisible(box);
            ::SendMessageW(::GetDlgItem(box, 24), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(XMessageBox(host, L"Close now?", L"Zyr", 0x01000024, &params), 24);
    EXPECT_TRUE(stillOpen);
    ::DestroyWindow(host);
}

TEST(QuestionBox, CopiesItsContentInTheClipboardFormat) {
    HWND host = CreateHostWindow();
    const MessageBoxParams params = CustomButtons(L"&Yes\n&No");
    std::wstring copied;
    Later(150, [&] {
        HWND box = FindThreadDialog();
        copied = XMessageBoxClipboardText(box);
        ::SendMessageW(::GetDlgItem(box, 23), BM_CLICK, 0, 0);
    });
    XMessageBox(host, L"Close now?", L"Zyr Disk Care", 0x01000024, &params);
    const std::wstring line = L"---------------------------\r\n";
    EXPECT_EQ(copied, line + L"Zyr Disk Care\r\n" + line + L"Close now?\r\n" + line + L"Yes   No   Don't ask me again   \r\n" + line);
    ::DestroyWindow(host);
}

TEST(QuestionBox, CtrlCPutsTheTextOnTheClipboard) {
    HWND host = CreateHostWindow();
    const MessageBoxParams params = CustomButtons(L"&Yes\n&No");
    std::wstring clipboard;
    Later(150, [&] {
        HWND box = FindThreadDialog();
        HWND button = ::GetDlgItem(box, 23);
        // The box's own loop sees the key-down with Ctrl held.
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        ::PostMessageW(button, WM_KEYDOWN, 'C', 0);
        Later(150, [&, box] {
            BYTE reset[256] = {};
            ::GetKeyboardState(reset);
            reset[VK_CONTROL] = 0;
            ::SetKeyboardState(reset);
            if (::OpenClipboard(nullptr)) {
                if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
                    clipboard = static_cast<const wchar_t*>(::GlobalLock(data));
                    ::GlobalUnlock(data);
                }
                ::CloseClipboard();
            }
            ::SendMessageW(::GetDlgItem(box, 23), BM_CLICK, 0, 0);
        });
    });
    XMessageBox(host, L"Copy me", L"Zyr", 0x24, &params);
    EXPECT_NE(clipboard.find(L"Copy me"), std::wstring::npos);
    EXPECT_NE(clipboard.find(L"Yes   No   "), std::wstring::npos);
    ::DestroyWindow(host);
}

TEST(QuestionBox, QuitMessageEndsItWithMinusOneAndIsPostedAgain) {
    HWND host = CreateHostWindow();
    const MessageBoxParams params = CustomButtons(L"&Yes\n&No");
    Later(150, [] { ::PostQuitMessage(7); });
    EXPECT_EQ(XMessageBox(host, L"Close now?", L"Zyr", 0x24, &params), -1);
    MSG msg{};
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    ::DestroyWindow(host);
}

TEST(QuestionBox, ButtonsAreRightAlignedAndTheDefaultHasTheFocus) {
    HWND host = CreateHostWindow();
    const MessageBoxParams params = CustomButtons(L"&Close\n&Keep running");
    RECT client{}, first{}, second{}, check{};
    HWND focus = nullptr, secondButton = nullptr;
    LONG_PTR secondStyle = 0;
    Later(150, [&] {
        HWND box = FindThreadDialog();
        ::GetClientRect(box, &client);
        ::GetWindowRect(::GetDlgItem(box, 23), &first);
        ::GetWindowRect(::GetDlgItem(box, 24), &second);
        ::GetWindowRect(::GetDlgItem(box, kXmbCheckBox), &check);
        ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&first), 2);
        ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&second), 2);
        ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&check), 2);
        focus = ::GetFocus();
        secondButton = ::GetDlgItem(box, 24);
        secondStyle = ::GetWindowLongPtrW(secondButton, GWL_STYLE);
        ::SendMessageW(::GetDlgItem(box, 23), BM_CLICK, 0, 0);
    });
    // Default button 0x100: the second.
    XMessageBox(host, L"Close now?", L"Zyr", 0x01000124, &params);
    EXPECT_EQ(focus, secondButton);
    EXPECT_EQ(secondStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_LT(first.right, second.left);
    EXPECT_NEAR(client.right - second.right, 16, 3);  // right-aligned
    EXPECT_LT(check.right, first.left);               // the check box sits left of the buttons
    EXPECT_GT(check.left, 0);
    ::DestroyWindow(host);
}

TEST(QuestionBox, TheSeamAnswersWithoutAWindow) {
    ModalRequest seen;
    ScopedModalAnswerer answerer([&](const ModalRequest& request) {
        seen = request;
        return ModalAnswer{24 | 0x01000000, L""};
    });
    const MessageBoxParams params = CustomButtons(L"&Yes\n&No");
    EXPECT_EQ(XMessageBox(nullptr, L"Close now?", L"Zyr", 0x01000024, &params), 24 | 0x01000000);
    EXPECT_EQ(seen.kind, ModalKind::QuestionBox);
    EXPECT_EQ(seen.text, L"Close now?");
    EXPECT_EQ(seen.customButtons, L"&Yes\n&No");
    EXPECT_EQ(FindThreadDialog(), nullptr);
}

}  // namespace
