// The defrag schedule page: header, drive list and schedule list in skinned panels, three buttons.
#include "schedule/DefragSchedulePage.h"

#include "app/ProductConfiguration.h"
#include "resources/ids/schedule_ids.h"
#include "schedule/core/SchedulePageLayout.h"
#include "skin/Skin.h"
#include "skin/Toolkit.h"

#include <utility>

namespace zyr::schedule {
namespace {

constexpr wchar_t kHeaderImage[] = L"images/buttons and headers/settings_defrag_schedule.png";
constexpr wchar_t kButtonImage[] = L"images/buttons and headers/button_defrag_schedule.png";

RECT ToRect(const PageRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
PageRect ToPageRect(const RECT& r) { return PageRect{r.left, r.top, r.right, r.bottom}; }

void Place(HWND control, const PageRect& r) {
    if (control) MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

int WidthOf(HWND control, int fallback) {
    RECT r{};
    if (!control || !GetWindowRect(control, &r)) return fallback;
    return r.right - r.left;
}

}  // namespace

CDefragSchedulePage::CDefragSchedulePage(HWND parent, Navigation navigation)
    : CBaseDlg(IDD_DEFRAG_SCHEDULE_PAGE, parent), navigation_(std::move(navigation)) {
    LoadHeader();
}

CDefragSchedulePage::CDefragSchedulePage(CWnd* frame, Navigation navigation)
    : CBaseDlg(IDD_DEFRAG_SCHEDULE_PAGE, frame), navigation_(std::move(navigation)) {
    LoadHeader();
}

void CDefragSchedulePage::LoadHeader() {
    SkinImage header = LoadSkinImage(nullptr, kHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), config::LoadText(IDS_SCHEDULE_PAGE_TITLE), config::LoadText(IDS_SCHEDULE_PAGE_SUBTITLE));
    ShowHeaderButtons(true);
    EnableHeaderButtons(true, false);
    homeText_ = config::LoadText(IDS_SCHEDULE_HOME_TEXT);
}

std::wstring CDefragSchedulePage::GetButtonName() { return config::LoadText(IDS_SCHEDULE_HOME_TITLE); }
std::wstring CDefragSchedulePage::GetButtonImage() { return kButtonImage; }
std::wstring CDefragSchedulePage::GetButtonImageOver() { return kButtonImage; }
std::wstring CDefragSchedulePage::GetButtonTooltip() { return homeText_; }

void CDefragSchedulePage::OnButtonClick() {
    if (navigation_.showSchedulePage) navigation_.showSchedulePage();
}

void CDefragSchedulePage::OnBack() {
    if (navigation_.showSettingsPage) navigation_.showSettingsPage();
}

bool CDefragSchedulePage::OnInitDialog() {
    HWND page = GetSafeHwnd();
    // The buttons keep the widths their template gives them.
    addWidth_ = WidthOf(GetDlgItem(page, IDC_SCHEDULE_ADD), addWidth_);
    editWidth_ = WidthOf(GetDlgItem(page, IDC_SCHEDULE_EDIT), editWidth_);
    deleteWidth_ = WidthOf(GetDlgItem(page, IDC_SCHEDULE_DELETE), deleteWidth_);
    addButton_.SubclassDlgItem(IDC_SCHEDULE_ADD, page);
    editButton_.SubclassDlgItem(IDC_SCHEDULE_EDIT, page);
    deleteButton_.SubclassDlgItem(IDC_SCHEDULE_DELETE, page);
    logic_.Initialize(page, ListFixedDrives());
    RECT client = ClientRect();
    LayoutPanels(client.right);
    return true;
}

bool CDefragSchedulePage::OnCommand(UINT id, UINT code, HWND control) {
    return logic_.OnCommand(MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

bool CDefragSchedulePage::OnNotify(NMHDR* header, LRESULT& result) {
    if (!header || !logic_.OnNotify(*header)) return false;
    result = 0;
    return true;
}

bool CDefragSchedulePage::OnSize(UINT, int width, int) {
    LayoutPanels(width);
    return false;  // the base repaints
}

LRESULT CDefragSchedulePage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW && wp) LayoutPanels(ClientRect().right);
    return CBaseDlg::WindowProc(msg, wp, lp);
}

void CDefragSchedulePage::LayoutPanels(int width) {
    if (!logic_.scheduleList()) return;
    SchedulePageLayout layout = schedule::LayoutPanels(
        width, [](const PageRect& panel) { return ToPageRect(DrawPanel(nullptr, ToRect(panel), true, true)); },
        addWidth_, editWidth_, deleteWidth_);
    drivesPanel_ = ToRect(layout.drivesPanel);
    schedulesPanel_ = ToRect(layout.schedulesPanel);
    Place(logic_.driveList(), layout.driveList);
    Place(logic_.scheduleList(), layout.scheduleList);
    Place(addButton_.GetSafeHwnd(), layout.addButton);
    Place(editButton_.GetSafeHwnd(), layout.editButton);
    Place(deleteButton_.GetSafeHwnd(), layout.deleteButton);
    Invalidate();
}

void CDefragSchedulePage::PaintContent(Gdiplus::Graphics& g) {
    if (schedulesPanel_.right <= schedulesPanel_.left) return;
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    // Both panels, each with its caption in the band.
    const std::pair<const RECT*, UINT> panels[] = {{&drivesPanel_, IDS_SCHEDULE_DRIVES_CAPTION},
                                                   {&schedulesPanel_, IDS_SCHEDULE_LIST_CAPTION}};
    for (const auto& [panel, caption] : panels) {
        const RECT inner = DrawPanel(&g, *panel, true, true);
        const float bandHeight = static_cast<float>(inner.top - panel->top - 4);
        DrawSkinText(g,
                     Gdiplus::RectF(static_cast<float>(panel->left + 12), static_cast<float>(panel->top) + 6,
                                    static_cast<float>(panel->right - panel->left - 24), bandHeight - 6),
                     config::LoadText(caption), theSkin.textBoldFont.get(), theSkin.bodyTextBrush.get());
    }
}

}  // namespace zyr::schedule
