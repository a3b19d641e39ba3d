// CRestorePage driven in-process by messages, over a double of the restore module that
// behaves as Windows does, with the modal-UI door answering the message boxes.
#include "restore/RestorePage.h"

#include "app/ProductConfiguration.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "framework/Wnd.h"
#include "skin/MemDC.h"
#include "skin/Skin.h"
#include "tests/skin/SkinnedHost.h"
#include "resources/ids/restore_ids.h"
#include "restore/RestoreTexts.h"
#include "restore/SystemRestart.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

namespace zyr::restore {
namespace {

std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

// The application object of the test process: resources from the built MyResources.dll.
class TestApp : public fw::CWinAppBase {
public:
    bool InitInstance() override { return false; }
};

class ResourcesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const std::wstring dist = WindowsPath(ZYR_DIST_DIR);
        module_ = LoadLibraryExW((dist + L"\\MyResources.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
        SetResourceInstance(module_);
        config::LoadProductConfiguration(dist);
        app_.SetAppTitle(config::AppName());
    }

private:
    TestApp app_;
    HMODULE module_ = nullptr;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ResourcesEnvironment);

// System Restore as Windows behaves: points listed in creation order; a new point gets the
// next sequence number and shows up in the listing a little later.
struct FakeSystemRestore : ISystemRestoreModule {
    struct State {
        RestorePointList points;
        RestorePointList pending;          // created, not yet listed
        int listingsBeforeNewPointShows = 0;
        bool newPointNeverShows = false;
        bool createFails = false;
        bool restoreAccepted = true;
        std::set<uint32_t> undeletable;
        uint32_t nextSequence = 50;
        int listings = 0;
        std::vector<uint32_t> deleted, restored;
    };
    explicit FakeSystemRestore(State& state) : s(state) {}

    int ListRestorePoints(RestorePointList& out) override {
        ++s.listings;
        if (!s.pending.empty() && !s.newPointNeverShows && s.listingsBeforeNewPointShows-- <= 0) {
            s.points.insert(s.points.end(), s.pending.begin(), s.pending.end());
            s.pending.clear();
        }
        out = s.points;
        return 1;
    }
    int DeleteRestorePoint(uint32_t sequence) override {
        auto it = std::find_if(s.points.begin(), s.points.end(), [&](auto& p) { return p.sequenceNumber == sequence; });
        if (it == s.points.end() || s.undeletable.count(sequence)) return 0;
        s.points.erase(it);
        s.deleted.push_back(sequence);
        return 1;
    }
    int RestoreSystem(uint32_t sequence) override {
        s.restored.push_back(sequence);
        return s.restoreAccepted ? 1 : 0;
    }
    int CreateRestorePoint(const std::wstring& description, RestorePointRecord* created) override {
        if (s.createFails) return 0;
        RestorePointRecord point{description, s.nextSequence++, L"12/9/2026 11:59:00 PM", 12, 101};
        s.pending.push_back(point);
        if (created) *created = RestorePointRecord{description, point.sequenceNumber, L"", 12, 101};
        return 1;
    }
    State& s;
};


struct Row {
    std::wstring date, description, type;
    uint32_t sequence;
};

class RestorePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        answerer = std::make_unique<ScopedModalAnswerer>([this](const ModalRequest& request) {
            asked.push_back(request);
            int answer = IDOK;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            return ModalAnswer{answer, L""};
        });
        ASSERT_TRUE(host.CreateEx(0, L"STATIC", L"Zyr Disk Care", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  RECT{40, 40, 860, 600}, nullptr, 0));
        frame = host.GetSafeHwnd();
    }
    void TearDown() override {
        page.reset();
        host.DestroyWindow();
        answerer.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }

