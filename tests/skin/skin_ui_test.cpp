// Frame base, page base and controls driven by messages under Wine.
#include <gtest/gtest.h>
#include "framework/ModalSeam.h"
#include "skin/BaseFrameWnd.h"
#include "skin/GlassButton.h"
#include "skin/ProfileLink.h"
#include "skin/Skin.h"
#include "skin/ThemeLabel.h"
#include "ui_test_support.h"

namespace {

const wchar_t kFrameClass[] = L"ZyrTestFrame";

void RegisterFrameClass() {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFrameClass;
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
}

class TestFrame : public CBaseFrameWnd {
public:
    bool allowTabChange = true;
    bool busy = false;
    int titleClicks = 0;
    int tabChanges = 0;
    int endSessions = 0;
    int commands = 0;
    UINT lastCommand = 0;

protected:
    bool IsBusy() override { return busy; }
    bool CanChangeTab() override { return allowTabChange; }
    void OnTabChanged() override { ++tabChanges; }
    void OnTitleClick() override { ++titleClicks; }
    void OnEndSession() override { ++endSessions; }
    bool OnCommand(UINT id, UINT, HWND) override {
        ++commands;
        lastCommand = id;
        return true;
    }
};

HWND MakePage(HWND parent) {
    return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

LPARAM Point(const RECT& r) { return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

void Click(HWND hwnd, LPARAM at) {
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseResourceLibrary();
        ResetSettings();
        RegisterFrameClass();
    }
    void TearDown() override { ResetSettings(); }
};

TEST_F(FrameTest, OpensAtTheSavedPlaceWithNegativePositionsAsZero) {
    {
        TestFrame frame;
        ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
        RECT r{};
        ::GetWindowRect(frame, &r);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right - r.left, 800);
        EXPECT_EQ(r.bottom - r.top, 580);
    }
    WriteProfileIntValue(L"", L"XPos", -50);
    WriteProfileIntValue(L"", L"YPos", 30);
    WriteProfileIntValue(L"", L"Width", 900);
    WriteProfileIntValue(L"", L"Height", 640);
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
    RECT r{};
    ::GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 900);
    EXPECT_EQ(r.bottom - r.top, 640);
}

TEST_F(FrameTest, WritesThePlacementBackAndRefusesToShrinkBelowTheMinimum) {
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
    frame.ShowWindow(SW_SHOW);
    ::SetWindowPos(frame, nullptr, 70, 60, 1000, 700, SWP_NOZORDER);
    EXPECT_EQ(ProfileInt(L"", L"XPos", -1), 70);
    EXPECT_EQ(ProfileInt(L"", L"YPos", -1), 60);
    EXPECT_EQ(ProfileInt(L"", L"Width", -1), 1000);
    EXPECT_EQ(ProfileInt(L"", L"Height", -1), 700);
    MINMAXINFO info{};
    ::SendMessageW(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, 580);
}

TEST_F(FrameTest, LaysOutCaptionButtonsTabsTitleAndContent) {
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
    frame.AddCaptionButton(1, L"one", L"", L"", L"");
    frame.AddCaptionButton(2, L"two", L"", L"", L"");
    frame.AddTab(L"A", nullptr, L"");
    frame.AddTab(L"A much longer tab caption than sixty-five pixels", nullptr, L"");
    const RECT client = frame.ClientRect();
    const int w = client.right;
    EXPECT_EQ(frame.CaptionButton(0).rect.left, w - 14 - 31);
    EXPECT_EQ(frame.CaptionButton(0).rect.right, w - 14);
    EXPECT_EQ(frame.CaptionButton(1).rect.right, w - 14 - 31);
    EXPECT_EQ(frame.CaptionButton(1).rect.top, 7);
    EXPECT_EQ(frame.CaptionButton(1).rect.bottom, 38);
    const TabRecord& last = frame.Tab(1);
    const TabRecord& first = frame.Tab(0);
    EXPECT_EQ(first.textWidth, 65);  // short texts are at least 65 wide
    EXPECT_GT(last.textWidth, 65);
    EXPECT_EQ(last.rect.right, frame.CaptionButton(1).rect.left - 5);
    EXPECT_EQ(last.rect.right - last.rect.left, last.textWidth + 34);
    EXPECT_EQ(first.rect.right, last.rect.left - 3);
    EXPECT_EQ(first.rect.right - first.rect.left, 99);
    EXPECT_EQ(frame.TitleRect().right, first.rect.left + 1);
    EXPECT_EQ(frame.ContentRect().top, 40);
    EXPECT_EQ(frame.ContentRect().right, w - 9);
}

