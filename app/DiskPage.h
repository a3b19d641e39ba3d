// CDiskPage: the second tab: duplicate finder, restore, defrag and the two privacy cleanups.
#pragma once
#include <array>
#include "framework/ToolTip.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

class CMainFrame;

class CDiskPage : public CBaseDlg {
public:
    explicit CDiskPage(CMainFrame& frame);
    void Layout(int w);
    // False when the header picture is missing (the caller ends the process with text 263).
    bool HeaderLoaded() const { return headerLoaded_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSize(UINT type, int width, int height) override;

private:
    void AskAndClean(unsigned question, int (*work)(), unsigned done);

    CMainFrame& frame_;
    std::array<CGlassButton, 5> buttons;
    CToolTip toolTip;
    bool headerLoaded_ = false;
};
