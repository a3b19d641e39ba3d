// The results page: the list of duplicate sets and the buttons that act on the checked files.
#include "duplicates/ui/DupResultsPage.h"

#include "duplicates/ui/DupFinderPage.h"
#include "duplicates/ui/FinderTexts.h"
#include "duplicates/win32/scan_settings.h"
#include "resources/ids/duplicates_ids.h"

#include <algorithm>

namespace {

constexpr int kContentTop = 100;

void Place(HWND control, int x, int y, int width, int height) {
    if (control) ::MoveWindow(control, x, y, std::max(0, width), std::max(0, height), TRUE);
}

}  // namespace

CDupResultsPage::CDupResultsPage(CDupFinderPage& finder)
    : CBaseDlg(IDD_DUP_RESULTS, &finder), finder_(finder), list_(FinderText, FinderCaption()) {
    SkinImage header = LoadSkinImage(nullptr, kDupHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), FinderText(201), FinderText(203));
    ShowHeaderButtons(true);
    EnableHeaderButtons(true, false);
}

bool CDupResultsPage::OnInitDialog() {
    HWND page = GetSafeHwnd();
    deleteButton_.SubclassDlgItem(IDC_DUP_DELETE, page);
    moveButton_.SubclassDlgItem(IDC_DUP_MOVE, page);
    selectButton_.SubclassDlgItem(IDC_DUP_SELECT_BUT_FIRST, page);
    backButton_.SubclassDlgItem(IDC_DUP_BACK, page);
    RECT list = ListFrame();
    InflateRect(&list, -10, -10);
    if (!list_.Create(page, list)) return true;
    list_.Core().ResetGroups(true);
    list_.Core().moveFolder = zyr::dup::ReadDuplicateScanOptions().moveFolder;
    ::EnableWindow(deleteButton_, FALSE);
    ::EnableWindow(moveButton_, FALSE);
    const RECT client = ClientRect();
    OnSize(0, client.right, client.bottom);
    return true;
}

void CDupResultsPage::UpdateButtons() {
    std::vector<const void*> checked;
    list_.Core().GetCheckedItems(checked);
    ::EnableWindow(deleteButton_, !checked.empty());
    ::EnableWindow(moveButton_, !checked.empty());
}

LRESULT CDupResultsPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kGroupListChangedMessage) {
        // One refresh answers every change posted so far (adding a scan's sets posts one each).
        MSG pending;
        while (::PeekMessageW(&pending, *this, kGroupListChangedMessage, kGroupListChangedMessage, PM_REMOVE)) {
        }
        UpdateButtons();
        return 0;
    }
    return CBaseDlg::WindowProc(msg, wp, lp);
}

bool CDupResultsPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_DUP_DELETE:
        list_.Core().DeleteCheckedFiles();
        UpdateButtons();
        return true;
    case IDC_DUP_MOVE:
        list_.Core().MoveCheckedFiles();
        UpdateButtons();
        return true;
    case IDC_DUP_SELECT_BUT_FIRST:
        list_.Core().SelectAllButFirst();
        PostMessage(kGroupListChangedMessage);
        return true;
    case IDC_DUP_BACK:
        finder_.GoBack();
        return true;
    default:
        return false;
    }
}

void CDupResultsPage::OnBack() { finder_.GoBack(); }

RECT CDupResultsPage::ListFrame() const {
    const RECT client = ClientRect();
    return RECT{1, kContentTop, client.right - 1, std::max<LONG>(kContentTop + 40, client.bottom - 50)};
}

bool CDupResultsPage::OnSize(UINT, int w, int h) {
    RECT list = ListFrame();
    InflateRect(&list, -10, -10);
    Place(list_, list.left, list.top, list.right - list.left, list.bottom - list.top);
    const int y = std::max(kContentTop + 50, h - 40);
    Place(backButton_, 1, y, 90, 30);
    Place(selectButton_, 97, y, 160, 30);
    Place(deleteButton_, w - 1 - 170, y, 170, 30);
    Place(moveButton_, w - 1 - 170 - 6 - 140, y, 140, 30);
    return false;
}

void CDupResultsPage::PaintContent(Gdiplus::Graphics& g) { DrawPanel(&g, ListFrame(), true, false); }
