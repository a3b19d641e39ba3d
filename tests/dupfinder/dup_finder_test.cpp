// The duplicate finder's pages in the main window under Wine: start, progress and results on a
// real folder with known duplicate sets, the real scanner, the shell's Recycle Bin and moves.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <atomic>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <random>
#include <cstring>
#include <set>

#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "confirmation_answerer.h"
#include "duplicates/win32/scan_settings.h"
#include "framework/ModalSeam.h"
#include "resources/ids/duplicates_ids.h"
#include "skin/ProfileLink.h"
#include "tests/mainframe/FrameFixture.h"
#include "ui_test_support.h"

namespace fs = std::filesystem;

namespace {


std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

bool OnDisk(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A folder with known sets: three pictures, two songs, two documents, two files of no kind,
// and files that only share a size or a first block with others.
struct KnownFolder {
    fs::path root;
    std::vector<std::vector<std::wstring>> sets;

    explicit KnownFolder(const std::string& name, int extraFiles = 0) {
        root = fs::temp_directory_path() / ("zyr-finder-" + name);
        std::error_code ec;
        fs::remove_all(root, ec);
        fs::create_directories(root / "sub" / "deeper");
        Set({"photo.jpg", "photo copy.jpg", "sub/photo.jpg"}, std::string(3000, 'p'));
        Set({"song.mp3", "sub/deeper/song.mp3"}, std::string(5000, 's') + "tail");
        Set({"letter.txt", "sub/letter (2).txt"}, "Dear reader, this letter exists twice.");
        Set({"data.bin", "sub/data.bin"}, std::string(2048, '\x01'));
        // Same size as the pictures, other content; same first kilobyte, other end.
        Write("same-size.jpg", std::string(3000, 'q'));
        Write("same-start.jpg", std::string(2999, 'p') + "x");
        Write("unique.doc", "only once");
        for (int i = 0; i < extraFiles; ++i) Write("many/file" + std::to_string(i) + ".dat", "file number " + std::to_string(i));
    }
    ~KnownFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void Write(const std::string& relative, const std::string& content) {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << content;
    }
    void Set(std::initializer_list<const char*> names, const std::string& content) {
        std::vector<std::wstring> set;
        for (const char* name : names) {
            Write(name, content);
            set.push_back(Lower((root / name).make_preferred().wstring()));
        }
        sets.push_back(set);
    }
    std::wstring Folder() const { return root.wstring(); }
    // Every set keeps at least one copy on disk.
    ::testing::AssertionResult EverySetHasACopy() const {
        for (const auto& set : sets) {
            int present = 0;
            for (const auto& file : set) present += OnDisk(file);
            if (present == 0) return ::testing::AssertionFailure() << "no copy left of " << fs::path(set[0]).string();
        }
        return ::testing::AssertionSuccess();
    }
};

// Wine's file name on the Unix side, as its Recycle Bin records it ("%20" for a space).
std::string TrashRecordPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(path.c_str());
    if (!unix) return {};
    std::string escaped;
    for (const char* c = unix; *c; ++c) escaped += *c == ' ' ? std::string("%20") : std::string(1, *c);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return escaped;
}

// The "Path=" lines of Wine's Recycle Bin (the desktop's trash folder); empty when it has none.
std::multiset<std::string> TrashRecords() {
    std::multiset<std::string> paths;
    // Wine names the Unix home folder "\??\Z:\root"; the trash is in its ".local/share".
    const char* home = getenv("WINEHOMEDIR");
    if (!home || strncmp(home, "\\??\\", 4) != 0) return paths;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(std::string(home + 4) + "\\.local\\share\\Trash\\info", ec)) {
        std::ifstream info(entry.path());
        for (std::string line; std::getline(info, line);)
            if (line.rfind("Path=", 0) == 0) paths.insert(line.substr(5));
    }
    return paths;
}

// Answers message boxes and folder pickers without windows and remembers the texts asked.
struct Answers {
    std::wstring folder;
    std::vector<std::wstring> texts;
    ScopedModalAnswerer scope{[this](const ModalRequest& request) {
        if (request.kind == ModalKind::FolderPicker) return ModalAnswer{0, folder};
        texts.push_back(request.text);
        return ModalAnswer{IDNO, L""};
    }};
};

