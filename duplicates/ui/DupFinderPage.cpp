// CDupFinderPage: child page switching, the scanner's life, polling and the finished message.
#include "duplicates/ui/DupFinderPage.h"

#include "duplicates/ui/FinderTexts.h"
#include "resources/ids/duplicates_ids.h"

namespace {
constexpr wchar_t kButtonImage[] = L"images/buttons and headers/button_duplicate.png";
}  // namespace

CDupFinderPage::CDupFinderPage(CWnd* frame, Navigation navigation)
    : CBaseDlg(IDD_DUP_FINDER, frame), navigation_(std::move(navigation)), startPage_(*this), progPage_(*this),
      resultsPage_(*this) {}

CDupFinderPage::CDupFinderPage(HWND parent, Navigation navigation)
    : CBaseDlg(IDD_DUP_FINDER, parent), navigation_(std::move(navigation)), startPage_(*this), progPage_(*this),
      resultsPage_(*this) {}

CDupFinderPage::~CDupFinderPage() {
    DeleteScanner();
    // While the child pages are whole objects: the start page stores its choices on WM_DESTROY.
    if (IsWindow()) DestroyWindow();
}

bool CDupFinderPage::HeaderLoaded() const {
    return startPage_.HeaderLoaded() && progPage_.HeaderLoaded() && resultsPage_.HeaderLoaded();
}

bool CDupFinderPage::OnInitDialog() {
    window_ = GetSafeHwnd();
    startPage_.CreatePage();
    progPage_.CreatePage();
    resultsPage_.CreatePage();
    ShowChild(&startPage_);
    return true;
}

void CDupFinderPage::DeleteScanner() {
    // Deleting a scanner cancels its scan and waits for the worker.
    scanner_.reset();
    if (IsWindow()) KillTimer(kDupPollTimer);
}

bool CDupFinderPage::ScanRunning() const {
    if (!scanner_) return false;
    int32_t state = 0;
    scanner_->GetStatus(&state, nullptr, nullptr, nullptr, nullptr);
    return state != ScanStateFinished;
}

void CDupFinderPage::StartScan(const std::wstring& folder, int32_t recursive, int32_t mask) {
    DeleteScanner();
    scanner_.reset(CreateDuplicateFileScanner(this, zyr::dup::DefaultFileSystem()));
    if (!scanner_) return;
    progPage_.UpdateProgress(0, 0, 0.0, L"");
    resultsPage_.List().Core().ResetGroups(false);
    HoldFrame(true);
    scanner_->Start(folder, recursive, mask);
    SetTimer(kDupPollTimer, 200);
    ShowChild(&progPage_);
}

void CDupFinderPage::CancelScan() {
    if (scanner_) scanner_->Cancel();
}

void CDupFinderPage::LeaveForClose() {
    DeleteScanner();
    if (holdsFrame_) HoldFrame(false);
}

void CDupFinderPage::HoldFrame(bool hold) {
    holdsFrame_ = hold;
    if (navigation_.enableTabs) navigation_.enableTabs(!hold);
    if (navigation_.setBusy) navigation_.setBusy(hold);
}

void CDupFinderPage::OnScanFinished() {
    // Worker thread, under the scanner's lock: only post.
    if (window_) ::PostMessageW(window_, kDupScanFinishedMessage, 0, 0);
}

void CDupFinderPage::PollScanner() {
    if (!scanner_) return;
    int32_t state = 0, filesFound = 0, duplicateFiles = 0;
    double progress = 0;
    std::wstring path;
    scanner_->GetStatus(&state, &filesFound, &duplicateFiles, &progress, &path);
    progPage_.UpdateProgress(filesFound, duplicateFiles, progress, path);
}

void CDupFinderPage::OnScanFinishedMessage() {
    // A message left from a scan that was abandoned or replaced is not this scan's end.
    if (!scanner_ || ScanRunning()) return;
    CDupResultsList& list = resultsPage_.List();
    list.SendMessage(WM_SETREDRAW, FALSE);
    std::vector<CDuplicateFileList> results;
    scanner_->GetResults(&results);
    for (const CDuplicateFileList& set : results) list.Core().AddDuplicateList(set);
    list.SendMessage(WM_SETREDRAW, TRUE);
    KillTimer(kDupPollTimer);
    PollScanner();
    ShowChild(&resultsPage_);
}

void CDupFinderPage::ShowChild(CBaseDlg* page) {
    if (!page || !page->IsWindow()) return;
    if (currentChild_ && currentChild_ != page) currentChild_->ShowWindow(SW_HIDE);
    currentChild_ = page;
    page->MoveWindow(ClientRect());
    page->ShowWindow(SW_SHOW);
    ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CDupFinderPage::ResetToStart() {
    // A scan still running is ended, and a finished message still on its way finds no scanner.
    DeleteScanner();
    progPage_.UpdateProgress(0, 0, 0.0, L"");
    resultsPage_.List().Core().ResetGroups(false);
    ShowChild(&startPage_);
}

void CDupFinderPage::GoBack() {
    holdsFrame_ = false;
    if (navigation_.setBusy) navigation_.setBusy(false);
    if (navigation_.showDiskPage) navigation_.showDiskPage();
    if (navigation_.enableTabs) navigation_.enableTabs(true);
}

bool CDupFinderPage::OnTimer(UINT_PTR id) {
    if (id != kDupPollTimer) return false;
    PollScanner();
    return true;
}

bool CDupFinderPage::OnSize(UINT, int width, int height) {
    if (currentChild_) ::MoveWindow(*currentChild_, 0, 0, width, height, TRUE);
    return false;
}

LRESULT CDupFinderPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kDupScanFinishedMessage:
        OnScanFinishedMessage();
        return 0;
    case WM_SHOWWINDOW:
    case WM_PAINT: {
        // The child copies its background from this page's surface: paint it again whenever
        // that surface was (re)made, and when the finder is shown.
        const LRESULT result = CBaseDlg::WindowProc(msg, wp, lp);
        if ((msg == WM_PAINT || wp) && currentChild_)
            ::RedrawWindow(*currentChild_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return result;
    }
    default:
        return CBaseDlg::WindowProc(msg, wp, lp);
    }
}

std::wstring CDupFinderPage::GetButtonName() { return FinderText(316); }
std::wstring CDupFinderPage::GetButtonImage() { return kButtonImage; }
std::wstring CDupFinderPage::GetButtonImageOver() { return kButtonImage; }
std::wstring CDupFinderPage::GetButtonTooltip() { return FinderText(470); }

void CDupFinderPage::OnButtonClick() {
    // Always begins at the start page.
    holdsFrame_ = false;
    if (navigation_.setBusy) navigation_.setBusy(false);
    if (navigation_.showFinder) navigation_.showFinder();
    ResetToStart();
    if (navigation_.enableTabs) navigation_.enableTabs(true);
}
