// The progress page: shows the scanner's status and asks it to stop.
#include "duplicates/ui/DupProgPage.h"

#include "duplicates/ui/DupFinderPage.h"
#include "duplicates/ui/FinderTexts.h"
#include "resources/ids/duplicates_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

namespace {

void Place(HWND control, int x, int y, int width, int height) {
    if (control) ::MoveWindow(control, x, y, std::max(0, width), std::max(0, height), TRUE);
}

// A printf-style resource text with one argument.
template <class T>
std::wstring Format(UINT id, T argument) {
    wchar_t text[1024] = {};
    _snwprintf(text, 1023, FinderText(id).c_str(), argument);
    return text;
}

}  // namespace

CDupProgPage::CDupProgPage(CDupFinderPage& finder) : CBaseDlg(IDD_DUP_PROGRESS, &finder), finder_(finder) {
    SkinImage header = LoadSkinImage(nullptr, kDupHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), FinderText(208), FinderText(209));
    // The back button is shown but does nothing while a scan runs.
    ShowHeaderButtons(true);
    EnableHeaderButtons(false, false);
}

bool CDupProgPage::OnInitDialog() {
    HWND page = GetSafeHwnd();
    group_.SubclassDlgItem(IDC_DUP_PROGRESS_GROUP, page);
    group_.SetCaption(FinderText(317));
    path_.SubclassDlgItem(IDC_DUP_PATH, page);
    path_.trimming = Gdiplus::StringTrimmingEllipsisPath;
    found_.SubclassDlgItem(IDC_DUP_FOUND, page);
    duplicates_.SubclassDlgItem(IDC_DUP_DUPLICATES, page);
    stopButton_.SubclassDlgItem(IDC_DUP_STOP, page);
    ::SendDlgItemMessageW(page, IDC_DUP_PROGRESS, PBM_SETRANGE32, 0, 100);
    UpdateProgress(0, 0, 0.0, L"");
    const RECT client = ClientRect();
    OnSize(0, client.right, client.bottom);
    return true;
}

int CDupProgPage::BarPosition(double progress) {
    // -1 (walking) shows an empty bar, the final 100 a full one.
    const double percent = progress * 100.0;
    if (!(percent > 0.0)) return 0;
    return percent >= 100.0 ? 100 : static_cast<int>(percent);
}

void CDupProgPage::UpdateProgress(int32_t filesFound, int32_t duplicateFiles, double progress, const std::wstring& path) {
    if (!IsWindow()) return;
    ::SendDlgItemMessageW(*this, IDC_DUP_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(BarPosition(progress)), 0);
    const std::wstring texts[] = {Format(307, path.c_str()), Format(308, filesFound), Format(309, duplicateFiles)};
    CThemeLabel* labels[] = {&path_, &found_, &duplicates_};
    for (int i = 0; i < 3; ++i) {
        if (!labels[i]->IsWindow() || labels[i]->GetWindowText() == texts[i]) continue;
        labels[i]->SetWindowText(texts[i]);
        labels[i]->Invalidate();
    }
}

bool CDupProgPage::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_DUP_STOP || code != BN_CLICKED) return false;
    // The page stays until the scanner reports the end.
    finder_.CancelScan();
    return true;
}

bool CDupProgPage::OnSize(UINT, int w, int h) {
    const int right = w - 10;
    Place(group_, 10, 100, right - 10, 150);
    Place(::GetDlgItem(*this, IDC_DUP_PROGRESS), 28, 132, right - 46, 22);
    Place(path_, 28, 166, right - 46, 22);
    Place(found_, 28, 192, right - 46, 22);
    Place(duplicates_, 28, 218, right - 46, 22);
    Place(stopButton_, right - 140, std::max(262, h - 46), 140, 36);
    return false;
}