class DupFinderTest : public FrameFixture {
protected:
    CDupFinderPage& Finder() { return frame->dupFinderPage; }
    CDupResultsCore& List() { return Finder().ResultsPage().List().Core(); }
    void Command(CWnd& page, UINT id) { ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Enabled(CWnd& page, UINT id) { return ::IsWindowEnabled(::GetDlgItem(page, static_cast<int>(id))) != FALSE; }
    // From the disk page's button to the results page of a scan of `folder`.
    void ScanToResults(const std::wstring& folder) {
        ::SendMessageW(frame->diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_DUPLICATES, BN_CLICKED), 0);
        answers.folder = folder;
        Command(Finder().StartPage(), IDC_DUP_BROWSE);
        Command(Finder().StartPage(), IDC_DUP_START);
        Pump(30000, [&] { return Finder().CurrentChild() == &Finder().ResultsPage(); });
        ASSERT_EQ(Finder().CurrentChild(), &Finder().ResultsPage());
        Pump(30);  // the list's change messages reach the page
    }
    // The list's client point of item `index` of the set whose first file is `first`.
    POINT ItemPoint(const std::wstring& first, int index, int x) {
        const RowRect area = List().ScrolledRect();
        int top = area.top;
        for (const auto& group : List().groups) {
            if (group->itemCount == 0) continue;
            int rtop = top + kGroupHeadingHeight;
            for (const auto& root : group->roots) {
                if (root->items.empty()) continue;
                if (root->items[0]->text == first) return POINT{x, rtop + kRootHeaderHeight * (index + 1) + 5};
                rtop += root->GetHeight() + 1;
            }
            top += group->GetHeight() + 1;
        }
        return POINT{-1, -1};
    }
    // The files of a known set in the order the list shows them (the scanner's order).
    std::vector<std::wstring> Listed(const std::vector<std::wstring>& set) {
        for (const auto& group : List().groups)
            for (const auto& root : group->roots)
                for (const auto& item : root->items)
                    if (std::find(set.begin(), set.end(), item->text) != set.end()) {
                        std::vector<std::wstring> order;
                        for (const auto& file : root->items) order.push_back(file->text);
                        return order;
                    }
        return {};
    }
    CRLIRoot* RootOf(const std::wstring& first) {
        for (const auto& group : List().groups)
            for (const auto& root : group->roots)
                if (!root->items.empty() && root->items[0]->text == first) return root.get();
        return nullptr;
    }
    void ClickList(POINT p) {
        ::SendMessageW(Finder().ResultsPage().List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        Pump(20);
    }
    std::set<std::wstring> ListedFiles() {
        std::set<std::wstring> files;
        for (const auto& group : List().groups)
            for (const auto& root : group->roots)
                for (const auto& item : root->items) files.insert(item->text);
        return files;
    }

    Answers answers;
};

TEST_F(DupFinderTest, StartProgressAndResultsEndToEnd) {
    KnownFolder folder("end-to-end");
    CMainFrame& f = Open();
    ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_DUPLICATES, BN_CLICKED), 0);
    EXPECT_TRUE(Finder().IsVisible());
    EXPECT_EQ(f.SelectedTab(), 1);
    EXPECT_EQ(Finder().CurrentChild(), &Finder().StartPage());
    // No folder stored yet: nothing to start.
    EXPECT_FALSE(Enabled(Finder().StartPage(), IDC_DUP_START));

    answers.folder = folder.Folder();
    Command(Finder().StartPage(), IDC_DUP_BROWSE);
    EXPECT_TRUE(Enabled(Finder().StartPage(), IDC_DUP_START));
    wchar_t shown[MAX_PATH] = {};
    ::GetDlgItemTextW(Finder().StartPage(), IDC_DUP_FOLDER, shown, MAX_PATH);
    EXPECT_EQ(std::wstring(shown), folder.Folder());

    Command(Finder().StartPage(), IDC_DUP_START);
    EXPECT_EQ(Finder().CurrentChild(), &Finder().ProgPage());
    EXPECT_TRUE(Finder().ProgPage().IsVisible());
    EXPECT_EQ(f.busy, 1);
    EXPECT_FALSE(f.TabsEnabled());
    Pump(30000, [&] { return Finder().CurrentChild() == &Finder().ResultsPage(); });
    ASSERT_EQ(Finder().CurrentChild(), &Finder().ResultsPage());
    // Navigation stays off and the frame busy while the results are shown.
    EXPECT_EQ(f.busy, 1);
    EXPECT_FALSE(f.TabsEnabled());

    // Exactly the known sets, each in its kind's group, each file unchecked.
    std::set<std::wstring> expected;
    for (const auto& set : folder.sets) expected.insert(set.begin(), set.end());
    EXPECT_EQ(ListedFiles(), expected);
    EXPECT_EQ(List().GroupFor(CategoryImage)->itemCount, 3);
    EXPECT_EQ(List().GroupFor(CategoryAudio)->itemCount, 2);
    EXPECT_EQ(List().GroupFor(CategoryDocument)->itemCount, 2);
    EXPECT_EQ(List().GroupFor(CategoryOther)->itemCount, 2);
    // The progress page shows the final count of files found.
    wchar_t text[256] = {};
    ::GetDlgItemTextW(Finder().ProgPage(), IDC_DUP_FOUND, text, 256);
    wchar_t found[256] = {};
    _snwprintf(found, 255, ShellText(308).c_str(), 12);
    EXPECT_EQ(std::wstring(text), found);
    EXPECT_EQ(::SendDlgItemMessageW(Finder().ProgPage(), IDC_DUP_PROGRESS, PBM_GETPOS, 0, 0), 100);
    EXPECT_FALSE(Enabled(Finder().ResultsPage(), IDC_DUP_DELETE));
    EXPECT_FALSE(Enabled(Finder().ResultsPage(), IDC_DUP_MOVE));

    // Back: the disk page, navigation on, not busy; the finder again starts from the start page
    // with the folder remembered and an empty results list.
    Command(Finder().ResultsPage(), IDC_DUP_BACK);
    EXPECT_TRUE(f.diskPage.IsVisible());
    EXPECT_EQ(f.busy, 0);
    EXPECT_TRUE(f.TabsEnabled());
    f.DupFinderButton().OnButtonClick();
    EXPECT_EQ(Finder().CurrentChild(), &Finder().StartPage());
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_TRUE(Enabled(Finder().StartPage(), IDC_DUP_START));
}

