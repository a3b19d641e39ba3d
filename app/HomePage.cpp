// CHomePage: start button with its animation, the three chosen shortcuts, layout.
#include "app/HomePage.h"
#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "skin/Skin.h"

namespace {
constexpr int kStartFrames = 12;
}

CHomePage::CHomePage(CMainFrame& frame) : CBaseDlg(IDD_HOME_PAGE, &frame, L"logo"), frame_(frame) {}

bool CHomePage::OnInitDialog() {
    SetWindowText(ShellText(128));
    toolTip.Create(*this);
    if (startButton.SubclassDlgItem(IDC_START_BUTTON, *this)) {
        startButton.SetIcon(L"images/Start Anim/1.png");
        std::vector<SkinImage> frames;
        for (int i = 1; i <= kStartFrames; ++i)
            if (auto image = LoadSkinImage(nullptr, L"images/Start Anim/" + std::to_wstring(i) + L".png")) frames.push_back(std::move(image));
        startButton.SetFrames(std::move(frames));
        startButton.SetAnimateWhileHot(true);
        startButton.SetFaceImages(L"images/buttons and headers/startbg.png", L"images/buttons and headers/startbg_over.png");
        startButton.textColor = theSkin.starttext;
        toolTip.AddTool(startButton, ShellText(IDS_TIP_START));
    }
    for (size_t i = 0; i < homeButtons.size(); ++i) {
        CGlassButton& button = homeButtons[i];
        if (!button.SubclassDlgItem(IDC_HOME_BUTTON1 + static_cast<UINT>(i), *this)) continue;
        button.SetFaceImages(L"images/buttons and headers/button.png", L"images/buttons and headers/button_over.png");
        if (IHomePageButton* chosen = frame_.homePageManager ? frame_.homePageManager->Chosen(i) : nullptr) {
            button.SetIcon(chosen->GetButtonImage());
            button.SetWindowText(chosen->GetButtonName());
            toolTip.AddTool(button, chosen->GetButtonTooltip());
        }
    }
    const RECT client = ClientRect();
    Layout(client.right, client.bottom);
    return true;
}

void CHomePage::Layout(int w, int h) {
    if (startButton.IsWindow()) ::SetWindowPos(startButton, nullptr, w / 2 - 185, 25, 370, 234, SWP_NOZORDER | SWP_NOACTIVATE);
    for (size_t i = 0; i < homeButtons.size(); ++i)
        if (homeButtons[i].IsWindow())
            ::SetWindowPos(homeButtons[i], nullptr, w / 2 + 185 * static_cast<int>(i) - 267, h - 189, 165, 94, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

bool CHomePage::OnSize(UINT, int width, int height) {
    Layout(width, height);
    return false;
}

bool CHomePage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_START_BUTTON) {
        frame_.StartScheduledDefrag();
        return true;
    }
    if (id >= IDC_HOME_BUTTON1 && id <= IDC_HOME_BUTTON3) {
        if (IHomePageButton* chosen = frame_.homePageManager ? frame_.homePageManager->Chosen(id - IDC_HOME_BUTTON1) : nullptr)
            chosen->OnButtonClick();
        return true;
    }
    return false;
}

LRESULT CHomePage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW && wp) {
        const RECT client = ClientRect();
        Layout(client.right, client.bottom);
    }
    return CBaseDlg::WindowProc(msg, wp, lp);
}
