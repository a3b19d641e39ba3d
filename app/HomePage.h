// CHomePage: the first tab: the start button and three page shortcuts.
#pragma once
#include <array>
#include "framework/ToolTip.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

class CMainFrame;

class CHomePage : public CBaseDlg {
public:
    explicit CHomePage(CMainFrame& frame);
    // Places the controls for a client area of w x h.
    void Layout(int w, int h);
    CGlassButton& StartButton() { return startButton; }
    CGlassButton& HomeButton(size_t i) { return homeButtons[i]; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSize(UINT type, int width, int height) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CMainFrame& frame_;
    CGlassButton startButton;
    std::array<CGlassButton, 3> homeButtons;
    CToolTip toolTip;
};