TEST_F(DupFinderTest, CheckingTheLastUncheckedCopyIsRefused) {
    KnownFolder folder("last-copy");
    Open();
    ScanToResults(folder.Folder());
    const auto songs = Listed(folder.sets[1]);
    ASSERT_EQ(songs.size(), 2u);
    ClickList(ItemPoint(songs[0], 0, 36));
    EXPECT_TRUE(Enabled(Finder().ResultsPage(), IDC_DUP_DELETE));
    ClickList(ItemPoint(songs[0], 1, 36));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], ShellText(166));
    CRLIRoot* root = RootOf(songs[0]);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->items[0]->checked, 1);
    EXPECT_EQ(root->items[1]->checked, 0);
}

TEST_F(DupFinderTest, SelectAllButFirstThenRecycleSendsExactlyTheCheckedCopies) {
    KnownFolder folder("recycle");
    Open();
    ScanToResults(folder.Folder());
    Command(Finder().ResultsPage(), IDC_DUP_SELECT_BUT_FIRST);
    Pump(30);
    ASSERT_TRUE(Enabled(Finder().ResultsPage(), IDC_DUP_DELETE));
    std::vector<std::vector<std::wstring>> listed;
    for (const auto& set : folder.sets) listed.push_back(Listed(set));
    std::atomic<int> answer{IDNO};
    {
        // Declining the shell's confirmation leaves every row in place and checked.
        ConfirmationAnswerer no(answer);
        Command(Finder().ResultsPage(), IDC_DUP_DELETE);
        for (const auto& set : folder.sets)
            for (const auto& file : set) EXPECT_TRUE(OnDisk(file));
        EXPECT_EQ(List().GetItemCount(), 9);
        std::vector<const void*> checked;
        List().GetCheckedItems(checked);
        EXPECT_EQ(checked.size(), 5u);
        EXPECT_TRUE(Enabled(Finder().ResultsPage(), IDC_DUP_DELETE));
        if (no.Answered() == 0) GTEST_SKIP() << "this shell recycled without asking";
    }
    std::vector<std::string> records;
    for (const auto& set : listed)
        for (size_t i = 1; i < set.size(); ++i) records.push_back(TrashRecordPath(set[i]));
    const std::multiset<std::string> before = TrashRecords();
    answer = IDYES;
    ConfirmationAnswerer yes(answer);
    Command(Finder().ResultsPage(), IDC_DUP_DELETE);
    // The recycled copies are in Wine's Recycle Bin, one new record each, not simply gone.
    // (Other programs may recycle their own files meanwhile: only these paths are counted.)
    const std::multiset<std::string> after = TrashRecords();
    ASSERT_FALSE(after.empty()) << "Wine's Recycle Bin was not found";
    for (const auto& record : records) EXPECT_EQ(after.count(record), before.count(record) + 1) << record;
    for (const auto& set : listed) {
        ASSERT_FALSE(set.empty());
        EXPECT_TRUE(OnDisk(set[0]));
        for (size_t i = 1; i < set.size(); ++i) EXPECT_FALSE(OnDisk(set[i])) << fs::path(set[i]).string();
    }
    EXPECT_TRUE(OnDisk((folder.root / "same-size.jpg").wstring()));
    // Every set is down to one file, so none is left in the list.
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(Enabled(Finder().ResultsPage(), IDC_DUP_DELETE));
}

