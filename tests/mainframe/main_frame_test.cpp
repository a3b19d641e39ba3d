// The main frame driven by messages: tabs, close policy, forwarded requests, home buttons.
#include <gtest/gtest.h>
#include <deque>
#include <vector>
#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "framework/ModalSeam.h"
#include "skin/ProfileLink.h"
#include "tests/mainframe/FrameFixture.h"
#include "ui_test_support.h"

namespace {


// Answers every modal request from a script and remembers what was asked.
class ScriptedAnswers {
public:
    explicit ScriptedAnswers(std::deque<int> answers)
        : answers_(std::move(answers)), scope_([this](const ModalRequest& request) {
              asked.push_back(request);
              int result = IDNO;
              if (!answers_.empty()) {
                  result = answers_.front();
                  answers_.pop_front();
              }
              return ModalAnswer{result, L""};
          }) {}
    std::vector<ModalRequest> asked;

private:
    std::deque<int> answers_;
    ScopedModalAnswerer scope_;
};

LPARAM Centre(const RECT& r) { return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

void Click(HWND hwnd, LPARAM at) {
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

class MainFrameTest : public FrameFixture {
protected:
    void Close() {
        ::SendMessageW(*frame, WM_CLOSE, 0, 0);
        Pump(20);
    }
};

TEST_F(MainFrameTest, OpensOnTheHomeTabWithThreeTabsTwoCaptionButtonsAndDefaultShortcuts) {
    CMainFrame& f = Open();
    ASSERT_EQ(f.TabCount(), 3u);
    EXPECT_EQ(f.Tab(0).text, ShellText(IDS_TAB_HOME));
    EXPECT_EQ(f.Tab(1).page, f.diskPage.GetSafeHwnd());
    EXPECT_EQ(f.Tab(2).page, f.settingsPage.GetSafeHwnd());
    EXPECT_EQ(f.SelectedTab(), 0);
    EXPECT_TRUE(f.homePage.IsVisible());
    EXPECT_FALSE(f.diskPage.IsVisible());
    EXPECT_EQ(f.CaptionButton(0).command, ID_APP_ABOUT);
    EXPECT_EQ(f.CaptionButton(1).command, ID_HELP_PAGE);
    // settings.xml names 310, 316 and 338: defrag, duplicates, restore; their names are stored.
    EXPECT_EQ(ProfileString(L"HomeScreenIcons", L"0"), ShellText(IDS_NAME_DEFRAG));
    EXPECT_EQ(ProfileString(L"HomeScreenIcons", L"1"), ShellText(IDS_NAME_DUPLICATES));
    EXPECT_EQ(ProfileString(L"HomeScreenIcons", L"2"), ShellText(IDS_NAME_RESTORE));
    EXPECT_EQ(f.homePage.HomeButton(0).GetWindowText(), ShellText(IDS_NAME_DEFRAG));
    EXPECT_TRUE(f.homePage.HomeButton(2).HasIcon());
}

TEST_F(MainFrameTest, StoredShortcutsAreUsedAndAnUnknownOneResetsAllThree) {
    WriteProfileStringValue(L"HomeScreenIcons", L"0", ShellText(IDS_NAME_SCHEDULE));
    WriteProfileStringValue(L"HomeScreenIcons", L"1", ShellText(IDS_NAME_GENERAL_SETTINGS));
    WriteProfileStringValue(L"HomeScreenIcons", L"2", ShellText(IDS_NAME_RESTORE));
    {
        CMainFrame& f = Open();
        EXPECT_EQ(f.homePageManager->Chosen(0), &f.schedulePage);
        EXPECT_EQ(f.homePageManager->Chosen(1), &f.generalSettingsPage);
        frame.reset();
    }
    WriteProfileStringValue(L"HomeScreenIcons", L"1", L"A button that no longer exists");
    CMainFrame& f = Open();
    EXPECT_EQ(f.homePageManager->Chosen(0), &f.defragPage);
    EXPECT_EQ(ProfileString(L"HomeScreenIcons", L"1"), ShellText(IDS_NAME_DUPLICATES));
}

TEST_F(MainFrameTest, TabClicksSwitchPagesUntilTheTabsAreDisabled) {
    CMainFrame& f = Open();
    Click(f, Centre(f.Tab(1).rect));
    EXPECT_EQ(f.SelectedTab(), 1);
    EXPECT_TRUE(f.diskPage.IsVisible());
    EXPECT_FALSE(f.homePage.IsVisible());
    f.EnableTabs(false);
    Click(f, Centre(f.Tab(2).rect));
    EXPECT_EQ(f.SelectedTab(), 1);
    EXPECT_FALSE(f.settingsPage.IsVisible());
    f.EnableTabs(true);
    Click(f, Centre(f.Tab(2).rect));
    EXPECT_TRUE(f.settingsPage.IsVisible());
    // The about caption button shows a page that belongs to no tab.
    Click(f, Centre(f.CaptionButton(0).rect));
    EXPECT_TRUE(f.aboutPage.IsVisible());
    EXPECT_EQ(f.SelectedTab(), -1);
}

TEST_F(MainFrameTest, HomeShortcutsAndTheDiskPageOpenTheirPages) {
    CMainFrame& f = Open();
    ::SendMessageW(f.homePage, WM_COMMAND, MAKEWPARAM(IDC_HOME_BUTTON2, BN_CLICKED), 0);
    EXPECT_TRUE(f.dupFinderPage.IsVisible());
    EXPECT_EQ(f.SelectedTab(), 1);
    f.SelectTab(1);
    f.SetTabPage(1, f.diskPage);
    f.busy = 1;
    ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_DEFRAG, BN_CLICKED), 0);
    EXPECT_TRUE(f.defragPage.IsVisible());
    EXPECT_EQ(f.busy, 0);
}

// The hosted pages' own navigation: the home-page button shows the page on its tab with the
// frame idle, and the header's back button returns to the tab's main page.
TEST_F(MainFrameTest, HostedPagesOpenFromTheirButtonsAndGoBackToTheirTabsMainPage) {
    CMainFrame& f = Open();
    struct Case {
        const char* name;
        IHomePageButton& button;
        CBaseDlg& page;
        int tab;
        CWnd& back;
    } cases[] = {
        {"defrag", f.defragPage, f.defragPage, 1, f.diskPage},
        {"restore", f.restorePage, f.restorePage, 1, f.diskPage},
        {"schedule", f.schedulePage, f.schedulePage, 2, f.settingsPage},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.busy = 1;
        f.EnableTabs(false);
        c.button.OnButtonClick();
        EXPECT_TRUE(c.page.IsVisible());
        EXPECT_EQ(f.SelectedTab(), c.tab);
        EXPECT_EQ(f.busy, 0);
        const RECT back = c.page.BackButtonRect();
        const LPARAM at = MAKELPARAM((back.left + back.right) / 2, (back.top + back.bottom) / 2);
        ::SendMessageW(c.page, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(c.page, WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(c.back.IsVisible());
        EXPECT_FALSE(c.page.IsVisible());
        EXPECT_EQ(f.SelectedTab(), c.tab);
        EXPECT_TRUE(f.TabsEnabled());
    }
}

struct CloseCase {
    const char* name;
    int confirmExit;        // -1: never stored
    int minimizeOnExit;     // -1: never stored
    int busy;
    std::deque<int> answers;
    bool destroyed;
    bool hidden;
    size_t questions;
    int storedConfirmExit;  // -1: never stored
    int storedMinimize;     // -1: never stored
};

class ClosePolicyTest : public MainFrameTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosePolicyTest, FollowsTheSettingsAndTheAnswers) {
    const CloseCase& c = GetParam();
    if (c.confirmExit >= 0) WriteProfileIntValue(L"", L"ConfirmExit", c.confirmExit);
    if (c.minimizeOnExit >= 0) WriteProfileIntValue(L"", L"MinimizeOnExit", c.minimizeOnExit);
    CMainFrame& f = Open();
    f.busy = c.busy;
    ScriptedAnswers answers(c.answers);
    Close();
    EXPECT_EQ(!f.IsWindow(), c.destroyed);
    if (f.IsWindow()) EXPECT_EQ(!f.IsVisible(), c.hidden);
    ASSERT_EQ(answers.asked.size(), c.questions);
    for (const ModalRequest& request : answers.asked) {
        if (request.kind == ModalKind::QuestionBox) {
            EXPECT_EQ(request.text, ShellText(IDS_EXIT_QUESTION));
            EXPECT_EQ(request.customButtons, ShellText(IDS_EXIT_BUTTONS));
            EXPECT_EQ(request.style, 0x01000024u);
        } else {
            EXPECT_EQ(request.text, ShellText(IDS_BUSY_EXIT_QUESTION));
        }
    }
    EXPECT_EQ(ProfileInt(L"", L"ConfirmExit", -1), c.storedConfirmExit);
    EXPECT_EQ(ProfileInt(L"", L"MinimizeOnExit", -1), c.storedMinimize);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, ClosePolicyTest,
    ::testing::Values(
        CloseCase{"CloseButton", -1, -1, 0, {23}, true, false, 1, -1, 0},
        CloseCase{"KeepRunningAndDontAskAgain", -1, -1, 0, {24 | 0x01000000}, false, true, 1, 0, 1},
        CloseCase{"CloseAndDontAskAgain", 1, 1, 0, {23 | 0x01000000}, true, false, 1, 0, 0},
        CloseCase{"BoxEndedByQuit", -1, -1, 0, {-1}, false, false, 1, -1, -1},
        CloseCase{"NoQuestionMinimizeDefault", 0, -1, 0, {}, false, true, 0, 0, -1},
        CloseCase{"NoQuestionClose", 0, 0, 0, {}, true, false, 0, 0, 0},
        CloseCase{"BusyAnswerNo", -1, -1, 1, {IDNO}, false, false, 1, -1, -1},
        CloseCase{"BusyAnswerYesThenClose", -1, -1, 1, {IDYES, 23}, true, false, 2, -1, 0}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(MainFrameTest, TheTrayExitClosesWithoutTheQuestion) {
    CMainFrame& f = Open();
    ScriptedAnswers answers({});
    ::SendMessageW(f, WM_COMMAND, ID_TRAY_EXIT, 0);
    Pump(100, [&] { return !f.IsWindow(); });
    EXPECT_FALSE(f.IsWindow());
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(MainFrameTest, AShutdownRequestClosesWithoutQuestionsEvenWhenBusy) {
    CMainFrame& f = Open();
    f.busy = 1;
    ScriptedAnswers answers({});
    EXPECT_EQ(::SendMessageW(f, UM_SHUTDOWN_REQUEST, 0, 0), 1);
    Pump(100, [&] { return !f.IsWindow(); });
    EXPECT_FALSE(f.IsWindow());
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(MainFrameTest, AShutdownRequestFromASecondProcessClosesTheWindow) {
    CMainFrame& f = Open();
    ScriptedAnswers answers({});
    // A second process finds the window by its class and posts the request, as "-shutdown" does.
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=SecondInstance.PostsShutdown";
    ::SetEnvironmentVariableW(L"ZYR_SECOND_INSTANCE", L"1");
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    ::SetEnvironmentVariableW(L"ZYR_SECOND_INSTANCE", nullptr);
    Pump(20000, [&] { return !f.IsWindow(); });
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    EXPECT_FALSE(f.IsWindow());
    EXPECT_TRUE(answers.asked.empty());
}

TEST(SecondInstance, PostsShutdown) {
    wchar_t flag[8] = {};
    if (!::GetEnvironmentVariableW(L"ZYR_SECOND_INSTANCE", flag, 8)) GTEST_SKIP() << "runs as the second process of another test";
    HWND running = ::FindWindowW(kFrameClass, nullptr);
    ASSERT_NE(running, nullptr);
    EXPECT_TRUE(::PostMessageW(running, UM_SHUTDOWN_REQUEST, 0, 0));
}

TEST_F(MainFrameTest, ADefragRequestShowsTheWindowAndStartsOnlyWhenNotBusy) {
    CMainFrame& f = Open();
    f.ShowWindow(SW_HIDE);
    f.busy = 1;
    EXPECT_EQ(::SendMessageW(f, UM_DEFRAG_REQUEST, 0, 0), 1);
    EXPECT_TRUE(f.IsVisible());
    EXPECT_EQ(f.SelectedTab(), 0);
    EXPECT_FALSE(f.StartScheduledDefrag());
    f.busy = 0;
    EXPECT_EQ(::SendMessageW(f, UM_DEFRAG_REQUEST, 0, 0), 1);
    EXPECT_EQ(f.SelectedTab(), 1);
    EXPECT_TRUE(f.defragPage.IsVisible());
    f.ShowHomePage();
    EXPECT_TRUE(f.homePage.IsVisible());
}

TEST_F(MainFrameTest, TheEndOfTheSessionClosesWithoutQuestions) {
    CMainFrame& f = Open();
    ScriptedAnswers answers({});
    ::SendMessageW(f, WM_ENDSESSION, TRUE, 0);
    Pump(100, [&] { return !f.IsWindow(); });
    EXPECT_FALSE(f.IsWindow());
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(MainFrameTest, CleanupButtonsAskFirstAndReportWhenDone) {
    CMainFrame& f = Open();
    {
        ScriptedAnswers answers({IDNO});
        ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_RECENT_DOCS, BN_CLICKED), 0);
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].text, ShellText(IDS_RECENT_QUESTION));
    }
    {
        ScriptedAnswers answers({IDNO});
        ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_TEMP_FILES, BN_CLICKED), 0);
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].text, ShellText(IDS_TEMP_QUESTION));
    }
    {
        // Yes: the work runs and the completion message follows.
        ScriptedAnswers answers({IDYES, IDOK});
        ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_RECENT_DOCS, BN_CLICKED), 0);
        ASSERT_EQ(answers.asked.size(), 2u);
        EXPECT_EQ(answers.asked[1].text, ShellText(IDS_RECENT_DONE));
    }
}

TEST_F(MainFrameTest, NegativeSavedPositionOpensAtZero) {
    WriteProfileIntValue(L"", L"XPos", -50);
    CMainFrame& f = Open();
    RECT r{};
    ::GetWindowRect(f, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, 800);
}

}  // namespace
