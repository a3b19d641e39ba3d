// The restore page: list of restore points, create, delete, restore and restart.
#include "restore/RestorePage.h"

#include "app/ProductConfiguration.h"
#include "framework/App.h"
#include "framework/ModalUi.h"
#include "resources/ids/restore_ids.h"
#include "restore/RestoreTexts.h"
#include "restore/SystemRestart.h"

#include <commctrl.h>

#include <algorithm>

namespace zyr::restore {
namespace {

constexpr DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
constexpr int kColumns = 3;
constexpr UINT kColumnTitles[kColumns] = {IDS_RESTORE_COLUMN_DATE, IDS_RESTORE_COLUMN_DESCRIPTION,
                                          IDS_RESTORE_COLUMN_TYPE};
constexpr int kHeaderHeight = 100;

class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

const DLGTEMPLATE* FindTemplate(HINSTANCE module, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

void SetItemText(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring Caption() {
    if (fw::App() && !fw::App()->appTitle().empty()) return fw::App()->appTitle();
    return config::AppName();
}

void Move(HWND control, int x, int y, int width, int height) {
    if (control) MoveWindow(control, x, y, width, height, TRUE);
}

}  // namespace

CRestorePage::CRestorePage() : CRestorePage(std::make_unique<CSystemRestoreModule>()) {}

CRestorePage::CRestorePage(std::unique_ptr<ISystemRestoreModule> module)
    : module_(std::move(module)),
      description_(config::LoadText(IDS_RESTORE_BUTTON_TOOLTIP)),
      restart_(RestartForSystemRestore) {}

CRestorePage::~CRestorePage() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (titleFont_) DeleteObject(titleFont_);
}

bool CRestorePage::Create(HWND parent) {
    if (hwnd_) return false;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const DLGTEMPLATE* dialog = FindTemplate(fw::ResourceInstance(), IDD_RESTORE_PAGE);
    if (!dialog) return false;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog, parent, DialogProc,
                                      reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CALLBACK CRestorePage::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* page = reinterpret_cast<CRestorePage*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_INITDIALOG) {
        page = reinterpret_cast<CRestorePage*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lp);
        page->hwnd_ = hwnd;
    }
    if (!page) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = page->HandleMessage(msg, wp, lp);
    } catch (...) {
        // Nothing unwinds through the window manager.
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        page->hwnd_ = nullptr;
        page->list_ = nullptr;
    }
    return result;
}

INT_PTR CRestorePage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_SHOWWINDOW:
        if (wp) RefreshList(0);
        return FALSE;
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) return FALSE;
        switch (LOWORD(wp)) {
        case IDC_RESTORE_CREATE: OnCreatePoint(); return TRUE;
        case IDC_RESTORE_DELETE: OnDeletePoint(); return TRUE;
        case IDC_RESTORE_RESTORE: OnRestorePoint(); return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_RESTORE_LIST && header->code == LVN_ITEMCHANGED) UpdateButtons();
        return FALSE;
    }
    default:
        return FALSE;
    }
}

void CRestorePage::OnInitDialog() {
    list_ = GetDlgItem(hwnd_, IDC_RESTORE_LIST);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
    for (int i = 0; i < kColumns; ++i) {
        std::wstring title = config::LoadText(kColumnTitles[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = title.data();
        column.iSubItem = i;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    RefreshList(0);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        LOGFONTW title = metrics.lfMessageFont;
        title.lfHeight = title.lfHeight * 2;
        title.lfWeight = FW_BOLD;
        titleFont_ = CreateFontIndirectW(&title);
    }
}

bool CRestorePage::RefreshList(uint32_t waitForSequence) {
    if (!list_) return false;
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    const ULONGLONG start = GetTickCount64();
    RestorePointList points;
    bool found = waitForSequence == 0;
    for (;;) {
        Sleep(10);
        points.clear();
        module_->ListRestorePoints(points);
        found = found || std::any_of(points.begin(), points.end(), [&](const RestorePointRecord& point) {
                    return point.sequenceNumber == waitForSequence;
                });
        // A point that Windows never lists must not freeze the window: give up and show what is there.
        if (found || GetTickCount64() - start >= waitLimitMs_) break;
    }
    for (const RestorePointRecord& point : points) AddRow(point);
    SizeColumns();
    UpdateButtons();
    return found;
}

void CRestorePage::AddRow(const RestorePointRecord& record) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(record.dateText.c_str());
    item.lParam = static_cast<LPARAM>(record.sequenceNumber);
    const int row = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    SetItemText(list_, row, 1, record.description);
    const unsigned typeText = TypeTextId(record.restorePointType);
    SetItemText(list_, row, 2, typeText ? config::LoadText(typeText) : std::wstring());
}

void CRestorePage::SizeColumns() {
    // Wide enough for the content and for the title, so an empty list still shows its columns.
    for (int i = 0; i < kColumns; ++i) {
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), LVSCW_AUTOSIZE);
        const LRESULT content = SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), LVSCW_AUTOSIZE_USEHEADER);
        const LRESULT title = SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        const int width = static_cast<int>(std::max<LRESULT>(std::max(content, title), 80));
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), width);
    }
}

