// The settings page and the general settings page on real windows: defaults, greying, the
// registry values, the limit field's delayed apply and the logon task.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/ProductConfiguration.h"
#include "framework/ModalSeam.h"
#include "framework/Profile.h"
#include "resources/ids/frame_ids.h"
#include "resources/ids/settings_ids.h"
#include "schedule/ScheduledTasks.h"
#include "schedule/TaskSchedulerFactory.h"
#include "settings/GeneralSettingsDlg.h"
#include "settings/SettingsPage.h"
#include "tests/schedule/FakeTaskScheduler.h"
#include "ui_test_support.h"

namespace zyr::settingspages {
namespace {

// The values of the settings key: -1 for one never stored.
int Stored(const wchar_t* name) { return fw::GetProfileInt(L"", name, -1); }

// Records every modal request and answers OK.
class ModalLog {
public:
    ModalLog()
        : scope_([this](const ModalRequest& request) {
              asked.push_back(request);
              return ModalAnswer{IDOK, L""};
          }) {}
    std::vector<ModalRequest> asked;

private:
    ScopedModalAnswerer scope_;
};

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseResourceLibrary();
        UseOwnSettingsKey(L"SettingsPages");
        ResetSettings();
        schedule::SetTaskSchedulerFactory(service.Factory());
        host = CreateHostWindow(900, 640);
    }
    void TearDown() override {
        general.reset();
        settings.reset();
        ::DestroyWindow(host);
        schedule::SetTaskSchedulerFactory(nullptr);
        ResetSettings();
    }
    void Place(CBaseDlg& page) {
        RECT client{};
        ::GetClientRect(host, &client);
        page.MoveWindow(client);
        page.ShowWindow(SW_SHOW);
        Pump(30);
    }
    CGeneralSettingsDlg& General() {
        general = std::make_unique<CGeneralSettingsDlg>(
            host, CGeneralSettingsDlg::Navigation{[this] { ++backClicks; }, [this] { ++showClicks; }});
        EXPECT_TRUE(general->CreatePage());
        EXPECT_TRUE(general->HeaderLoaded());
        Place(*general);
        return *general;
    }
    HWND Item(UINT id) const { return ::GetDlgItem(*general, static_cast<int>(id)); }
    bool Checked(UINT id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(UINT id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    // A click as the user makes it: the button toggles and tells the page.
    void Click(UINT id) {
        ::SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump(10);
    }
    std::wstring FieldText() const {
        wchar_t text[64] = {};
        ::GetWindowTextW(Item(IDC_GENERAL_WARNING_LIMIT), text, 64);
        return text;
    }
    // Types into the limit field (each change is an EN_CHANGE) and waits past the delay.
    void Type(const std::vector<const wchar_t*>& steps) {
        for (const wchar_t* text : steps) {
            ::SetWindowTextW(Item(IDC_GENERAL_WARNING_LIMIT), text);
            Pump(40);
        }
        Pump(600);
    }

    schedule::testing::FakeTaskService service;
    HWND host = nullptr;
    std::unique_ptr<CGeneralSettingsDlg> general;
    std::unique_ptr<CSettingsPage> settings;
    int backClicks = 0, showClicks = 0;
};

TEST_F(PagesTest, AFreshProfileShowsTheDefaultsAndShowingStoresNothing) {
    CGeneralSettingsDlg& page = General();
    EXPECT_TRUE(Checked(IDC_GENERAL_CONFIRM_EXIT));
    EXPECT_FALSE(Checked(IDC_GENERAL_MINIMIZE_ON_EXIT));
    EXPECT_FALSE(Enabled(IDC_GENERAL_MINIMIZE_ON_EXIT));  // greyed while confirm exit is ticked
    EXPECT_FALSE(Checked(IDC_GENERAL_LAUNCH_ON_STARTUP));
    EXPECT_TRUE(Checked(IDC_GENERAL_SHOW_MESSAGES));
    EXPECT_TRUE(Checked(IDC_GENERAL_SHOW_DEFRAG_WARNING));
    EXPECT_EQ(FieldText(), L"3");
    // Putting the values into the controls is no change of the user's: nothing is written
    // (a stored "MinimizeOnExit" = 0 would change what closing the window does).
    page.ShowWindow(SW_HIDE);
    page.ShowWindow(SW_SHOW);
    Pump(600);
    for (const wchar_t* name : {L"ConfirmExit", L"MinimizeOnExit", L"LaunchOnStartup", L"ShowMessages",
                                L"ShowDefragWarning", L"DefragWarningLimit"})
        EXPECT_EQ(Stored(name), -1) << name;
    // The product name in the template's texts is filled in.
    wchar_t text[200] = {};
    ::GetWindowTextW(Item(IDC_GENERAL_LAUNCH_ON_STARTUP), text, 200);
    EXPECT_NE(std::wstring(text).find(config::AppName()), std::wstring::npos) << text;
}

TEST_F(PagesTest, EachCheckBoxClickStoresEveryValueAndConfirmExitGreysMinimize) {
    General();
    Click(IDC_GENERAL_CONFIRM_EXIT);  // unticks
    EXPECT_EQ(Stored(L"ConfirmExit"), 0);
    EXPECT_TRUE(Enabled(IDC_GENERAL_MINIMIZE_ON_EXIT));
    EXPECT_EQ(Stored(L"MinimizeOnExit"), 0);
    EXPECT_EQ(Stored(L"ShowMessages"), 1);
    EXPECT_EQ(Stored(L"ShowDefragWarning"), 1);
    EXPECT_EQ(Stored(L"DefragWarningLimit"), 3);
    EXPECT_EQ(Stored(L"LaunchOnStartup"), -1);  // only its own check box stores it
    Click(IDC_GENERAL_MINIMIZE_ON_EXIT);
    EXPECT_EQ(Stored(L"MinimizeOnExit"), 1);
    Click(IDC_GENERAL_CONFIRM_EXIT);  // ticks again: greyed, its value kept
    EXPECT_EQ(Stored(L"ConfirmExit"), 1);
    EXPECT_FALSE(Enabled(IDC_GENERAL_MINIMIZE_ON_EXIT));
    EXPECT_EQ(Stored(L"MinimizeOnExit"), 1);
    Click(IDC_GENERAL_SHOW_MESSAGES);
    EXPECT_EQ(Stored(L"ShowMessages"), 0);
    Click(IDC_GENERAL_SHOW_DEFRAG_WARNING);
    EXPECT_EQ(Stored(L"ShowDefragWarning"), 0);
}

TEST_F(PagesTest, StoredValuesAreShownEachTimeThePageIsShown) {
    CGeneralSettingsDlg& page = General();
    fw::WriteProfileInt(L"", L"ConfirmExit", 0);
    fw::WriteProfileInt(L"", L"MinimizeOnExit", 1);
    fw::WriteProfileInt(L"", L"LaunchOnStartup", 1);
    fw::WriteProfileInt(L"", L"ShowMessages", 0);
    fw::WriteProfileInt(L"", L"ShowDefragWarning", 0);
    fw::WriteProfileInt(L"", L"DefragWarningLimit", 42);
    page.ShowWindow(SW_HIDE);
    page.ShowWindow(SW_SHOW);
    EXPECT_FALSE(Checked(IDC_GENERAL_CONFIRM_EXIT));
    EXPECT_TRUE(Enabled(IDC_GENERAL_MINIMIZE_ON_EXIT));
    EXPECT_TRUE(Checked(IDC_GENERAL_MINIMIZE_ON_EXIT));
    EXPECT_TRUE(Checked(IDC_GENERAL_LAUNCH_ON_STARTUP));
    EXPECT_FALSE(Checked(IDC_GENERAL_SHOW_MESSAGES));
    EXPECT_FALSE(Checked(IDC_GENERAL_SHOW_DEFRAG_WARNING));
    EXPECT_EQ(FieldText(), L"42");
}

TEST_F(PagesTest, TheLimitIsTakenFromItsLeadingDigitsAndOtherwiseRefused) {
    struct Case {
        const wchar_t* typed;
        int stored;           // the limit stored afterwards (the previous one was 5)
        bool refused;
    };
    const Case cases[] = {
        {L"7abc", 7, false}, {L"099", 99, false}, {L"1", 1, false},  {L"99", 99, false},
        {L"0", 5, true},     {L"100", 5, true},   {L"-4", 5, true},  {L"abc", 5, true},
        {L"", 5, true},      {L" 8", 5, true},
    };
    General();
    for (const Case& c : cases) {
        fw::WriteProfileInt(L"", L"DefragWarningLimit", 5);
        ModalLog log;
        Type({c.typed});
        EXPECT_EQ(Stored(L"DefragWarningLimit"), c.stored) << c.typed;
        ASSERT_EQ(log.asked.size(), c.refused ? 1u : 0u) << c.typed;
        if (c.refused) {
            EXPECT_EQ(log.asked[0].text, config::LoadText(IDS_BAD_WARNING_LIMIT));
            EXPECT_EQ(log.asked[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
            EXPECT_EQ(FieldText(), L"5") << c.typed;  // the stored limit is back
        }
    }
}

TEST_F(PagesTest, TypingSeveralCharactersAppliesOnceAfterTheLast) {
    General();
    ModalLog log;
    // "0" alone would be refused; typed on to "05" within the delay it is never applied.
    Type({L"0", L"05"});
    EXPECT_TRUE(log.asked.empty());
    EXPECT_EQ(Stored(L"DefragWarningLimit"), 5);
    // Nothing is stored before the delay has passed.
    ::SetWindowTextW(Item(IDC_GENERAL_WARNING_LIMIT), L"12");
    Pump(100);
    EXPECT_EQ(Stored(L"DefragWarningLimit"), 5);
    Pump(500);
    EXPECT_EQ(Stored(L"DefragWarningLimit"), 12);
}

TEST_F(PagesTest, LaunchAtLogonCreatesAndRemovesTheLogonTaskAtOnce) {
    General();
    const std::wstring task = config::LoadText(526);  // the logon task's name
    Click(IDC_GENERAL_LAUNCH_ON_STARTUP);
    EXPECT_EQ(Stored(L"LaunchOnStartup"), 1);
    ASSERT_NE(service.Find(task), nullptr);
    EXPECT_EQ(service.Find(task)->triggers.at(0).TriggerType, TASK_EVENT_TRIGGER_AT_LOGON);
    Click(IDC_GENERAL_LAUNCH_ON_STARTUP);
    EXPECT_EQ(Stored(L"LaunchOnStartup"), 0);
    EXPECT_EQ(service.Find(task), nullptr);
    // Launch at logon is no apply of the other values.
    EXPECT_EQ(Stored(L"ConfirmExit"), -1);
}

TEST_F(PagesTest, ALogonTaskChangeTheSchedulerRefusesLeavesTheBoxAndTheValueAsTheTaskIs) {
    const std::wstring task = config::LoadText(526);
    struct Case {
        const char* what;
        bool taskBefore;
        HRESULT* refusal;
    };
    const Case cases[] = {
        {"creation refused", false, &service.newWorkItemResult},
        {"removal refused", true, &service.deleteResult},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetSettings();
        service.jobs.clear();
        if (c.taskBefore) {
            ASSERT_TRUE(schedule::SetLaunchOnStartup(true));
            ASSERT_NE(service.Find(task), nullptr);
        }
        *c.refusal = E_ACCESSDENIED;
        General();
        ASSERT_EQ(Checked(IDC_GENERAL_LAUNCH_ON_STARTUP), c.taskBefore);
        ModalLog modal;
        Click(IDC_GENERAL_LAUNCH_ON_STARTUP);
        *c.refusal = S_OK;
        EXPECT_EQ(service.Find(task) != nullptr, c.taskBefore);
        EXPECT_EQ(Checked(IDC_GENERAL_LAUNCH_ON_STARTUP), c.taskBefore);
        EXPECT_EQ(Stored(L"LaunchOnStartup"), c.taskBefore ? 1 : 0);
        ASSERT_EQ(modal.asked.size(), 1u);
        EXPECT_EQ(modal.asked[0].text, config::LoadText(IDS_LOGON_TASK_FAILED));
    }
}

TEST_F(PagesTest, TheGeneralPageIsAHomeButtonAndItsBackButtonLeadsToTheSettingsPage) {
    CGeneralSettingsDlg& page = General();
    IHomePageButton& button = page;
    EXPECT_EQ(button.GetButtonName(), config::LoadText(IDS_NAME_GENERAL_SETTINGS));
    EXPECT_EQ(button.GetButtonImage(), L"images/buttons and headers/button_generalsettings.png");
    EXPECT_EQ(button.GetButtonImageOver(), button.GetButtonImage());
    EXPECT_EQ(button.GetButtonTooltip(), config::LoadText(IDS_TIP_GENERAL_SETTINGS));
    button.OnButtonClick();
    EXPECT_EQ(showClicks, 1);
    const RECT back = page.BackButtonRect();
    const LPARAM at = MAKELPARAM((back.left + back.right) / 2, (back.top + back.bottom) / 2);
    ::SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(page, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(backClicks, 1);
}

TEST_F(PagesTest, TheSettingsPageCentresItsTwoButtonsAndTheyShowTheirPages) {
    int general = 0, schedule = 0;
    settings = std::make_unique<CSettingsPage>(
        host, CSettingsPage::Navigation{[&] { ++general; }, [&] { ++schedule; }});
    ASSERT_TRUE(settings->CreatePage());
    EXPECT_TRUE(settings->HeaderLoaded());
    Place(*settings);
    const int w = settings->ClientRect().right;
    struct Expected {
        UINT id;
        int left;
    };
    for (const Expected& e : {Expected{IDC_SETTINGS_GENERAL, (w - 340) / 2}, Expected{IDC_SETTINGS_SCHEDULE, (w - 340) / 2 + 185}}) {
        HWND button = ::GetDlgItem(*settings, static_cast<int>(e.id));
        RECT r{};
        ::GetWindowRect(button, &r);
        ::MapWindowPoints(nullptr, *settings, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, e.left) << e.id;
        EXPECT_EQ(r.top, 147) << e.id;
        EXPECT_EQ(r.right - r.left, 165) << e.id;
        EXPECT_EQ(r.bottom - r.top, 94) << e.id;
    }
    EXPECT_TRUE(settings->GeneralButton().HasIcon());
    EXPECT_EQ(settings->GeneralButton().GetWindowText(), config::LoadText(IDS_NAME_GENERAL_SETTINGS));
    EXPECT_EQ(settings->ScheduleButton().GetWindowText(), config::LoadText(IDS_NAME_SCHEDULE));
    ::SendMessageW(*settings, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_GENERAL, BN_CLICKED), 0);
    ::SendMessageW(*settings, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_SCHEDULE, BN_CLICKED), 0);
    EXPECT_EQ(general, 1);
    EXPECT_EQ(schedule, 1);
    // Layout follows the width.
    ::MoveWindow(*settings, 0, 0, 1200, 600, TRUE);
    RECT r{};
    ::GetWindowRect(settings->GeneralButton(), &r);
    ::MapWindowPoints(nullptr, *settings, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, (1200 - 340) / 2);
}

}  // namespace
}  // namespace zyr::settingspages
