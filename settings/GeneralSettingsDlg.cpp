// CGeneralSettingsDlg: loading and applying the options, the limit field's delayed apply, layout.
#include "settings/GeneralSettingsDlg.h"

#include <algorithm>

#include "app/ProductConfiguration.h"
#include "app/SettingsValues.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/frame_ids.h"
#include "resources/ids/settings_ids.h"
#include "schedule/ScheduledTasks.h"
#include "settings/core/WarningLimit.h"
#include "skin/Skin.h"

namespace zyr::settingspages {
namespace {

constexpr wchar_t kHeaderImage[] = L"images/buttons and headers/settings_general.png";
constexpr wchar_t kButtonImage[] = L"images/buttons and headers/button_generalsettings.png";

constexpr UINT kCheckBoxIds[5] = {IDC_GENERAL_CONFIRM_EXIT, IDC_GENERAL_MINIMIZE_ON_EXIT, IDC_GENERAL_LAUNCH_ON_STARTUP,
                                  IDC_GENERAL_SHOW_MESSAGES, IDC_GENERAL_SHOW_DEFRAG_WARNING};

// Layout in pixels.
constexpr int kMargin = 25, kTop = 105, kPanelGap = 12, kRowHeight = 22, kRowStep = 28, kIndent = 22;
constexpr int kFieldWidth = 44, kFieldHeight = 22;

void ReplaceAll(std::wstring& text, const std::wstring& what, const std::wstring& with) {
    if (what.empty()) return;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// The width a check box needs for its box and text as it draws them (GDI+ in the control's
// font), so that its focus frame hugs the text.
int CheckBoxWidth(HWND box, int available) {
    if (!box) return available;
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(box, text, 256);
    LOGFONTW logFont{};
    HFONT handle = reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0));
    if (!handle || !::GetObjectW(handle, sizeof(logFont), &logFont)) return available;
    HDC dc = ::GetDC(box);
    Gdiplus::RectF bounds;
    {
        Gdiplus::Graphics g(dc);
        Gdiplus::Font font(dc, &logFont);
        g.MeasureString(text, length, &font, Gdiplus::PointF(0, 0), &bounds);
    }
    ::ReleaseDC(box, dc);
    return std::min(available, static_cast<int>(bounds.Width + 0.99f) + ::GetSystemMetrics(SM_CXMENUCHECK) + 4 + 8);
}

// Points of the page's dialog font, so that labels match the check boxes.
int DialogFontPoints(HWND page) {
    LOGFONTW font{};
    HFONT handle = reinterpret_cast<HFONT>(::SendMessageW(page, WM_GETFONT, 0, 0));
    if (!handle || !::GetObjectW(handle, sizeof(font), &font) || font.lfHeight == 0) return 9;
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, dpi);
}

}  // namespace

CGeneralSettingsDlg::CGeneralSettingsDlg(CWnd* parent, Navigation navigation)
    : CBaseDlg(IDD_GENERAL_SETTINGS, parent), navigation_(std::move(navigation)), launch_(&schedule::SetLaunchOnStartup) {}

CGeneralSettingsDlg::CGeneralSettingsDlg(HWND parent, Navigation navigation)
    : CBaseDlg(IDD_GENERAL_SETTINGS, parent), navigation_(std::move(navigation)), launch_(&schedule::SetLaunchOnStartup) {}

std::wstring CGeneralSettingsDlg::GetButtonName() { return config::LoadText(IDS_NAME_GENERAL_SETTINGS); }
std::wstring CGeneralSettingsDlg::GetButtonImage() { return kButtonImage; }
std::wstring CGeneralSettingsDlg::GetButtonImageOver() { return kButtonImage; }
std::wstring CGeneralSettingsDlg::GetButtonTooltip() { return config::LoadText(IDS_TIP_GENERAL_SETTINGS); }

void CGeneralSettingsDlg::OnButtonClick() {
    if (navigation_.showThisPage) navigation_.showThisPage();
}

void CGeneralSettingsDlg::OnBack() {
    if (navigation_.showSettingsPage) navigation_.showSettingsPage();
}

bool CGeneralSettingsDlg::OnInitDialog() {
    SetWindowText(config::LoadText(128));
    SkinImage header = LoadSkinImage(nullptr, kHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), config::LoadText(IDS_GENERAL_TITLE), config::LoadText(IDS_GENERAL_SUBTITLE));
    ShowHeaderButtons(true);
    EnableHeaderButtons(true, false);
    panelTitles_ = {config::LoadText(IDS_GENERAL_GROUP_CLOSE), config::LoadText(IDS_GENERAL_GROUP_START),
                    config::LoadText(IDS_GENERAL_GROUP_REMINDER)};
    const std::wstring product = config::AppName();
    for (size_t i = 0; i < checkBoxes_.size(); ++i) {
        if (!checkBoxes_[i].SubclassDlgItem(kCheckBoxIds[i], *this)) continue;
        // The template's texts may name the product.
        std::wstring text = checkBoxes_[i].GetWindowText();
        ReplaceAll(text, L"%APPNAME%", product);
        checkBoxes_[i].SetWindowText(text);
    }
    const int points = DialogFontPoints(*this);
    for (CThemeLabel* label : {&limitLabel_, &unitLabel_}) {
        if (!label->SubclassDlgItem(label == &limitLabel_ ? IDC_GENERAL_LIMIT_LABEL : IDC_GENERAL_LIMIT_UNIT, *this)) continue;
        label->SetFont(points, false);
        label->textColor = theSkin.body_text;
    }
    Layout(ClientRect().right);
    LoadSettings();
    return true;
}