TEST_F(FrameTest, TabsSwitchPagesByClicksUnlessDisabledOrRefused) {
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
    frame.ShowWindow(SW_SHOW);
    HWND pages[3] = {MakePage(frame), MakePage(frame), MakePage(frame)};
    for (HWND page : pages) frame.AddTab(L"Tab", page, L"");
    frame.AddCaptionButton(4242, L"About", L"", L"", L"");
    EXPECT_EQ(frame.SelectedTab(), 0);
    EXPECT_TRUE(::IsWindowVisible(pages[0]));

    Click(frame, Point(frame.Tab(2).rect));
    EXPECT_EQ(frame.SelectedTab(), 2);
    EXPECT_FALSE(::IsWindowVisible(pages[0]));
    EXPECT_TRUE(::IsWindowVisible(pages[2]));
    RECT placed{};
    ::GetWindowRect(pages[2], &placed);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&placed), 2);
    const RECT expected = frame.PageRect();
    EXPECT_TRUE(::EqualRect(&placed, &expected));

    Click(frame, Point(frame.CaptionButton(0).rect));
    EXPECT_EQ(frame.lastCommand, 4242u);

    frame.EnableTabs(false);
    const int commands = frame.commands;
    Click(frame, Point(frame.Tab(1).rect));
    Click(frame, Point(frame.CaptionButton(0).rect));
    EXPECT_EQ(frame.SelectedTab(), 2);
    EXPECT_EQ(frame.commands, commands);
    const int clicks = frame.titleClicks;
    Click(frame, Point(frame.TitleRect()));
    EXPECT_EQ(frame.titleClicks, clicks + 1) << "the title still answers";

    frame.EnableTabs(true);
    frame.allowTabChange = false;
    Click(frame, Point(frame.Tab(1).rect));
    EXPECT_EQ(frame.SelectedTab(), 2);
    EXPECT_TRUE(::IsWindowVisible(pages[2]));
}

TEST_F(FrameTest, LoosePagesAndTabPages) {
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
    frame.ShowWindow(SW_SHOW);
    HWND home = MakePage(frame), other = MakePage(frame), loose = MakePage(frame);
    frame.AddTab(L"Home", home, L"");
    frame.AddTab(L"Disk", MakePage(frame), L"");
    frame.ShowLoosePage(loose);
    EXPECT_EQ(frame.SelectedTab(), -1);
    EXPECT_FALSE(::IsWindowVisible(home));
    EXPECT_TRUE(::IsWindowVisible(loose));
    frame.SelectTab(0);
    EXPECT_FALSE(::IsWindowVisible(loose));
    EXPECT_TRUE(::IsWindowVisible(home));
    frame.SetTabPage(0, other);
    EXPECT_FALSE(::IsWindowVisible(home));
    EXPECT_TRUE(::IsWindowVisible(other));
}

