// The defrag page in-process under Wine, driven by messages: analyse, the question, the
// defragmentation, stop, pause and the scheduled run, on the image drives V: (fragmented) and
// W: (nearly full) that the calling script binds through ZYR_IMAGE_DRIVES.
#include "defragui/DefragPage.h"

#include "engine/volume_api.h"
#include "framework/ModalSeam.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/defrag_ids.h"
#include "skin/XMessageBox.h"
#include "volumes/ntfsimage/volume_router.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

using namespace zyr::defragui;

namespace {

std::wstring WindowsPath(const char* posix) {
    std::wstring path = L"Z:";
    for (const char* p = posix; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        const std::wstring library = WindowsPath(ZYR_DIST_DIR) + L"\\MyResources.dll";
        module_ = LoadLibraryW(library.c_str());
        ASSERT_TRUE(module_) << "MyResources.dll not found";
        ::SetResourceInstance(module_);
        zyr::fw::SetRegistryKey(L"Zyr Tests", L"Defrag Page");
        zyr::vol::SetVolumeApi(&zyr::vol::BindVolumesFromEnvironment());
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

private:
    HMODULE module_ = nullptr;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);

struct Host final : IDefragHost {
    HWND frame = nullptr;
    bool busy = false, tabsEnabled = true;
    HWND MainWindow() override { return frame; }
    void SetBusy(bool b) override { busy = b; }
    void EnableTabs(bool enable) override { tabsEnabled = enable; }
    void ShowTab(int) override {}
    void ShowDefragPage() override {}
    std::wstring ProductName() override { return L"Zyr Disk Care"; }
};

// The page with its worker-side calls observed.
class ObservedPage : public CDefragPage {
public:
    using CDefragPage::CDefragPage;
    std::mutex lock;
    std::vector<std::wstring> started;  // "V:0", "V:1", ... in order
    std::atomic<int> progressCalls{0};
    std::atomic<bool> stopAtFirstFile{false};
    std::atomic<bool> pauseAtStart{false};

    void OnJobStarted(int zero) override {
        CDefragPage::OnJobStarted(zero);
        {
            std::lock_guard guard(lock);
            started.push_back(CurrentJob().drive + std::to_wstring(CurrentJob().action));
        }
        if (pauseAtStart.exchange(false)) {
            ::PostMessageW(*this, WM_COMMAND, IDC_DEFRAG_PAUSE, 0);
            WaitFor([&] { return IsPaused(); });
        }
    }
    void OnProgress(const wchar_t* path, int percent, int kind, void* data) override {
        ++progressCalls;
        if (kind == zyr::engine::kProgressFileAnalyzed && stopAtFirstFile.exchange(false)) {
            ::PostMessageW(*this, WM_COMMAND, IDC_DEFRAG_STOP, 0);
            WaitFor([&] { return IsStopRequested() != 0; });
        }
        CDefragPage::OnProgress(path, percent, kind, data);
    }
    template <class F>
    static void WaitFor(F done) {
        for (int i = 0; i < 400 && !done(); ++i) Sleep(25);
    }
};

class DefragPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, zyr::fw::ProfileKeyPath().c_str());
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DefragPageTestFrame";
        RegisterClassW(&wc);
        frame = CreateWindowExW(0, wc.lpszClassName, L"Defrag page test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                900, 640, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(frame);
        host.frame = frame;
        page = std::make_unique<ObservedPage>(frame, &host);
        ASSERT_TRUE(page->CreatePage());
        RECT client{};
        GetClientRect(frame, &client);
        MoveWindow(*page, 0, 0, client.right, client.bottom, TRUE);
        ShowWindow(frame, SW_SHOW);
        ShowWindow(*page, SW_SHOW);
        Pump(std::chrono::milliseconds(100));
    }
    void TearDown() override {
        page.reset();
        if (frame) DestroyWindow(frame);
    }

