// CPendingPage: a header and a short note in place of a page not built yet.
#include "app/PendingPage.h"
#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "skin/Skin.h"

CPendingPage::CPendingPage(CMainFrame& frame, PendingPageInfo info)
    : CBaseDlg(IDD_PENDING_PAGE, &frame), frame_(frame), info_(std::move(info)) {}

std::wstring CPendingPage::GetButtonName() { return info_.nameText ? ShellText(info_.nameText) : L""; }

std::wstring CPendingPage::GetButtonTooltip() { return info_.tooltipText ? ShellText(info_.tooltipText) : L""; }

void CPendingPage::OnButtonClick() { frame_.ShowPageOnTab(info_.tab, *this); }

bool CPendingPage::OnInitDialog() {
    SetWindowText(ShellText(128));
    SetHeader(info_.headerImage, info_.headerTitleText ? ShellText(info_.headerTitleText) : GetButtonName(),
              info_.headerSubtitleText ? ShellText(info_.headerSubtitleText) : GetButtonTooltip());
    if (info_.tab != 2 || info_.nameText) {
        ShowHeaderButtons(true);
        EnableHeaderButtons(true, false);
    }
    return true;
}

void CPendingPage::OnBack() { frame_.ShowPageOnTab(info_.tab, frame_.TabMainPage(info_.tab)); }

void CPendingPage::PaintContent(Gdiplus::Graphics& g) {
    const RECT client = ClientRect();
    const std::wstring note = ShellText(IDS_PENDING_NOTE);
    DrawSkinText(g, Gdiplus::RectF(25, 120, static_cast<float>(client.right - 50), 60), note, theSkin.subtitleFont.get(),
                 theSkin.bodyTextBrush.get());
}
