// CDefragPage: the drive list, the cluster map and the queue of drive jobs run by the engine.
#pragma once
#include <windows.h>

#include "app/IHomePageButton.h"
#include "defragui/ClusterView.h"
#include "defragui/DefragHost.h"
#include "engine/defrag_parent.h"
#include "engine/volume_analysis.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace zyr::defragui {

struct QueueItemStruct {
    std::wstring drive;  // "C:"
    int action = 0;      // 0 analyse, 1 defragment, 2 consolidate
    int row = 0;         // drive-list row whose column 5 receives the result
};

class CDefragPage : public CBaseDlg, public engine::IDefragParent, public ::IHomePageButton {
public:
    static constexpr UINT kJobFinishedMessage = WM_APP + 0x226;
    static constexpr UINT kReselectMessage = WM_APP + 0x228;
    // Carries OnJobStarted's window changes to the user-interface thread.
    static constexpr UINT kJobStartedMessage = WM_APP + 0x225;
    static constexpr UINT_PTR kProgressTimer = 100;
    static constexpr UINT_PTR kMergeTimer = 101;

    // On a parent window that exists, or on the frame object whose window is made later.
    CDefragPage(HWND parent, IDefragHost* host);
    CDefragPage(CWnd* parent, IDefragHost* host);
    ~CDefragPage() override;

    // IDefragParent (worker thread).
    void OnJobStarted(int zero) override;
    void OnJobFinished(int result) override;
    void OnProgress(const wchar_t* path, int percent, int kind, void* data) override;
    int IsStopRequested() override { return stopRequested.load(); }

    // IHomePageButton.
    std::wstring GetButtonName() override;
    std::wstring GetButtonImage() override;
    std::wstring GetButtonImageOver() override { return GetButtonImage(); }
    std::wstring GetButtonTooltip() override { return homeText; }
    void OnButtonClick() override;

    // The main window's calls.
    bool IsWorking() const { return working.load() != 0; }
    void StopAndCloseWhenDone();
    void DefragScheduledDrives();
    void DefragWarnedDrive();

    // Parts tests and the main window look at.
    void RefreshDriveList();
    std::wstring SelectedDrive() const;
    bool HasEnoughFreeSpace(const std::wstring& drive) const;
    bool CanStartJob();
    HWND DriveList() const { return driveList; }
    CClusterView& ClusterMap() { return clusterView; }
    std::wstring RowText(int row, int column) const;
    int RowCount() const;
    size_t QueueLength() const { return queue.size(); }
    const QueueItemStruct& CurrentJob() const { return currentJob; }
    bool IsPaused() const { return paused.load() != 0; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnSize(UINT type, int width, int height) override;
    void OnBack() override;
    void PaintContent(Gdiplus::Graphics& g) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void QueueSelectedDrive(bool defragment);
    // The scheduled and the warned sequences: the common start (false while a job runs), and
    // the run of what was queued, which `runFlag` marks, once the drives without room are dropped.
    bool BeginUnattendedSequence();
    void StartUnattendedSequence(int& runFlag);
    void StartNextJob();
    void ApplyJobStarted();
    void OnJobEnd();
    void EndSequence();
    void ClearWarning();
    // Step 5 of the job end: drops leading jobs whose drive has no room.
    void DropJobsWithoutRoom(bool touchWarning);
    void Layout(int width, int height);
    void SetColumn5(int row, const std::wstring& text);
    int RowOfDrive(const std::wstring& drive) const;
    std::wstring Text(UINT id) const;
    void Message(UINT textId, const std::wstring& argument, UINT style);
    RECT StatusRect() const;

    IDefragHost* host_;
    CGlassButton analyzeButton, defragButton, optimizeButton, stopButton, pauseButton;
    HWND progressBar = nullptr;
    HWND driveList = nullptr;
    CClusterView clusterView;
    RECT mapRect{}, legendRect{};

    std::atomic<int> working{0}, stopRequested{0}, paused{0};
    int closeWhenDone = 0, batchRun = 0, warningRun = 0;
    std::wstring statusText;
    mutable std::mutex pathLock;  // guards currentPath between the worker and the painter
    std::wstring currentPath;
    std::atomic<int> progressPercent{0};
    std::atomic<bool> sampleProgress{false};
    std::unique_ptr<engine::VolumeAnalysis> analysis;
    std::deque<QueueItemStruct> queue;
    QueueItemStruct currentJob;
    int reselectPosted = 0;
    int lastSelectedRow = 0;
    std::wstring homeText;
};

}  // namespace zyr::defragui
