// The restore page: list of restore points, create, delete, restore and restart.
#include "restore/RestorePage.h"

#include "app/ProductConfiguration.h"
#include "framework/App.h"
#include "framework/ModalSeam.h"
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
constexpr int kContentTop = 100;
constexpr wchar_t kHeaderImage[] = L"images/buttons and headers/header_restore.png";
constexpr wchar_t kButtonImage[] = L"images/buttons and headers/button_restore.png";

class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

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

CRestorePage::CRestorePage(CWnd* frame, Navigation navigation)
    : CBaseDlg(IDD_RESTORE_PAGE, frame),
      module_(std::make_unique<CSystemRestoreModule>()),
      description_(config::LoadText(IDS_RESTORE_BUTTON_TOOLTIP)),
      restart_(RestartForSystemRestore),
      navigation_(std::move(navigation)) {
    LoadHeader();
}

CRestorePage::CRestorePage(HWND parent) : CRestorePage(parent, std::make_unique<CSystemRestoreModule>()) {}

CRestorePage::CRestorePage(HWND parent, std::unique_ptr<ISystemRestoreModule> module)
    : CBaseDlg(IDD_RESTORE_PAGE, parent),
      module_(std::move(module)),
      description_(config::LoadText(IDS_RESTORE_BUTTON_TOOLTIP)),
      restart_(RestartForSystemRestore) {
    LoadHeader();
}

void CRestorePage::SetModule(std::unique_ptr<ISystemRestoreModule> module) {
    module_ = std::move(module);
    if (IsWindow()) RefreshList(0);
}

void CRestorePage::LoadHeader() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    SkinImage header = LoadSkinImage(nullptr, kHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), config::LoadText(IDS_RESTORE_HEADER_TITLE), config::LoadText(IDS_RESTORE_HEADER_SUBTITLE));
    ShowHeaderButtons(true);
    EnableHeaderButtons(true, false);
}

CRestorePage::~CRestorePage() {
    if (IsWindow()) DestroyWindow();
}

bool CRestorePage::OnInitDialog() {
    restoreButton_.SubclassDlgItem(IDC_RESTORE_RESTORE, *this);
    deleteButton_.SubclassDlgItem(IDC_RESTORE_DELETE, *this);
    createButton_.SubclassDlgItem(IDC_RESTORE_CREATE, *this);
    list_ = ::GetDlgItem(*this, IDC_RESTORE_LIST);
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
    for (int i = 0; i < kColumns; ++i) {
        std::wstring title = config::LoadText(kColumnTitles[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = title.data();
        column.iSubItem = i;
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    RefreshList(0);
    return true;
}

LRESULT CRestorePage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW && wp) RefreshList(0);
    return CBaseDlg::WindowProc(msg, wp, lp);
}

bool CRestorePage::OnCommand(UINT id, UINT code, HWND control) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_RESTORE_CREATE: OnCreatePoint(); return true;
    case IDC_RESTORE_DELETE: OnDeletePoint(); return true;
    case IDC_RESTORE_RESTORE: OnRestorePoint(); return true;
    default: return false;
    }
}

bool CRestorePage::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom == IDC_RESTORE_LIST && header->code == LVN_ITEMCHANGED) UpdateButtons();
    return false;
}

bool CRestorePage::RefreshList(uint32_t waitForSequence) {
    if (!list_) return false;
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
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
    const int row = static_cast<int>(::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    SetItemText(list_, row, 1, record.description);
    const unsigned typeText = TypeTextId(record.restorePointType);
    SetItemText(list_, row, 2, typeText ? config::LoadText(typeText) : std::wstring());
}

void CRestorePage::SizeColumns() {
    // Wide enough for the content and for the title, so an empty list still shows its columns.
    for (int i = 0; i < kColumns; ++i) {
        ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), LVSCW_AUTOSIZE);
        const LRESULT content = ::SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), LVSCW_AUTOSIZE_USEHEADER);
        const LRESULT title = ::SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        const int width = static_cast<int>(std::max<LRESULT>(std::max(content, title), 80));
        ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), width);
    }
}

int CRestorePage::SelectedRow() const {
    return static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

uint32_t CRestorePage::RowSequence(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<uint32_t>(item.lParam);
}

void CRestorePage::UpdateButtons() {
    const BOOL selected = SelectedRow() >= 0;
    ::EnableWindow(deleteButton_, selected);
    ::EnableWindow(restoreButton_, selected);
}

int CRestorePage::Message(UINT textId, UINT flags) const {
    return ShowMessageBox(*this, config::LoadText(textId), Caption(), flags);
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
        ::SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
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
    const RECT client = ClientRect();
    return RECT{1, kContentTop, client.right - 1, client.bottom - 50};
}

bool CRestorePage::OnSize(UINT type, int cx, int cy) {
    RECT list = ListFrame();
    InflateRect(&list, -10, -10);
    Move(list_, list.left, list.top, std::max(0L, list.right - list.left), std::max(0L, list.bottom - list.top));
    Move(restoreButton_, cx - 161, cy - 40, 75, 30);
    Move(deleteButton_, cx - 76, cy - 40, 75, 30);
    if (createButton_.GetSafeHwnd()) {
        RECT own{};
        ::GetWindowRect(createButton_, &own);
        Move(createButton_, 1, cy - 40, own.right - own.left, own.bottom - own.top);
    }
    return true;
}

void CRestorePage::PaintContent(Gdiplus::Graphics& g) {
    // The framed area behind the list.
    DrawPanel(&g, ListFrame(), true, false);
}

std::wstring CRestorePage::GetButtonName() { return config::LoadText(IDS_RESTORE_BUTTON_NAME); }
std::wstring CRestorePage::GetButtonImage() { return kButtonImage; }
std::wstring CRestorePage::GetButtonImageOver() { return GetButtonImage(); }
std::wstring CRestorePage::GetButtonTooltip() { return description_; }
void CRestorePage::OnButtonClick() {
    if (navigation_.showRestorePage) navigation_.showRestorePage();
}

void CRestorePage::OnBack() {
    if (navigation_.showDiskPage) navigation_.showDiskPage();
}

}  // namespace zyr::restore