    static void Pump(std::chrono::milliseconds duration) {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(10);
        }
    }
    // Pumps until the page has been working and ended its sequence.
    bool RunUntilIdle(int seconds = 240) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end) {
            Pump(std::chrono::milliseconds(50));
            if (!page->IsWorking() && !host.busy) return true;
        }
        return false;
    }
    int Row(const std::wstring& drive) {
        for (int row = 0; row < page->RowCount(); ++row)
            if (page->RowText(row, 0).find(L"(" + drive) != std::wstring::npos) return row;
        return -1;
    }
    void Select(const std::wstring& drive) {
        const int row = Row(drive);
        ASSERT_GE(row, 0) << "drive " << std::string(drive.begin(), drive.end()) << " is not listed";
        ListView_SetItemState(page->DriveList(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Pump(std::chrono::milliseconds(50));
        ASSERT_EQ(page->SelectedDrive(), drive);
    }
    int ScanCount() { return zyr::fw::GetProfileInt(L"", L"SCANCOUNT", 0); }
    int64_t FragmentedClusters() {
        std::lock_guard guard(page->ClusterMap().model().lock());
        int64_t sum = 0;
        for (const auto& cell : page->ClusterMap().model().visualCells()) sum += cell.fragmentedClusters;
        return sum;
    }

    HWND frame = nullptr;
    Host host;
    std::unique_ptr<ObservedPage> page;
};

// Every request of the modal seam, answered as a user would.
struct Answers {
    std::vector<ModalRequest> requests;
    int questionAnswer = kXmbFirstCustomButton;
    std::function<void(const ModalRequest&)> onQuestion;
    ScopedModalAnswerer scope{[this](const ModalRequest& request) {
        requests.push_back(request);
        if (request.kind == ModalKind::QuestionBox) {
            if (onQuestion) onQuestion(request);
            return ModalAnswer{questionAnswer};
        }
        return ModalAnswer{IDOK};
    }};
    int Count(ModalKind kind) const {
        int n = 0;
        for (const auto& r : requests) n += r.kind == kind;
        return n;
    }
};

TEST_F(DefragPageTest, ListsTheImageDrivesWithSizesAndFileSystem) {
    const int v = Row(L"V:"), w = Row(L"W:");
    ASSERT_GE(v, 0);
    ASSERT_GE(w, 0);
    EXPECT_EQ(page->RowText(v, 1), L"NTFS");
    EXPECT_EQ(page->RowText(v, 2), L"24.00 MB");
    EXPECT_NE(page->RowText(v, 3).find(L"%)"), std::wstring::npos);
    EXPECT_EQ(page->RowText(v, 5), L"");
    EXPECT_TRUE(page->HasEnoughFreeSpace(L"V:"));
    EXPECT_FALSE(page->HasEnoughFreeSpace(L"W:"));
}

TEST_F(DefragPageTest, RefusesADriveWithoutRoom) {
    Answers answers;
    Select(L"W:");
    SendMessageW(*page, WM_COMMAND, IDC_DEFRAG_ANALYZE, 0);
    EXPECT_FALSE(page->IsWorking());
    ASSERT_EQ(answers.requests.size(), 1u);
    EXPECT_EQ(answers.requests[0].text, ::LoadResourceString(IDS_NO_ROOM));
}

TEST_F(DefragPageTest, StopDuringAnalysisAsksNothingAndLeavesTheCountAlone) {
    Answers answers;
    Select(L"V:");
    const int before = ScanCount();
    page->stopAtFirstFile = true;
    SendMessageW(*page, WM_COMMAND, IDC_DEFRAG_ANALYZE, 0);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(answers.requests.empty());
    EXPECT_EQ(ScanCount(), before);
    EXPECT_FALSE(page->ClusterMap().jobFinished);
    EXPECT_EQ(page->RowText(Row(L"V:"), 5), L"");
    EXPECT_TRUE(IsWindowVisible(page->DriveList()));
}

TEST_F(DefragPageTest, PauseHoldsTheWorkerAndNotNowRemembersTheDrive) {
    Answers answers;
    answers.questionAnswer = kXmbFirstCustomButton + 1;  // "Not now"
    Select(L"V:");
    page->pauseAtStart = true;
    SendMessageW(*page, WM_COMMAND, IDC_DEFRAG_ANALYZE, 0);
    Pump(std::chrono::milliseconds(500));
    ASSERT_TRUE(page->IsWorking());
    ASSERT_TRUE(page->IsPaused());
    const int calls = page->progressCalls;
    Pump(std::chrono::milliseconds(1500));
    EXPECT_LE(page->progressCalls - calls, 1) << "the worker went on while paused";
    EXPECT_TRUE(page->IsWorking());
    SendMessageW(*page, WM_COMMAND, IDC_DEFRAG_PAUSE, 0);
    ASSERT_TRUE(RunUntilIdle());
    ASSERT_EQ(answers.Count(ModalKind::QuestionBox), 1);
    const int percent = page->ClusterMap().GetFragmentationPercent();
    EXPECT_GT(percent, 0);
    if (percent >= 3) {
        EXPECT_EQ(zyr::fw::GetProfileString(L"", L"DefragWarningDrive"), L"V:");
        EXPECT_EQ(zyr::fw::GetProfileInt(L"", L"DefragWarningPercent", -1), percent);
    }
    std::lock_guard guard(page->lock);
    EXPECT_EQ(page->started, (std::vector<std::wstring>{L"V:0"}));
}

TEST_F(DefragPageTest, AnalyseAskThenDefragmentWithoutANewAnalysis) {
    Answers answers;
    Select(L"V:");
    const int before = ScanCount();
    zyr::fw::WriteProfileString(L"", L"DefragWarningDrive", L"V:");
    int64_t fragmentedAtQuestion = 0;
    std::wstring column5AtQuestion;
    answers.onQuestion = [&](const ModalRequest& request) {
        fragmentedAtQuestion = FragmentedClusters();
        column5AtQuestion = page->RowText(Row(L"V:"), 5);
        EXPECT_NE(request.text.find(L"V:"), std::wstring::npos);
        EXPECT_EQ(request.style & 0xFF, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(request.customButtons, ::LoadResourceString(IDS_ASK_DEFRAG_BUTTONS));
    };
    SendMessageW(*page, WM_COMMAND, IDC_DEFRAG_ANALYZE, 0);
    ASSERT_TRUE(RunUntilIdle());

    ASSERT_EQ(answers.Count(ModalKind::QuestionBox), 1);
    EXPECT_GT(fragmentedAtQuestion, 0);
    EXPECT_NE(column5AtQuestion, L"0%");
    EXPECT_EQ(column5AtQuestion.back(), L'%');
    {
        std::lock_guard guard(page->lock);
        EXPECT_EQ(page->started, (std::vector<std::wstring>{L"V:0", L"V:1"}));
    }
    // The moved files now count as unfragmented on the map.
    EXPECT_LT(FragmentedClusters(), fragmentedAtQuestion / 4);
    EXPECT_TRUE(page->ClusterMap().jobFinished);
    EXPECT_EQ(page->RowText(Row(L"V:"), 5), L"0%");
    ASSERT_EQ(answers.Count(ModalKind::MessageBox), 1);
    EXPECT_EQ(answers.requests.back().text, ::LoadResourceString(IDS_DEFRAG_DONE));
    EXPECT_EQ(ScanCount(), before + 1);
    EXPECT_EQ(zyr::fw::GetProfileString(L"", L"DefragWarningDrive", L"x"), L"");
    EXPECT_TRUE(host.tabsEnabled);
}

TEST_F(DefragPageTest, ScheduledRunSkipsTheFullDriveSilentlyAndCountsOnce) {
    Answers answers;
    // Tick only V: and W: (the schedule page stores the letters left out).
    std::wstring skipped;
    for (int row = 0; row < page->RowCount(); ++row) {
        const std::wstring text = page->RowText(row, 0);
        const size_t open = text.rfind(L'(');
        const wchar_t letter = text[open + 1];
        if (letter != L'V' && letter != L'W') skipped += letter;
    }
    zyr::fw::WriteProfileString(L"", L"SkipScheduleDefrag", skipped);
    const int before = ScanCount();
    page->DefragScheduledDrives();
    EXPECT_TRUE(host.busy);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(answers.requests.empty()) << "a scheduled run shows no message";
    EXPECT_EQ(ScanCount(), before + 1);
    std::lock_guard guard(page->lock);
    EXPECT_EQ(page->started, (std::vector<std::wstring>{L"V:0", L"V:1"}));
}

TEST_F(DefragPageTest, ScheduledRunWithOnlyFullDrivesEndsTheBusyState) {
    Answers answers;
    std::wstring skipped;
    for (int row = 0; row < page->RowCount(); ++row) {
        const std::wstring text = page->RowText(row, 0);
        const wchar_t letter = text[text.rfind(L'(') + 1];
        if (letter != L'W') skipped += letter;
    }
    zyr::fw::WriteProfileString(L"", L"SkipScheduleDefrag", skipped);
    page->DefragScheduledDrives();
    EXPECT_FALSE(page->IsWorking());
    EXPECT_FALSE(host.busy);
    EXPECT_TRUE(host.tabsEnabled);
    std::lock_guard guard(page->lock);
    EXPECT_TRUE(page->started.empty());
}

}  // namespace