bool CGeneralSettingsDlg::IsChecked(UINT id) const {
    return ::IsDlgButtonChecked(GetSafeHwnd(), static_cast<int>(id)) == BST_CHECKED;
}

void CGeneralSettingsDlg::SetChecked(UINT id, bool checked) {
    ::CheckDlgButton(GetSafeHwnd(), static_cast<int>(id), checked ? BST_CHECKED : BST_UNCHECKED);
}

void CGeneralSettingsDlg::SetLimitField(int limit) {
    settingField_ = true;
    ::SetDlgItemTextW(GetSafeHwnd(), IDC_GENERAL_WARNING_LIMIT, std::to_wstring(limit).c_str());
    settingField_ = false;
}

void CGeneralSettingsDlg::LoadSettings() {
    if (!IsWindow()) return;
    const int confirmExit = settings::Read(settings::ConfirmExit);
    const int minimizeOnExit = settings::Read(settings::MinimizeOnExitSettings);
    const int launchOnStartup = settings::Read(settings::LaunchOnStartup);
    const int showMessages = settings::Read(settings::ShowMessages);
    const int showDefragWarning = settings::Read(settings::ShowDefragWarning);
    ::EnableWindow(::GetDlgItem(*this, IDC_GENERAL_MINIMIZE_ON_EXIT), confirmExit == 0);
    SetChecked(IDC_GENERAL_CONFIRM_EXIT, confirmExit != 0);
    SetChecked(IDC_GENERAL_MINIMIZE_ON_EXIT, minimizeOnExit != 0);
    SetChecked(IDC_GENERAL_LAUNCH_ON_STARTUP, launchOnStartup != 0);
    SetChecked(IDC_GENERAL_SHOW_MESSAGES, showMessages != 0);
    SetChecked(IDC_GENERAL_SHOW_DEFRAG_WARNING, showDefragWarning != 0);
    SetLimitField(settings::Read(settings::DefragWarningLimit));
}

void CGeneralSettingsDlg::Apply() {
    if (!IsWindow()) return;
    const bool confirmExit = IsChecked(IDC_GENERAL_CONFIRM_EXIT);
    settings::Write(settings::ConfirmExit, confirmExit ? 1 : 0);
    ::EnableWindow(::GetDlgItem(*this, IDC_GENERAL_MINIMIZE_ON_EXIT), !confirmExit);
    settings::Write(settings::MinimizeOnExitSettings, IsChecked(IDC_GENERAL_MINIMIZE_ON_EXIT) ? 1 : 0);
    settings::Write(settings::ShowMessages, IsChecked(IDC_GENERAL_SHOW_MESSAGES) ? 1 : 0);
    settings::Write(settings::ShowDefragWarning, IsChecked(IDC_GENERAL_SHOW_DEFRAG_WARNING) ? 1 : 0);
    wchar_t text[kWarningLimitChars + 1] = {};
    ::GetDlgItemTextW(*this, IDC_GENERAL_WARNING_LIMIT, text, static_cast<int>(std::size(text)));
    const int limit = ParseWarningLimit(text);
    if (IsValidWarningLimit(limit)) {
        settings::Write(settings::DefragWarningLimit, limit);
        return;
    }
    ShowMessageBox(::GetAncestor(*this, GA_ROOT), config::LoadText(IDS_BAD_WARNING_LIMIT), LoadResourceString(0xE000),
                   MB_OK | MB_ICONSTOP);
    SetLimitField(settings::Read(settings::DefragWarningLimit));
}

void CGeneralSettingsDlg::ApplyLaunchOnStartup(bool launch) {
    if (launch_(launch)) return;
    // The box shows what the logon task really does, and the user learns why it did not change.
    SetChecked(IDC_GENERAL_LAUNCH_ON_STARTUP, settings::Read(settings::LaunchOnStartup) != 0);
    ShowMessageBox(::GetAncestor(*this, GA_ROOT), config::LoadText(IDS_LOGON_TASK_FAILED), LoadResourceString(0xE000),
                   MB_OK | MB_ICONWARNING);
}