TEST_F(DupFinderTest, MovingOntoASameNamedFileKeepsBothAndRemovingASetDeletesNothing) {
    KnownFolder folder("move");
    const fs::path target = fs::temp_directory_path() / "zyr-finder-move-target";
    std::error_code ec;
    fs::remove_all(target, ec);
    fs::create_directories(target);
    std::ofstream(target / "photo.jpg") << "a different picture";
    Open();
    ScanToResults(folder.Folder());
    const auto photos = Listed(folder.sets[0]);
    ASSERT_EQ(photos.size(), 3u);
    // Check sub\photo.jpg, whose name the target already holds.
    const std::wstring moved = folder.sets[0][2];
    const int index = static_cast<int>(std::find(photos.begin(), photos.end(), moved) - photos.begin());
    ClickList(ItemPoint(photos[0], index, 36));
    answers.folder = target.wstring();
    std::atomic<int> answer{IDYES};
    ConfirmationAnswerer yes(answer);
    Command(Finder().ResultsPage(), IDC_DUP_MOVE);
    EXPECT_FALSE(OnDisk(moved));
    int inTarget = 0;
    for (const auto& entry : fs::directory_iterator(target)) (void)entry, ++inTarget;
    EXPECT_EQ(inTarget, 2);
    std::ifstream kept(target / "photo.jpg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "a different picture");
    EXPECT_EQ(zyr::dup::ReadDuplicateScanOptions().moveFolder, target.wstring());
    // The set of pictures now holds two files.
    EXPECT_EQ(Listed(folder.sets[0]).size(), 2u);

    // Dropping the songs from the list through their header link deletes nothing.
    const auto songs = Listed(folder.sets[1]);
    ASSERT_EQ(songs.size(), 2u);
    CRLIRoot* root = RootOf(songs[0]);
    ASSERT_NE(root, nullptr);
    const RowRect area = List().ScrolledRect();
    POINT header = ItemPoint(songs[0], 0, 0);
    header.y -= kRootHeaderHeight;
    const RowRect link = static_cast<CDupRoot*>(root)->RemoveRect(RowRect{area.left, header.y - 5, List().Host().ClientWidth(), header.y + 21});
    ClickList(POINT{(link.left + link.right) / 2, header.y});
    EXPECT_EQ(RootOf(songs[0]), nullptr);
    for (const auto& file : songs) EXPECT_TRUE(OnDisk(file));
    fs::remove_all(target, ec);
}

TEST_F(DupFinderTest, StoppingAtOnceShowsAnEmptyResultsPage) {
    KnownFolder folder("stop", 400);
    CMainFrame& f = Open();
    ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_DUPLICATES, BN_CLICKED), 0);
    answers.folder = folder.Folder();
    Command(Finder().StartPage(), IDC_DUP_BROWSE);
    Command(Finder().StartPage(), IDC_DUP_START);
    Command(Finder().ProgPage(), IDC_DUP_STOP);
    // The page stays until the scanner reports its end.
    EXPECT_EQ(Finder().CurrentChild(), &Finder().ProgPage());
    Pump(30000, [&] { return Finder().CurrentChild() == &Finder().ResultsPage(); });
    ASSERT_EQ(Finder().CurrentChild(), &Finder().ResultsPage());
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(f.busy, 1);
}

