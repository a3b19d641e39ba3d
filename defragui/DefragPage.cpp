// CDefragPage: commands, the job queue, the engine's calls and the page's layout and painting.
#include "defragui/DefragPage.h"
#include "app/SettingsValues.h"

#include "defragui/model/DriveText.h"
#include "engine/jobs.h"
#include "engine/volume_api.h"
#include "framework/ModalSeam.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/defrag_ids.h"
#include "skin/Skin.h"
#include "skin/XMessageBox.h"

#include <commctrl.h>

#include <cwchar>
#include <cwctype>
#include <vector>

using namespace Gdiplus;

namespace zyr::defragui {
namespace {


bool SameDrive(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    return true;
}

// The texts use "%s" for a string argument; the C library's wide formatting spells it "%ls".
std::wstring WideFormat(std::wstring format) {
    for (size_t at = format.find(L"%s"); at != std::wstring::npos; at = format.find(L"%s", at + 3))
        if (at == 0 || format[at - 1] != L'%') format.insert(at + 1, 1, L'l');
    return format;
}

std::wstring Formatted(const std::wstring& format, const std::wstring& drive) {
    std::vector<wchar_t> buffer(format.size() + drive.size() + 64);
    std::swprintf(buffer.data(), buffer.size(), WideFormat(format).c_str(), drive.c_str());
    return buffer.data();
}

}  // namespace

CDefragPage::CDefragPage(HWND parent, IDefragHost* host) : CBaseDlg(IDD_DEFRAG_PAGE, parent), host_(host) {
    homeText = ::LoadResourceString(IDS_TIP_DEFRAG);
}

CDefragPage::CDefragPage(CWnd* parent, IDefragHost* host) : CBaseDlg(IDD_DEFRAG_PAGE, parent), host_(host) {
    homeText = ::LoadResourceString(IDS_TIP_DEFRAG);
}

CDefragPage::~CDefragPage() = default;

std::wstring CDefragPage::Text(UINT id) const { return ::LoadResourceString(id); }

std::wstring CDefragPage::GetButtonName() { return Text(IDS_NAME_DEFRAG); }

std::wstring CDefragPage::GetButtonImage() { return L"images/buttons and headers/button_defrag.png"; }

void CDefragPage::OnButtonClick() {
    if (host_) host_->ShowDefragPage();
}

bool CDefragPage::OnInitDialog() {
    SetHeader(L"images/buttons and headers/header_defrag.png", Text(IDS_DEFRAG_TITLE), Text(IDS_DEFRAG_SUBTITLE));
    ShowHeaderButtons(true);
    EnableHeaderButtons(true, false);
    analyzeButton.SubclassDlgItem(IDC_DEFRAG_ANALYZE, *this);
    defragButton.SubclassDlgItem(IDC_DEFRAG_DEFRAGMENT, *this);
    optimizeButton.SubclassDlgItem(IDC_DEFRAG_OPTIMIZE, *this);
    stopButton.SubclassDlgItem(IDC_DEFRAG_STOP, *this);
    pauseButton.SubclassDlgItem(IDC_DEFRAG_PAUSE, *this);
    ::ShowWindow(optimizeButton, SW_HIDE);
    ::ShowWindow(stopButton, SW_HIDE);
    ::ShowWindow(pauseButton, SW_HIDE);

    progressBar = ::GetDlgItem(*this, IDC_DEFRAG_PROGRESS);
    ::SendMessageW(progressBar, PBM_SETRANGE32, 0, 100);
    ::ShowWindow(progressBar, SW_HIDE);

    driveList = ::GetDlgItem(*this, IDC_DEFRAG_DRIVES);
    ListView_SetExtendedListViewStyle(driveList, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    struct Column {
        UINT text;
        int width;
    };
    const Column columns[] = {{IDS_COL_DRIVE, 100}, {IDS_COL_FILESYSTEM, 50}, {IDS_COL_SIZE, 70},
                              {IDS_COL_FREE, 110},  {IDS_COL_USED, 110},      {IDS_COL_FRAGMENTATION, 80}};
    for (int i = 0; i < 6; ++i) {
        std::wstring header = Text(columns[i].text);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = header.data();
        ListView_InsertColumn(driveList, i, &column);
    }
    RECT initial{10, 200, 400, 400};
    clusterView.Create(*this, initial, IDC_DEFRAG_MAP);
    const RECT client = ClientRect();
    Layout(client.right, client.bottom);
    return true;
}

// ---------------------------------------------------------------- drive list

int CDefragPage::RowCount() const { return driveList ? ListView_GetItemCount(driveList) : 0; }

std::wstring CDefragPage::RowText(int row, int column) const {
    wchar_t buffer[260] = {};
    ListView_GetItemText(driveList, row, column, buffer, 260);
    return buffer;
}

void CDefragPage::SetColumn5(int row, const std::wstring& text) {
    if (row < 0 || row >= RowCount()) return;
    std::wstring copy = text;
    ListView_SetItemText(driveList, row, 5, copy.data());
}

int CDefragPage::RowOfDrive(const std::wstring& drive) const {
    for (int row = 0; row < RowCount(); ++row)
        if (SameDrive(DriveOfRowText(RowText(row, 0)), drive)) return row;
    return -1;
}

void CDefragPage::RefreshDriveList() {
    auto& volumes = vol::VolumeApi();
    wchar_t strings[200] = {};
    const uint32_t length = volumes.GetLogicalDriveStrings(200, strings);
    if (length > 0 && length < 200) {
        for (const wchar_t* root = strings; *root; root += std::wcslen(root) + 1) {
            const std::wstring rootPath = root;
            if (volumes.GetDriveType(rootPath) != DRIVE_FIXED) continue;
            int row = -1;
            for (int r = 0; r < RowCount() && row < 0; ++r) {
                const std::wstring drive = DriveOfRowText(RowText(r, 0));
                if (!drive.empty() && SameDrive(drive + L"\\", rootPath)) row = r;
            }
            if (row < 0) {
                std::wstring label, fileSystem;
                uint32_t serial = 0, maxLength = 0, flags = 0;
                volumes.GetVolumeInformation(rootPath, &label, &serial, &maxLength, &flags, &fileSystem);
                if (label.size() > 100) label.resize(100);
                std::wstring first = defragui::RowText(label, rootPath);
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = RowCount();
                item.pszText = first.data();
                row = ListView_InsertItem(driveList, &item);
                if (row < 0) continue;
                ListView_SetItemText(driveList, row, 1, fileSystem.data());
            }
            uint64_t available = 0, total = 0, free = 0;
            if (!volumes.GetDiskFreeSpaceEx(rootPath, &available, &total, &free)) total = free = 0;
            std::wstring size = FormatSize(static_cast<int64_t>(total));
            std::wstring freeText = FormatSizeShare(static_cast<int64_t>(free), static_cast<int64_t>(total));
            std::wstring used = FormatSizeShare(static_cast<int64_t>(total - free), static_cast<int64_t>(total));
            ListView_SetItemText(driveList, row, 2, size.data());
            ListView_SetItemText(driveList, row, 3, freeText.data());
            ListView_SetItemText(driveList, row, 4, used.data());
        }
    }
    ListView_SetItemState(driveList, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring CDefragPage::SelectedDrive() const {
    const int row = ListView_GetNextItem(driveList, -1, LVNI_SELECTED);
    if (row < 0) return L"";
    return DriveOfRowText(RowText(row, 0));
}

bool CDefragPage::HasEnoughFreeSpace(const std::wstring& drive) const {
    if (drive.empty()) return false;
    uint64_t available = 0, total = 0, free = 0;
    if (!vol::VolumeApi().GetDiskFreeSpaceEx(drive + L"\\", &available, &total, &free)) return false;
    return HasRoomToDefragment(free, total);
}

void CDefragPage::Message(UINT textId, const std::wstring& argument, UINT style) {
    std::wstring text = Text(textId);
    if (!argument.empty()) text = Formatted(text, argument);
    ShowMessageBox(*this, text, host_ ? host_->ProductName() : std::wstring(), style);
}

bool CDefragPage::CanStartJob() {
    const int row = ListView_GetNextItem(driveList, -1, LVNI_SELECTED);
    if (row < 0 || !SameDrive(RowText(row, 1), L"ntfs")) {
        Message(IDS_NOT_NTFS, L"", MB_OK);
        return false;
    }
    if (!HasEnoughFreeSpace(SelectedDrive())) {
        Message(IDS_NO_ROOM, L"", MB_OK);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- commands and the queue

void CDefragPage::QueueSelectedDrive(bool defragment) {
    closeWhenDone = 0;
    if (host_) {
        host_->SetBusy(true);
        host_->EnableTabs(false);
    }
    queue.clear();
    const int row = ListView_GetNextItem(driveList, -1, LVNI_SELECTED);
    const std::wstring drive = SelectedDrive();
    queue.push_back({drive, 0, row});
    if (defragment) queue.push_back({drive, 1, row});
    StartNextJob();
}

bool CDefragPage::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_DEFRAG_ANALYZE:
    case IDC_DEFRAG_DEFRAGMENT:
        if (working || !CanStartJob()) return true;
        QueueSelectedDrive(id == IDC_DEFRAG_DEFRAGMENT);
        return true;
    case IDC_DEFRAG_OPTIMIZE: {
        if (working) return true;
        if (host_) {
            host_->SetBusy(true);
            host_->EnableTabs(false);
        }
        queue.clear();
        const int row = ListView_GetNextItem(driveList, -1, LVNI_SELECTED);
        const std::wstring drive = SelectedDrive();
        for (int action = 0; action < 3; ++action) queue.push_back({drive, action, row});
        StartNextJob();
        return true;
    }
    case IDC_DEFRAG_STOP:
        if (!working) return true;
        stopRequested = 1;
        queue.clear();
        stopButton.SetWindowText(Text(IDS_STOPPING));
        ::EnableWindow(stopButton, FALSE);
        ::EnableWindow(pauseButton, FALSE);
        return true;
    case IDC_DEFRAG_PAUSE:
        if (!working) return true;
        paused = paused ? 0 : 1;
        pauseButton.SetWindowText(Text(paused ? IDS_RESUME : IDS_PAUSE));
        return true;
    }
    return CBaseDlg::OnCommand(id, code, control);
}

void CDefragPage::StartNextJob() {
    if (queue.empty()) return;
    currentJob = queue.front();
    queue.pop_front();
    bool started = false;
    switch (currentJob.action) {
    case 0:
        statusText = Formatted(Text(IDS_ANALYZING), currentJob.drive);
        started = engine::StartAnalysisJob(currentJob.drive, this);
        break;
    case 1:
        statusText = Formatted(Text(IDS_DEFRAGMENTING), currentJob.drive);
        started = engine::StartDefragJob(currentJob.drive, this, analysis.get());
        break;
    default:
        statusText = Formatted(Text(IDS_CONSOLIDATING), currentJob.drive);
        started = engine::StartConsolidationJob(currentJob.drive, this, analysis.get());
        break;
    }
    // Without a thread nothing will report back: end the sequence here.
    if (!started) {
        queue.clear();
        stopRequested = 1;
        EndSequence();
    }
}

void CDefragPage::StopAndCloseWhenDone() {
    stopRequested = 1;
    closeWhenDone = 1;
}

void CDefragPage::DropJobsWithoutRoom(bool touchWarning) {
    while (!queue.empty() && !HasEnoughFreeSpace(queue.front().drive)) {
        if (touchWarning &&
            (warningRun || SameDrive(settings::Read(settings::DefragWarningDrive), queue.front().drive)))
            ClearWarning();
        currentJob = queue.front();
        queue.pop_front();
    }
}

bool CDefragPage::BeginUnattendedSequence() {
    closeWhenDone = 0;
    if (working) return false;
    if (host_) {
        host_->EnableTabs(false);
        host_->SetBusy(true);
    }
    queue.clear();
    if (RowCount() == 0) RefreshDriveList();
    return true;
}

void CDefragPage::StartUnattendedSequence(int& runFlag) {
    DropJobsWithoutRoom(false);
    if (!queue.empty()) {
        runFlag = 1;
        StartNextJob();
    } else {
        // Every job was dropped: end the busy state as a finished sequence would, but no
        // sequence ran, so nothing is counted.
        stopRequested = 1;
        EndSequence();
    }
}

void CDefragPage::DefragScheduledDrives() {
    if (!BeginUnattendedSequence()) return;
    const std::wstring skipped = settings::Read(settings::SkipScheduleDefrag);
    for (int row = 0; row < RowCount(); ++row) {
        const std::wstring drive = DriveOfRowText(RowText(row, 0));
        if (drive.empty() || !ScheduledDriveTicked(drive, skipped)) continue;
        queue.push_back({drive, 0, row});
        queue.push_back({drive, 1, row});
    }
    StartUnattendedSequence(batchRun);
}

void CDefragPage::DefragWarnedDrive() {
    if (!BeginUnattendedSequence()) return;
    std::wstring drive = fw::GetProfileString(L"", settings::DefragWarningDrive.name, L"C:");
    if (drive.empty()) drive = L"C:";
    int row = RowOfDrive(drive);
    if (row < 0) row = 0;
    queue.push_back({drive, 0, row});
    queue.push_back({drive, 1, row});
    StartUnattendedSequence(warningRun);
}

// ---------------------------------------------------------------- engine calls (worker thread)

void CDefragPage::OnJobStarted(int) {
    // The window changes run on the user-interface thread; the worker waits for them.
    ::SendMessageW(*this, kJobStartedMessage, 0, 0);
}

void CDefragPage::ApplyJobStarted() {
    ::ShowWindow(driveList, SW_HIDE);
    ::ShowWindow(progressBar, SW_SHOW);
    ::EnableWindow(analyzeButton, FALSE);
    ::EnableWindow(defragButton, FALSE);
    ::EnableWindow(optimizeButton, FALSE);
    progressPercent = 0;
    ::SendMessageW(progressBar, PBM_SETPOS, 0, 0);
    ::EnableWindow(stopButton, TRUE);
    ::EnableWindow(pauseButton, TRUE);
    stopButton.SetWindowText(Text(IDS_STOP));
    pauseButton.SetWindowText(Text(IDS_PAUSE));
    ::ShowWindow(stopButton, SW_SHOW);
    ::ShowWindow(pauseButton, SW_SHOW);
    EnableHeaderButtons(false, false);
    if (currentJob.action == 0) clusterView.ResetMap();
    clusterView.showMap = 1;
    clusterView.Invalidate();
    working = 1;
    stopRequested = 0;
    paused = 0;
    sampleProgress = true;
    SetTimer(kProgressTimer, 250);
    SetTimer(kMergeTimer, 1000);
    Invalidate();
}

void CDefragPage::OnJobFinished(int) { ::SendMessageW(*this, kJobFinishedMessage, 0, 0); }

void CDefragPage::OnProgress(const wchar_t* path, int percent, int kind, void* data) {
    if (kind == engine::kProgressLogLine) return;
    if (sampleProgress) {
        {
            std::lock_guard guard(pathLock);
            currentPath = path ? path : L"";
        }
        progressPercent = percent > 99 ? 99 : percent;
        sampleProgress = false;
    }
    while (paused && !stopRequested) ::Sleep(250);
    if (!data) return;
    switch (kind) {
    case engine::kProgressFileAnalyzed: {
        auto* file = static_cast<engine::AnalyzedFile*>(data);
        if (file->extents) clusterView.QueueExtents(*file->extents, true);
        break;
    }
    case engine::kProgressAnalysisCreated:
        analysis.reset(static_cast<engine::VolumeAnalysis*>(data));
        clusterView.InitFromAnalysis(*analysis);
        break;
    case engine::kProgressFileDefragmented:
    case engine::kProgressFileConsolidated: {
        std::unique_ptr<engine::MovedExtents> moved(static_cast<engine::MovedExtents*>(data));
        if (moved->after) clusterView.QueueExtents(*moved->after, true);
        if (moved->before) clusterView.QueueExtents(*moved->before, false);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------- job end

void CDefragPage::ClearWarning() {
    settings::Write(settings::DefragWarningDrive, L"");
    fw::WriteProfileInt(L"", settings::DefragWarningPercent, 0);
    fw::WriteProfileBinary(L"", settings::DefragWarningDate, nullptr, 0);
}

void CDefragPage::OnJobEnd() {
    KillTimer(kMergeTimer);
    KillTimer(kProgressTimer);
    if (!stopRequested) clusterView.jobFinished = true;
    clusterView.MergeExtents();
    statusText.clear();
    {
        std::lock_guard guard(pathLock);
        currentPath.clear();
    }
    ::SendMessageW(progressBar, PBM_SETPOS, 100, 0);

    if (queue.empty() && currentJob.action == 0 && !stopRequested) {
        const std::wstring drive = SelectedDrive();
        const int p = clusterView.GetFragmentationPercent();
        wchar_t percent[16];
        std::swprintf(percent, 16, L"%d%%", p);
        SetColumn5(currentJob.row, percent);
        if (p > 0) {
            const std::wstring format = Text(IDS_ASK_DEFRAG);
            std::vector<wchar_t> text(format.size() + 64);
            std::swprintf(text.data(), text.size(), WideFormat(format).c_str(), drive.c_str(), p);
            MessageBoxParams params;
            params.options = 1;
            params.customButtons = Text(IDS_ASK_DEFRAG_BUTTONS);
            const std::wstring caption = host_ ? host_->ProductName() : std::wstring();
            const int answer = XMessageBox(*this, text.data(), caption.c_str(), MB_YESNO | MB_ICONQUESTION, &params);
            if (answer == kXmbFirstCustomButton) {
                queue.push_back({currentJob.drive, 1, currentJob.row});
            } else {
                const int limit = settings::Read(settings::DefragWarningLimit);
                if (p >= limit && settings::Read(settings::DefragWarningDrive).empty()) {
                    settings::Write(settings::DefragWarningDrive, drive);
                    fw::WriteProfileInt(L"", settings::DefragWarningPercent, p);
                }
            }
        } else {
            Message(IDS_NOT_FRAGMENTED, drive, MB_ICONINFORMATION);
        }
    }
    if (queue.empty() && currentJob.action == 1 && !stopRequested && !batchRun) {
        SetColumn5(currentJob.row, L"0%");
        Message(IDS_DEFRAG_DONE, L"", MB_ICONINFORMATION);
    }
    if (currentJob.action == 1 && !stopRequested &&
        (warningRun || SameDrive(settings::Read(settings::DefragWarningDrive), SelectedDrive())))
        ClearWarning();

    DropJobsWithoutRoom(true);
    if (!stopRequested && !queue.empty()) {
        StartNextJob();
        return;
    }
    EndSequence();
}

void CDefragPage::EndSequence() {
    ::ShowWindow(driveList, SW_SHOW);
    ::InvalidateRect(driveList, nullptr, TRUE);
    ::ShowWindow(progressBar, SW_HIDE);
    ::EnableWindow(analyzeButton, TRUE);
    ::EnableWindow(defragButton, TRUE);
    ::EnableWindow(optimizeButton, TRUE);
    progressPercent = 100;
    ::SendMessageW(progressBar, PBM_SETPOS, 100, 0);
    ::ShowWindow(stopButton, SW_HIDE);
    ::ShowWindow(pauseButton, SW_HIDE);
    EnableHeaderButtons(true, false);
    if (!stopRequested) settings::Write(settings::ScanCount, settings::Read(settings::ScanCount) + 1);
    batchRun = warningRun = 0;
    working = 0;
    stopRequested = 0;
    paused = 0;
    queue.clear();
    if (host_) {
        host_->EnableTabs(true);
        host_->SetBusy(false);
    }
    Invalidate();
    if (closeWhenDone && host_) {
        host_->SetBusy(false);
        host_->ShowTab(0);
        host_->EnableTabs(true);
        ::RedrawWindow(host_->MainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        ::PostMessageW(host_->MainWindow(), WM_CLOSE, 0, 0);
    }
}

void CDefragPage::OnBack() {
    if (working || !host_) return;
    host_->SetBusy(false);
    host_->ShowTab(1);
    host_->EnableTabs(true);
}

// ---------------------------------------------------------------- messages

bool CDefragPage::OnTimer(UINT_PTR id) {
    if (id == kProgressTimer) {
        ::SendMessageW(progressBar, PBM_SETPOS, progressPercent.load(), 0);
        const RECT status = StatusRect();
        ::InvalidateRect(*this, &status, FALSE);
        sampleProgress = true;
        return true;
    }
    if (id == kMergeTimer) {
        if (!paused) clusterView.MergeExtents();
        return true;
    }
    return CBaseDlg::OnTimer(id);
}

bool CDefragPage::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom == IDC_DEFRAG_DRIVES && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (change->uChanged & LVIF_STATE) {
            const bool was = (change->uOldState & LVIS_SELECTED) != 0, is = (change->uNewState & LVIS_SELECTED) != 0;
            if (is && !was) {
                lastSelectedRow = change->iItem;
                clusterView.showMap = SameDrive(SelectedDrive(), currentJob.drive) ? 1 : 0;
                clusterView.Invalidate();
            } else if (was && !is && !reselectPosted) {
                PostMessage(kReselectMessage);
                reselectPosted = 1;
            }
        }
        result = 0;
        return true;
    }
    return CBaseDlg::OnNotify(header, result);
}

LRESULT CDefragPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kJobStartedMessage:
        ApplyJobStarted();
        return 0;
    case kJobFinishedMessage:
        OnJobEnd();
        return 0;
    case kReselectMessage:
        reselectPosted = 0;
        if (ListView_GetNextItem(driveList, -1, LVNI_SELECTED) < 0)
            ListView_SetItemState(driveList, lastSelectedRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return 0;
    case WM_SHOWWINDOW:
        if (wp) RefreshDriveList();
        break;
    default:
        break;
    }
    return CBaseDlg::WindowProc(msg, wp, lp);
}

// ---------------------------------------------------------------- layout and painting

RECT CDefragPage::StatusRect() const {
    const RECT client = ClientRect();
    return RECT{20, kHeaderBottom + 8, client.right - 20, kHeaderBottom + 56};
}

void CDefragPage::Layout(int width, int height) {
    if (!driveList) return;
    const int margin = 20;
    const int top = kHeaderBottom + 8;
    const int listHeight = 120;
    ::MoveWindow(driveList, margin, top, width - 2 * margin, listHeight, TRUE);
    ::MoveWindow(progressBar, margin, top + 64, width - 2 * margin, 18, TRUE);
    const int buttonHeight = 34, buttonWidth = 130;
    const int buttonsTop = height - buttonHeight - 14;
    legendRect = RECT{margin, buttonsTop - 28, width - margin, buttonsTop - 8};
    // The map holds whole squares: its client area is a multiple of the cell pitch plus the
    // leading gap, so no partial column or row is left over on the right or at the bottom.
    const int pitch = CClusterView::cellSize + CClusterView::cellGap;
    const int mapTop = top + listHeight + 12;
    const int availableWidth = width - 2 * margin - 2, availableHeight = legendRect.top - 8 - mapTop - 2;
    const int columns = availableWidth > pitch ? (availableWidth - CClusterView::cellGap) / pitch : 1;
    const int rows = availableHeight > pitch ? (availableHeight - CClusterView::cellGap) / pitch : 1;
    const int mapWidth = columns * pitch + CClusterView::cellGap + 2, mapHeight = rows * pitch + CClusterView::cellGap + 2;
    const int mapLeft = (width - mapWidth) / 2;
    mapRect = RECT{mapLeft, mapTop, mapLeft + mapWidth, mapTop + mapHeight};
    if (clusterView.IsWindow()) clusterView.MoveWindow(mapRect);
    legendRect.top = mapRect.bottom + 8;
    legendRect.bottom = legendRect.top + 20;
    int x = width - margin - buttonWidth;
    for (HWND button : {static_cast<HWND>(pauseButton), static_cast<HWND>(stopButton)}) {
        ::MoveWindow(button, x, buttonsTop, buttonWidth - 20, buttonHeight, TRUE);
        x -= buttonWidth - 10;
    }
    x = margin;
    for (HWND button : {static_cast<HWND>(analyzeButton), static_cast<HWND>(defragButton), static_cast<HWND>(optimizeButton)}) {
        ::MoveWindow(button, x, buttonsTop, buttonWidth, buttonHeight, TRUE);
        x += buttonWidth + 10;
    }
}

bool CDefragPage::OnSize(UINT type, int width, int height) {
    Layout(width, height);
    return CBaseDlg::OnSize(type, width, height);
}

void CDefragPage::PaintContent(Graphics& g) {
    if (working) {
        const RECT status = StatusRect();
        std::wstring path;
        {
            std::lock_guard guard(pathLock);
            path = currentPath;
        }
        const REAL left = static_cast<REAL>(status.left), width = static_cast<REAL>(status.right - status.left);
        DrawSkinText(g, RectF(left, static_cast<REAL>(status.top), width, 24), statusText, theSkin.mediumBoldFont.get(),
                     theSkin.bodyTextBrush.get());
        DrawSkinText(g, RectF(left, static_cast<REAL>(status.top) + 26, width, 20), path, theSkin.textFont.get(),
                     theSkin.bodyTextBrush.get(), StringAlignmentNear, StringAlignmentNear, nullptr, false,
                     StringFormatFlagsNoWrap);
    }
    if (clusterView.IsWindow())
        clusterView.DrawLegend(g, legendRect.left, legendRect.top, legendRect.right - legendRect.left);
}

}  // namespace zyr::defragui