TEST_F(FrameTest, AsksBeforeTheSessionEndsWhileBusy) {
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kFrameClass, L"Frame"));
    int asked = 0;
    int answer = IDNO;
    ScopedModalAnswerer answerer([&](const ModalRequest& request) {
        ++asked;
        EXPECT_EQ(request.style & MB_YESNO, static_cast<UINT>(MB_YESNO));
        return ModalAnswer{answer, L""};
    });
    EXPECT_EQ(::SendMessageW(frame, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(asked, 0);
    frame.busy = true;
    EXPECT_EQ(::SendMessageW(frame, WM_QUERYENDSESSION, 0, 0), FALSE);
    answer = IDYES;
    EXPECT_EQ(::SendMessageW(frame, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(asked, 2);
    ::SendMessageW(frame, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(frame.endSessions, 0);
    ::SendMessageW(frame, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(frame.endSessions, 1);
}

TEST(GlassButton, LargeCaptionsFromFiftyOnePixelsOrWithAnIconFromHundredByTwoHundred) {
    EXPECT_EQ(CGlassButton::CaptionFont(false, 165, 50, false), theSkin.buttonFont.get());
    EXPECT_EQ(CGlassButton::CaptionFont(false, 165, 51, false), theSkin.titleFont.get());
    EXPECT_EQ(CGlassButton::CaptionFont(false, 165, 51, true), theSkin.titleUnderlineFont.get());
    EXPECT_EQ(CGlassButton::CaptionFont(true, 165, 94, false), theSkin.buttonFont.get());
    EXPECT_EQ(CGlassButton::CaptionFont(true, 200, 234, false), theSkin.buttonFont.get());
    EXPECT_EQ(CGlassButton::CaptionFont(true, 370, 234, false), theSkin.titleFont.get());
}

TEST(GlassButton, TurnsColdSoonAfterThePointerLeaves) {
    HWND host = CreateHostWindow();
    CGlassButton button;
    ASSERT_TRUE(button.Create(L"Go", RECT{20, 20, 180, 60}, host, 77));
    ::SetCursorPos(5, 5);  // far from the button
    ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(button.IsHot());
    Pump(400, [&] { return !button.IsHot(); });
    EXPECT_FALSE(button.IsHot());
    ::DestroyWindow(host);
}

TEST(GlassButton, AnimatesOnlyWhileShown) {
    HWND host = CreateHostWindow();
    CGlassButton button;
    ASSERT_TRUE(button.Create(L"Go", RECT{20, 20, 180, 160}, host, 77));
    std::vector<SkinImage> frames;
    for (int i = 1; i <= 3; ++i) frames.push_back(LoadSkinImage(nullptr, L"images/Start Anim/" + std::to_wstring(i) + L".png"));
    ASSERT_TRUE(frames[0]);
    button.SetFrames(std::move(frames));
    button.StartAnimation();
    Pump(450, [&] { return button.FrameIndex() >= 2; });
    EXPECT_GE(button.FrameIndex(), 2u);
    button.ShowWindow(SW_HIDE);
    const size_t frozen = button.FrameIndex();
    Pump(300);
    EXPECT_EQ(button.FrameIndex(), frozen);
    ::DestroyWindow(host);
}

TEST(GlassButton, ClickNotifiesTheParentAndGivesItTheFocus) {
    HWND host = CreateHostWindow();
    CGlassButton button;
    ASSERT_TRUE(button.Create(L"Go", RECT{20, 20, 180, 60}, host, 77));
    ::SetFocus(button);
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(::GetFocus(), host);
    ::DestroyWindow(host);
}

TEST(DrawingToolkit, MissingPicturesLoadAsNothingAndGreyImagesAreGrey) {
    EXPECT_EQ(LoadSkinImage(nullptr, L"images/no such picture.png"), nullptr);
    SkinImage image = LoadSkinImage(nullptr, L"images/buttons and headers/button_defrag.png");
    ASSERT_TRUE(image);
    Gdiplus::Bitmap target(64, 64, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&target);
        g.Clear(Gdiplus::Color(255, 255, 255, 255));
        DrawGreyImage(g, image.get(), 0, 0, 64, 64, 0.0f);
    }
    int coloured = 0;
    for (int y = 0; y < 64; y += 4)
        for (int x = 0; x < 64; x += 4) {
            Gdiplus::Color c;
            target.GetPixel(x, y, &c);
            if (std::abs(c.GetR() - c.GetG()) > 3 || std::abs(c.GetG() - c.GetB()) > 3) ++coloured;
        }
    EXPECT_EQ(coloured, 0);
}

TEST(ThemeLabel, BorderMovesTheTextInOnEverySide) {
    HWND host = CreateHostWindow();
    HWND label = ::CreateWindowExW(0, L"STATIC", L"Label text", WS_CHILD | WS_VISIBLE, 10, 10, 200, 40, host, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    CThemeLabel theme;
    ASSERT_TRUE(theme.SubclassWindow(label));
    const Gdiplus::RectF plain = theme.TextRect();
    const SIZE plainSize = theme.MeasureText();
    theme.SetBorder(2.0f);
    const Gdiplus::RectF framed = theme.TextRect();
    EXPECT_FLOAT_EQ(framed.X, plain.X + 2);
    EXPECT_FLOAT_EQ(framed.Y, plain.Y + 2);
    EXPECT_FLOAT_EQ(framed.Width, plain.Width - 4);
    EXPECT_FLOAT_EQ(framed.Height, plain.Height - 4);
    const SIZE framedSize = theme.MeasureText();
    EXPECT_EQ(framedSize.cx, plainSize.cx + 4);
    ::DestroyWindow(host);
}

}  // namespace