TEST_F(DupFinderTest, StartPageOptionsAreReadCheckedAndStored) {
    // A stored folder that no longer exists counts as none; the kinds keep their saved values.
    WriteProfileStringValue(L"", L"DUPLICATE_FOLDER", L"C:\\no\\such\\folder");
    WriteProfileIntValue(L"", L"DUPLICATE_SCAN_AUDIO", 0);
    WriteProfileIntValue(L"", L"DUPLICATE_SCAN_FOLDERS", 0);
    KnownFolder folder("options");
    CMainFrame& f = Open();
    CDupStartPage& start = Finder().StartPage();
    EXPECT_TRUE(start.folder.empty());
    EXPECT_FALSE(Enabled(start, IDC_DUP_START));
    EXPECT_EQ(::IsDlgButtonChecked(start, IDC_DUP_ALL_FILES), BST_CHECKED);
    for (UINT id : {IDC_DUP_IMAGES, IDC_DUP_AUDIO, IDC_DUP_VIDEO, IDC_DUP_DOCUMENTS}) EXPECT_FALSE(Enabled(start, id));
    EXPECT_EQ(::IsDlgButtonChecked(start, IDC_DUP_AUDIO), BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(start, IDC_DUP_IMAGES), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(start, IDC_DUP_SUBFOLDERS), BST_UNCHECKED);

    // The kinds radio is stored at once and enables the boxes; no kind at all is refused.
    ::CheckRadioButton(start, IDC_DUP_ALL_FILES, IDC_DUP_KINDS, IDC_DUP_KINDS);
    Command(start, IDC_DUP_KINDS);
    EXPECT_EQ(ProfileInt(L"", L"DUPLICATE_SCAN_RADIO", -1), 0);
    for (UINT id : {IDC_DUP_IMAGES, IDC_DUP_AUDIO, IDC_DUP_VIDEO, IDC_DUP_DOCUMENTS}) {
        EXPECT_TRUE(Enabled(start, id));
        ::CheckDlgButton(start, id, BST_UNCHECKED);
    }
    answers.folder = folder.Folder();
    Command(start, IDC_DUP_BROWSE);
    Command(start, IDC_DUP_START);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], ShellText(460));
    EXPECT_EQ(Finder().CurrentChild(), &start);
    EXPECT_EQ(f.busy, 0);

    // Only the documents, without subfolders: the one set of letters is in a subfolder.
    ::CheckDlgButton(start, IDC_DUP_DOCUMENTS, BST_CHECKED);
    Command(start, IDC_DUP_START);
    Pump(30000, [&] { return Finder().CurrentChild() == &Finder().ResultsPage(); });
    EXPECT_EQ(List().GetItemCount(), 0);
    ::CheckDlgButton(start, IDC_DUP_SUBFOLDERS, BST_CHECKED);
    f.DupFinderButton().OnButtonClick();
    Command(start, IDC_DUP_START);
    Pump(30000, [&] { return Finder().CurrentChild() == &Finder().ResultsPage(); });
    EXPECT_EQ(ListedFiles(), std::set<std::wstring>(folder.sets[2].begin(), folder.sets[2].end()));

    // The other choices are stored when the page goes away with the window.
    frame.reset();
    EXPECT_EQ(ProfileString(L"", L"DUPLICATE_FOLDER"), folder.Folder());
    EXPECT_EQ(ProfileInt(L"", L"DUPLICATE_SCAN_FOLDERS", -1), 1);
    EXPECT_EQ(ProfileInt(L"", L"DUPLICATE_SCAN_DOCS", -1), 1);
    EXPECT_EQ(ProfileInt(L"", L"DUPLICATE_SCAN_IMAGE", -1), 0);
}