    // Creates the page over the double and shows it filling the frame, as the main frame does.
    void Open() {
        page = std::make_unique<CRestorePage>(frame, std::make_unique<FakeSystemRestore>(system));
        page->SetRestarter([this] {
            ++restarts;
            return restartWorks;
        });
        page->SetNewPointWaitLimit(300);
        ASSERT_TRUE(page->CreatePage());
        RECT client;
        GetClientRect(frame, &client);
        SetWindowPos(Page(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
        ShowWindow(Page(), SW_SHOW);
        Pump();
    }
    HWND Page() const { return page->GetSafeHwnd(); }
    HWND Item(int id) const { return GetDlgItem(Page(), id); }
    HWND List() const { return Item(IDC_RESTORE_LIST); }

    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
            PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    void Click(int id) { SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id))); }
    void Select(int row) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    std::wstring Text(int row, int column) const {
        wchar_t buffer[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        const int count = static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LVITEMW item{};
            item.mask = LVIF_PARAM;
            item.iItem = i;
            SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            rows.push_back({Text(i, 0), Text(i, 1), Text(i, 2), static_cast<uint32_t>(item.lParam)});
        }
        return rows;
    }
    std::vector<uint32_t> Sequences() const {
        std::vector<uint32_t> sequences;
        for (const Row& row : Rows()) sequences.push_back(row.sequence);
        return sequences;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // The texts of the message boxes shown so far, with their flags.
    void ExpectAsked(std::vector<std::pair<UINT, UINT>> expected) {
        ASSERT_EQ(asked.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(asked[i].text, config::LoadText(expected[i].first)) << "message " << i;
            EXPECT_EQ(asked[i].style, expected[i].second) << "message " << i;
            EXPECT_EQ(asked[i].caption, L"Zyr Disk Care");
        }
    }
    bool QuitPosted(WPARAM& code) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
        code = msg.wParam;
        return true;
    }
    void ThreePoints() {
        system.points = {{L"Windows Update", 3, L"3/1/2009 10:00:00 AM", 18, 101},
                         {L"Installed Paint Studio", 4, L"3/8/2009 9:12:05 PM", 0, 101},
                         {L"Manual point", 7, L"3/14/2009 4:26:40 PM", 16, 101}};
        system.nextSequence = 8;
    }

    FakeSystemRestore::State system;
    std::unique_ptr<CRestorePage> page;
    HWND frame = nullptr;
    CSkinnedHost host;
    std::unique_ptr<ScopedModalAnswerer> answerer;
    std::vector<ModalRequest> asked;
    std::deque<int> answers;
    int restarts = 0;
    bool restartWorks = false;
};