int CRestorePage::SelectedRow() const {
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

uint32_t CRestorePage::RowSequence(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<uint32_t>(item.lParam);
}

void CRestorePage::UpdateButtons() {
    const BOOL selected = SelectedRow() >= 0;
    EnableWindow(GetDlgItem(hwnd_, IDC_RESTORE_DELETE), selected);
    EnableWindow(GetDlgItem(hwnd_, IDC_RESTORE_RESTORE), selected);
}

int CRestorePage::Message(UINT textId, UINT flags) const {
    return fw::ShowMessageBox(hwnd_, config::LoadText(textId), Caption(), flags);
}

void CRestorePage::OnCreatePoint() {
    WaitCursor wait;
    RestorePointRecord created;
    if (module_->CreateRestorePoint(config::LoadText(IDS_RESTORE_NEW_POINT_DESCRIPTION), &created)) {
        const bool listed = RefreshList(created.sequenceNumber);
        Message(listed ? IDS_RESTORE_CREATED : IDS_RESTORE_NEW_POINT_NOT_LISTED, MB_OK | MB_ICONINFORMATION);
        return;
    }
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    Message(CreationFailedTextId(version.dwMajorVersion, version.dwMinorVersion), MB_OK);
}

void CRestorePage::OnDeletePoint() {
    const int row = SelectedRow();
    if (row < 0) {
        Message(IDS_RESTORE_SELECT_TO_DELETE, MB_OK);
        return;
    }
    if (Message(IDS_RESTORE_CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (module_->DeleteRestorePoint(RowSequence(row))) {
        SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
        UpdateButtons();
    } else {
        Message(IDS_RESTORE_DELETE_FAILED, MB_OK | MB_ICONERROR);
    }
}

void CRestorePage::OnRestorePoint() {
    const int row = SelectedRow();
    if (row < 0) {
        Message(IDS_RESTORE_SELECT_TO_RESTORE, MB_OK);
        return;
    }
    if (Message(IDS_RESTORE_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    {
        WaitCursor wait;
        if (!module_->RestoreSystem(RowSequence(row))) {
            Message(IDS_RESTORE_RESTORE_FAILED, MB_OK | MB_ICONERROR);
            return;
        }
    }
    if (restart_ && restart_()) {
        PostQuitMessage(1);  // the system restarts; the program ends
        return;
    }
    Message(IDS_RESTORE_RESTART_FAILED, MB_OK | MB_ICONINFORMATION);
}

RECT CRestorePage::ListFrame() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return RECT{1, kHeaderHeight, client.right - 1, client.bottom - 50};
}

void CRestorePage::OnSize(int cx, int cy) {
    RECT list = ListFrame();
    InflateRect(&list, -10, -10);
    Move(list_, list.left, list.top, std::max(0L, list.right - list.left), std::max(0L, list.bottom - list.top));
    Move(GetDlgItem(hwnd_, IDC_RESTORE_RESTORE), cx - 161, cy - 40, 75, 30);
    Move(GetDlgItem(hwnd_, IDC_RESTORE_DELETE), cx - 76, cy - 40, 75, 30);
    if (HWND create = GetDlgItem(hwnd_, IDC_RESTORE_CREATE)) {
        RECT own{};
        GetWindowRect(create, &own);
        Move(create, 1, cy - 40, own.right - own.left, own.bottom - own.top);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void CRestorePage::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    // Header: title and subtitle; then the framed area behind the list.
    RECT client{};
    GetClientRect(hwnd_, &client);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    std::wstring title = config::LoadText(IDS_RESTORE_HEADER_TITLE);
    std::wstring subtitle = config::LoadText(IDS_RESTORE_HEADER_SUBTITLE);
    HGDIOBJ previous = titleFont_ ? SelectObject(dc, titleFont_) : nullptr;
    RECT titleRect{16, 20, client.right - 16, 56};
    DrawTextW(dc, title.c_str(), -1, &titleRect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    if (previous) SelectObject(dc, previous);
    previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    RECT subtitleRect{16, 60, client.right - 16, kHeaderHeight - 4};
    DrawTextW(dc, subtitle.c_str(), -1, &subtitleRect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    RECT frame = ListFrame();
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    EndPaint(hwnd_, &paint);
}

std::wstring CRestorePage::GetButtonName() const { return config::LoadText(IDS_RESTORE_BUTTON_NAME); }
std::wstring CRestorePage::GetButtonImage() const { return L"images/buttons and headers/button_restore.png"; }
std::wstring CRestorePage::GetButtonImageOver() const { return GetButtonImage(); }
std::wstring CRestorePage::GetButtonTooltip() const { return description_; }

}  // namespace zyr::restore