TEST_F(DupFinderTest, ClosingWhileScanningEndsTheScanAndGivesTheTabsBack) {
    KnownFolder folder("close", 400);
    CMainFrame& f = Open();
    ::SendMessageW(f.diskPage, WM_COMMAND, MAKEWPARAM(IDC_DISK_DUPLICATES, BN_CLICKED), 0);
    answers.folder = folder.Folder();
    Command(Finder().StartPage(), IDC_DUP_BROWSE);
    Command(Finder().StartPage(), IDC_DUP_START);
    ASSERT_EQ(f.busy, 1);
    // Yes to the busy question, then the exit question is dismissed: the window stays, on the
    // home page, with working tabs and no scan.
    ScopedModalAnswerer yesThenNothing([n = 0](const ModalRequest&) mutable { return ModalAnswer{n++ == 0 ? IDYES : -1, L""}; });
    ::SendMessageW(f, WM_CLOSE, 0, 0);
    EXPECT_TRUE(f.IsWindow());
    EXPECT_FALSE(Finder().ScanRunning());
    EXPECT_EQ(f.busy, 0);
    EXPECT_TRUE(f.TabsEnabled());
    EXPECT_TRUE(f.homePage.IsVisible());
    Pump(200);
    // No late results page over the start page.
    f.DupFinderButton().OnButtonClick();
    Pump(200);
    EXPECT_EQ(Finder().CurrentChild(), &Finder().StartPage());
}

TEST(DupProgressBar, PositionFromTheScannersProgress) {
    const std::pair<double, int> cases[] = {{-1.0, 0}, {0.0, 0}, {0.005, 0}, {0.5, 50}, {0.999, 99}, {1.0, 100}, {100.0, 100}};
    for (const auto& [progress, position] : cases) EXPECT_EQ(CDupProgPage::BarPosition(progress), position) << progress;
}

// Random clicks on the list and the page's buttons, with the shell confirming or declining:
// every set keeps a copy on disk, and the list shows exactly the files still there.
TEST_F(DupFinderTest, RandomClicksThroughThePageNeverLoseTheLastCopy) {
    KnownFolder folder("random");
    const fs::path target = fs::temp_directory_path() / "zyr-finder-random-target";
    std::error_code ec;
    fs::remove_all(target, ec);
    fs::create_directories(target);
    Open();
    ScanToResults(folder.Folder());
    answers.folder = target.wstring();
    std::mt19937 random(1932);
    std::atomic<int> answer{IDYES};
    ConfirmationAnswerer answerer(answer);
    CDupResultsPage& page = Finder().ResultsPage();
    for (int step = 0; step < 80 && List().GetItemCount() > 0; ++step) {
        answer = random() % 4 == 0 ? IDNO : IDYES;
        const int action = static_cast<int>(random() % 12);
        if (action == 0) Command(page, IDC_DUP_SELECT_BUT_FIRST);
        else if (action == 1) Command(page, IDC_DUP_DELETE);
        else if (action == 2) Command(page, IDC_DUP_MOVE);
        else {
            // Check boxes, recycle links and plain row text; never the open link.
            const int xs[] = {36, 36, List().GetColumnWidth(0) + 8, 120};
            ClickList(POINT{xs[random() % 4], static_cast<int>(random() % List().Host().ClientHeight())});
        }
        Pump(10);
        ASSERT_TRUE(folder.EverySetHasACopy()) << "step " << step;
        for (const auto& file : ListedFiles()) ASSERT_TRUE(OnDisk(file)) << "step " << step;
        for (const auto& group : List().groups)
            for (const auto& root : group->roots)
                if (!root->items.empty()) ASSERT_LT(root->checkedCount, static_cast<int>(root->items.size()));
    }
    // The sequence really acted on files.
    EXPECT_LT(ListedFiles().size(), 9u);
    fs::remove_all(target, ec);
}

}  // namespace