TEST_F(RestorePageTest, AnEmptyListKeepsDeleteAndRestoreDisabled) {
    Open();
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE(Enabled(IDC_RESTORE_DELETE));
    EXPECT_FALSE(Enabled(IDC_RESTORE_RESTORE));
    EXPECT_TRUE(Enabled(IDC_RESTORE_CREATE));
    EXPECT_GT(system.listings, 0);
    // Skinned: a header, and the three buttons drawn by the page's glass buttons.
    EXPECT_TRUE(page->HasHeader());
    for (int id : {IDC_RESTORE_CREATE, IDC_RESTORE_DELETE, IDC_RESTORE_RESTORE})
        EXPECT_EQ(GetWindowLongPtrW(Item(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
    // Three left-aligned columns with their titles, wide enough to read even when empty.
    HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        wchar_t title[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = title;
        column.cchTextMax = 64;
        SendMessageW(List(), LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        EXPECT_EQ(title, config::LoadText(IDS_RESTORE_COLUMN_DATE + i));
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        EXPECT_GE(SendMessageW(List(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0), 40);
    }
    const DWORD styles = static_cast<DWORD>(SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(styles & 0x10021u, 0x10021u);
}

TEST_F(RestorePageTest, ListsNewestFirstWithTypeTextsAndAnEmptyColumnForUnknownTypes) {
    const uint32_t types[] = {0, 1, 6, 7, 10, 12, 14, 16, 18, 2, 13, 99};
    uint32_t sequence = 1;
    for (uint32_t type : types)
        system.points.push_back({L"point " + std::to_wstring(type), sequence++, L"date " + std::to_wstring(type), type, 101});
    Open();
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), std::size(types));
    for (size_t i = 0; i < rows.size(); ++i) {
        const RestorePointRecord& point = system.points[rows.size() - 1 - i];
        EXPECT_EQ(rows[i].sequence, point.sequenceNumber);
        EXPECT_EQ(rows[i].date, point.dateText);
        EXPECT_EQ(rows[i].description, point.description);
        const unsigned textId = TypeTextId(point.restorePointType);
        EXPECT_EQ(rows[i].type, textId ? config::LoadText(textId) : L"") << point.restorePointType;
    }
    const std::pair<uint32_t, unsigned> known[] = {{0, 329}, {1, 330}, {6, 331}, {7, 332}, {10, 333},
                                                   {12, 334}, {14, 335}, {16, 336}, {18, 337}};
    for (auto [type, text] : known) EXPECT_EQ(TypeTextId(type), text) << type;
    for (uint32_t type : {2u, 3u, 8u, 13u, 17u, 19u, 0xffffffffu}) EXPECT_EQ(TypeTextId(type), 0u) << type;
}

TEST_F(RestorePageTest, SelectingARowEnablesDeleteAndRestore) {
    ThreePoints();
    Open();
    Select(1);
    EXPECT_TRUE(Enabled(IDC_RESTORE_DELETE));
    EXPECT_TRUE(Enabled(IDC_RESTORE_RESTORE));
    Select(1 - 2);  // -1: every row
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    EXPECT_FALSE(Enabled(IDC_RESTORE_DELETE));
    EXPECT_FALSE(Enabled(IDC_RESTORE_RESTORE));
}

TEST_F(RestorePageTest, WithoutASelectionDeleteAndRestoreAskForOne) {
    ThreePoints();
    Open();
    Click(IDC_RESTORE_DELETE);
    Click(IDC_RESTORE_RESTORE);
    ExpectAsked({{IDS_RESTORE_SELECT_TO_DELETE, MB_OK}, {IDS_RESTORE_SELECT_TO_RESTORE, MB_OK}});
    EXPECT_TRUE(system.deleted.empty());
    EXPECT_TRUE(system.restored.empty());
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(RestorePageTest, AnsweringNoChangesNothing) {
    ThreePoints();
    Open();
    Select(0);
    answers = {IDNO, IDNO};
    Click(IDC_RESTORE_DELETE);
    Click(IDC_RESTORE_RESTORE);
    ExpectAsked({{IDS_RESTORE_CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION},
                 {IDS_RESTORE_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION}});
    EXPECT_TRUE(system.deleted.empty());
    EXPECT_TRUE(system.restored.empty());
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(Sequences(), (std::vector<uint32_t>{7, 4, 3}));
}

TEST_F(RestorePageTest, DeletingRemovesTheSelectedPointAndARefusalKeepsIt) {
    ThreePoints();
    system.undeletable = {3};
    Open();
    Select(1);  // sequence 4
    answers = {IDYES};
    Click(IDC_RESTORE_DELETE);
    EXPECT_EQ(system.deleted, (std::vector<uint32_t>{4}));
    EXPECT_EQ(Sequences(), (std::vector<uint32_t>{7, 3}));
    EXPECT_FALSE(Enabled(IDC_RESTORE_DELETE));  // the selection went with the row

    Select(1);  // sequence 3, which Windows will not delete
    answers = {IDYES};
    Click(IDC_RESTORE_DELETE);
    ExpectAsked({{IDS_RESTORE_CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION},
                 {IDS_RESTORE_CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION},
                 {IDS_RESTORE_DELETE_FAILED, MB_OK | MB_ICONERROR}});
    EXPECT_EQ(Sequences(), (std::vector<uint32_t>{7, 3}));
}

TEST_F(RestorePageTest, ACreatedPointIsTheFirstRowOnceWindowsListsIt) {
    ThreePoints();
    system.listingsBeforeNewPointShows = 3;  // Windows lists the new point a little later
    Open();
    const int listingsBefore = system.listings;
    Click(IDC_RESTORE_CREATE);
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].sequence, 8u);
    EXPECT_EQ(rows[0].description, L"Restore point created by Zyr Disk Care");
    EXPECT_EQ(rows[0].type, config::LoadText(IDS_RESTORE_TYPE_MODIFY_SETTINGS));
    EXPECT_GE(system.listings - listingsBefore, 4);
    ExpectAsked({{IDS_RESTORE_CREATED, MB_OK | MB_ICONINFORMATION}});
}

TEST_F(RestorePageTest, ANewPointThatWindowsNeverListsEndsTheWaitAndSaysSo) {
    ThreePoints();
    system.newPointNeverShows = true;
    Open();
    const DWORD start = GetTickCount();
    Click(IDC_RESTORE_CREATE);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 5000u);
    EXPECT_EQ(Sequences(), (std::vector<uint32_t>{7, 4, 3}));
    ExpectAsked({{IDS_RESTORE_NEW_POINT_NOT_LISTED, MB_OK | MB_ICONINFORMATION}});
}

TEST_F(RestorePageTest, AFailedCreationExplainsItForThisWindowsVersion) {
    system.createFails = true;
    Open();
    Click(IDC_RESTORE_CREATE);
    OSVERSIONINFOW version{sizeof(version)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    ExpectAsked({{CreationFailedTextId(version.dwMajorVersion, version.dwMinorVersion), MB_OK}});
    EXPECT_TRUE(Rows().empty());

    struct Case {
        unsigned major, minor, text;
    } cases[] = {{4, 0, 1132}, {5, 1, 1132}, {5, 2, 1132}, {6, 0, 1133}, {6, 1, 1134}, {6, 3, 1134}, {10, 0, 1134}};
    for (const Case& c : cases) EXPECT_EQ(CreationFailedTextId(c.major, c.minor), c.text) << c.major << "." << c.minor;
}

TEST_F(RestorePageTest, ARefusedRestoreSays327AndDoesNotRestart) {
    ThreePoints();
    system.restoreAccepted = false;
    Open();
    Select(2);  // sequence 3
    answers = {IDYES};
    Click(IDC_RESTORE_RESTORE);
    EXPECT_EQ(system.restored, (std::vector<uint32_t>{3}));
    EXPECT_EQ(restarts, 0);
    ExpectAsked({{IDS_RESTORE_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION},
                 {IDS_RESTORE_RESTORE_FAILED, MB_OK | MB_ICONERROR}});
    WPARAM code;
    EXPECT_FALSE(QuitPosted(code));
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(RestorePageTest, AnAcceptedRestoreWhoseRestartFailsSays1139AndKeepsRunning) {
    ThreePoints();
    restartWorks = false;
    Open();
    Select(0);  // sequence 7
    answers = {IDYES};
    Click(IDC_RESTORE_RESTORE);
    EXPECT_EQ(system.restored, (std::vector<uint32_t>{7}));
    EXPECT_EQ(restarts, 1);
    ExpectAsked({{IDS_RESTORE_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION},
                 {IDS_RESTORE_RESTART_FAILED, MB_OK | MB_ICONINFORMATION}});
    WPARAM code;
    EXPECT_FALSE(QuitPosted(code));
}

TEST_F(RestorePageTest, AnAcceptedRestoreWithARestartEndsTheProgramWithCodeOne) {
    ThreePoints();
    restartWorks = true;
    Open();
    Select(1);
    answers = {IDYES};
    Click(IDC_RESTORE_RESTORE);
    EXPECT_EQ(system.restored, (std::vector<uint32_t>{4}));
    EXPECT_EQ(restarts, 1);
    ExpectAsked({{IDS_RESTORE_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION}});
    WPARAM code = 0;
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 1u);
}

TEST_F(RestorePageTest, ShowingThePageListsAgain) {
    ThreePoints();
    Open();
    ShowWindow(Page(), SW_HIDE);
    system.points.push_back({L"Installed driver", 9, L"3/15/2009 8:00:00 AM", 10, 101});
    EXPECT_EQ(Rows().size(), 3u);
    ShowWindow(Page(), SW_SHOW);
    EXPECT_EQ(Sequences(), (std::vector<uint32_t>{9, 7, 4, 3}));
}

TEST_F(RestorePageTest, LayoutFollowsThePageSize) {
    Open();
    SetWindowPos(Page(), nullptr, 0, 0, 800, 500, SWP_NOZORDER | SWP_NOMOVE);
    auto placement = [&](int id) {
        RECT r;
        GetWindowRect(Item(id), &r);
        MapWindowPoints(nullptr, Page(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT list = placement(IDC_RESTORE_LIST);
    EXPECT_EQ(list.left, 11);
    EXPECT_EQ(list.top, 110);
    EXPECT_EQ(list.right, 789);
    EXPECT_EQ(list.bottom, 440);
    RECT restore = placement(IDC_RESTORE_RESTORE), remove = placement(IDC_RESTORE_DELETE);
    EXPECT_EQ(restore.left, 639);
    EXPECT_EQ(restore.top, 460);
    EXPECT_EQ(restore.right - restore.left, 75);
    EXPECT_EQ(restore.bottom - restore.top, 30);
    EXPECT_EQ(remove.left, 724);
    EXPECT_EQ(remove.top, 460);
    RECT create = placement(IDC_RESTORE_CREATE);
    EXPECT_EQ(create.left, 1);
    EXPECT_EQ(create.top, 460);
}

TEST_F(RestorePageTest, HomeButtonTexts) {
    Open();
    EXPECT_EQ(page->GetButtonName(), config::LoadText(IDS_RESTORE_BUTTON_NAME));
    EXPECT_EQ(page->GetButtonImage(), L"images/buttons and headers/button_restore.png");
    EXPECT_EQ(page->GetButtonImageOver(), page->GetButtonImage());
    EXPECT_EQ(page->GetButtonTooltip(), config::LoadText(IDS_RESTORE_BUTTON_TOOLTIP));
}

// A page with a few points, one selected, held on screen when ZYR_HOLD_MS asks for it
// (for a screenshot).
TEST_F(RestorePageTest, AFewPointsOnScreen) {
    ThreePoints();
    system.points.push_back({L"Installed Printer Driver", 9, L"3/15/2009 8:02:11 AM", 10, 101});
    system.points.push_back({L"Restore point created by Zyr Disk Care", 12, L"3/16/2009 6:45:30 PM", 12, 101});
    Open();
    ShowWindow(frame, SW_SHOW);  // the other cases leave the frame hidden: mapping a window is slow
    Select(1);
    SetFocus(List());
    Pump();
    EXPECT_TRUE(IsWindowVisible(List()));
    if (const char* hold = std::getenv("ZYR_HOLD_MS")) {
        const DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (GetTickCount() < until) {
            Pump();
            Sleep(20);
        }
    }
}

// The page over the real module lists what Wine's WMI lists.
TEST_F(RestorePageTest, OverTheSystemModuleListsWhatWmiLists) {
    CSystemRestoreModule system;
    RestorePointList listed;
    ASSERT_NE(system.ListRestorePoints(listed), 0);
    page = std::make_unique<CRestorePage>(frame);
    ASSERT_TRUE(page->CreatePage());
    EXPECT_EQ(Rows().size(), listed.size());
    EXPECT_FALSE(Enabled(IDC_RESTORE_DELETE));
    EXPECT_TRUE(asked.empty());
}

TEST(SystemRestart, EnablesTheRestartPrivilegesOfThisProcess) { EXPECT_TRUE(EnableRestartPrivileges()); }

}  // namespace
}  // namespace zyr::restore
