// CPendingPage: a header and a short note in place of a page not built yet.
#include "app/PendingPage.h"
#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "skin/Skin.h"

CPendingPage::CPendingPage(CMainFrame& frame, PendingPageSpec spec)
    : CBaseDlg(IDD_PENDING_PAGE, &frame), frame_(frame), spec_(std::move(spec)) {}

std::wstring CPendingPage::GetButtonName() { return spec_.nameText ? ShellText(spec_.nameText) : L""; }

std::wstring CPendingPage::GetButtonTooltip() { return spec_.tooltipText ? ShellText(spec_.tooltipText) : L""; }

void CPendingPage::OnButtonClick() { frame_.ShowPageOnTab(spec_.tab, *this); }

bool CPendingPage::OnInitDialog() {
    SetWindowText(ShellText(128));
    SetHeader(spec_.headerImage, spec_.headerTitleText ? ShellText(spec_.headerTitleText) : GetButtonName(),
              spec_.headerSubtitleText ? ShellText(spec_.headerSubtitleText) : GetButtonTooltip());
    if (spec_.tab != 2 || spec_.nameText) {
        ShowHeaderButtons(true);
        EnableHeaderButtons(true, false);
    }
    return true;
}

void CPendingPage::OnBack() { frame_.ShowPageOnTab(spec_.tab, frame_.TabMainPage(spec_.tab)); }

void CPendingPage::PaintContent(Gdiplus::Graphics& g) {
    const RECT client = ClientRect();
    const std::wstring note = ShellText(IDS_PENDING_NOTE);
    DrawSkinText(g, Gdiplus::RectF(25, 120, static_cast<float>(client.right - 50), 60), note, theSkin.subtitleFont.get(),
                 theSkin.bodyTextBrush.get());
}
