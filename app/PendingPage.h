// CPendingPage: holds the place of a page whose own class is not built yet.
#pragma once
#include <string>
#include "app/IHomePageButton.h"
#include "skin/BaseDlg.h"

class CMainFrame;

// What the stand-in shows and offers on the home page; each real page replaces its
// stand-in in CMainFrame (MainFrame.h) and takes over these values from its own Part.
struct PendingPageInfo {
    unsigned nameText = 0;          // home-button name (0: not a home button)
    std::wstring buttonImage;
    unsigned tooltipText = 0;
    std::wstring headerImage;
    unsigned headerTitleText = 0;
    unsigned headerSubtitleText = 0;
    int tab = 1;                    // the tab the page belongs to
};

class CPendingPage : public CBaseDlg, public IHomePageButton {
public:
    CPendingPage(CMainFrame& frame, PendingPageInfo info);

    std::wstring GetButtonName() override;
    std::wstring GetButtonImage() override { return info_.buttonImage; }
    std::wstring GetButtonImageOver() override { return info_.buttonImage; }
    std::wstring GetButtonTooltip() override;
    void OnButtonClick() override;

protected:
    bool OnInitDialog() override;
    void PaintContent(Gdiplus::Graphics& g) override;
    void OnBack() override;

private:
    CMainFrame& frame_;
    PendingPageInfo info_;
};
