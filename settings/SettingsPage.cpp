// CSettingsPage: header, the two picture buttons centred as a pair, their clicks.
#include "settings/SettingsPage.h"

#include "app/ProductConfiguration.h"
#include "resources/ids/frame_ids.h"
#include "resources/ids/settings_ids.h"

namespace zyr::settingspages {
namespace {

constexpr wchar_t kHeaderImage[] = L"images/buttons and headers/header_settings.png";
constexpr wchar_t kFace[] = L"images/buttons and headers/button.png";
constexpr wchar_t kFaceOver[] = L"images/buttons and headers/button_over.png";
constexpr wchar_t kGeneralImage[] = L"images/buttons and headers/button_generalsettings.png";
constexpr wchar_t kScheduleImage[] = L"images/buttons and headers/button_defrag_schedule.png";
constexpr int kButtonWidth = 165, kButtonHeight = 94, kButtonTop = 147, kPairWidth = 340, kSecondOffset = 185;

}  // namespace

CSettingsPage::CSettingsPage(CWnd* parent, Navigation navigation)
    : CBaseDlg(IDD_SETTINGS_PAGE, parent), navigation_(std::move(navigation)) {}

CSettingsPage::CSettingsPage(HWND parent, Navigation navigation)
    : CBaseDlg(IDD_SETTINGS_PAGE, parent), navigation_(std::move(navigation)) {}

bool CSettingsPage::OnInitDialog() {
    SetWindowText(config::LoadText(128));
    SkinImage header = LoadSkinImage(nullptr, kHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), config::LoadText(IDS_TAB_SETTINGS), config::LoadText(IDS_SETTINGS_SUBTITLE));
    toolTip_.Create(*this);
    struct Button {
        CGlassButton& control;
        UINT id;
        const wchar_t* image;
        UINT name, tooltip;
    };
    const Button buttons[] = {
        {generalButton_, IDC_SETTINGS_GENERAL, kGeneralImage, IDS_NAME_GENERAL_SETTINGS, IDS_TIP_GENERAL_SETTINGS},
        {scheduleButton_, IDC_SETTINGS_SCHEDULE, kScheduleImage, IDS_NAME_SCHEDULE, IDS_TIP_SCHEDULE},
    };
    for (const Button& b : buttons) {
        if (!b.control.SubclassDlgItem(b.id, *this)) continue;
        b.control.SetIcon(b.image);
        b.control.SetFaceImages(kFace, kFaceOver);
        // The same names as the pages' home buttons.
        const std::wstring name = config::LoadText(b.name);
        if (!name.empty()) b.control.SetWindowText(name);
        toolTip_.AddTool(b.control, config::LoadText(b.tooltip));
    }
    Layout(ClientRect().right);
    return true;
}

void CSettingsPage::Layout(int w) {
    const int left = (w - kPairWidth) / 2;
    if (generalButton_.IsWindow())
        generalButton_.MoveWindow({left, kButtonTop, left + kButtonWidth, kButtonTop + kButtonHeight}, false);
    if (scheduleButton_.IsWindow())
        scheduleButton_.MoveWindow(
            {left + kSecondOffset, kButtonTop, left + kSecondOffset + kButtonWidth, kButtonTop + kButtonHeight}, false);
    Invalidate();
}

bool CSettingsPage::OnSize(UINT, int width, int) {
    Layout(width);
    return false;
}

bool CSettingsPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_SETTINGS_GENERAL) {
        if (navigation_.showGeneralSettings) navigation_.showGeneralSettings();
        return true;
    }
    if (id == IDC_SETTINGS_SCHEDULE) {
        if (navigation_.showSchedule) navigation_.showSchedule();
        return true;
    }
    return false;
}

}  // namespace zyr::settingspages