bool CGeneralSettingsDlg::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_GENERAL_CONFIRM_EXIT:
    case IDC_GENERAL_MINIMIZE_ON_EXIT:
    case IDC_GENERAL_SHOW_MESSAGES:
    case IDC_GENERAL_SHOW_DEFRAG_WARNING:
        if (code != BN_CLICKED) return false;
        Apply();
        return true;
    case IDC_GENERAL_LAUNCH_ON_STARTUP:
        if (code != BN_CLICKED) return false;
        if (launch_) ApplyLaunchOnStartup(IsChecked(IDC_GENERAL_LAUNCH_ON_STARTUP));
        return true;
    case IDC_GENERAL_WARNING_LIMIT:
        if (code != EN_CHANGE || settingField_) return false;
        // Typing several digits applies once, after the last of them.
        SetTimer(kApplyTimer, kApplyDelayMs);
        return true;
    default:
        return false;
    }
}

bool CGeneralSettingsDlg::OnTimer(UINT_PTR id) {
    if (id != kApplyTimer) return false;
    KillTimer(kApplyTimer);
    Apply();
    return true;
}

LRESULT CGeneralSettingsDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW && wp) LoadSettings();
    return CBaseDlg::WindowProc(msg, wp, lp);
}

bool CGeneralSettingsDlg::OnSize(UINT, int width, int) {
    Layout(width);
    return false;
}

void CGeneralSettingsDlg::Layout(int w) {
    const int rows[3] = {2, 2, 2};
    int top = kTop;
    for (size_t i = 0; i < panels_.size(); ++i) {
        RECT panel{kMargin, top, w - kMargin, 0};
        panel.bottom = panel.top + 28 + 4 + 10 + rows[i] * kRowStep + 4;
        panels_[i] = panel;
        top = panel.bottom + kPanelGap;
    }
    auto place = [&](HWND control, int x, int y, int width, int height) {
        if (control) ::MoveWindow(control, x, y, width, height, FALSE);
    };
    auto rowTop = [&](size_t panel, int row) {
        const RECT inner = DrawPanel(nullptr, panels_[panel], true, true);
        return static_cast<int>(inner.top + 8 + row * kRowStep);
    };
    const RECT inner = DrawPanel(nullptr, panels_[0], true, true);
    const int x = inner.left + 14;
    const int width = inner.right - 14 - x;
    HWND page = GetSafeHwnd();
    auto placeBox = [&](UINT id, int left, int top) {
        HWND box = ::GetDlgItem(page, static_cast<int>(id));
        place(box, left, top, CheckBoxWidth(box, x + width - left), kRowHeight);
    };
    placeBox(IDC_GENERAL_CONFIRM_EXIT, x, rowTop(0, 0));
    placeBox(IDC_GENERAL_MINIMIZE_ON_EXIT, x + kIndent, rowTop(0, 1));
    placeBox(IDC_GENERAL_LAUNCH_ON_STARTUP, x, rowTop(1, 0));
    placeBox(IDC_GENERAL_SHOW_MESSAGES, x, rowTop(1, 1));
    placeBox(IDC_GENERAL_SHOW_DEFRAG_WARNING, x, rowTop(2, 0));
    // "Remind me when ... at least [ 3 ] %", indented under the reminder's check box and
    // centred on the field's line.
    const int lineTop = rowTop(2, 1);
    const int textLeft = x + kIndent + ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
    const SIZE label = limitLabel_.IsWindow() ? limitLabel_.MeasureText() : SIZE{280, 16};
    const SIZE unit = unitLabel_.IsWindow() ? unitLabel_.MeasureText() : SIZE{16, 16};
    const int labelTop = lineTop + (kFieldHeight - static_cast<int>(label.cy)) / 2;
    // Labels draw with the layout's padding that the measure leaves out.
    constexpr int kLabelSlack = 12;
    place(limitLabel_, textLeft, labelTop, label.cx + kLabelSlack, label.cy);
    const int fieldLeft = textLeft + static_cast<int>(label.cx) + kLabelSlack;
    place(::GetDlgItem(page, IDC_GENERAL_WARNING_LIMIT), fieldLeft, lineTop, kFieldWidth, kFieldHeight);
    place(unitLabel_, fieldLeft + kFieldWidth + 4, labelTop, unit.cx + kLabelSlack, unit.cy);
    Invalidate();
}

void CGeneralSettingsDlg::PaintContent(Gdiplus::Graphics& g) {
    for (size_t i = 0; i < panels_.size(); ++i) {
        if (panels_[i].bottom <= panels_[i].top) continue;
        DrawPanel(&g, panels_[i], true, true);
        const Gdiplus::RectF band(static_cast<float>(panels_[i].left + 14), static_cast<float>(panels_[i].top),
                                  static_cast<float>(panels_[i].right - panels_[i].left - 28), 28.0f);
        DrawSkinText(g, band, panelTitles_[i], theSkin.textBoldFont.get(), theSkin.bodyTextBrush.get(),
                     Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    }
}

}  // namespace zyr::settingspages
