// CSettingsPage: the settings tab's hub with its two buttons (general settings, defrag schedule).
#pragma once
#include <windows.h>

#include <functional>

#include "framework/ToolTip.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

namespace zyr::settingspages {

class CSettingsPage : public CBaseDlg {
public:
    // What the buttons ask of the main window: show a page on the settings tab.
    struct Navigation {
        std::function<void()> showGeneralSettings;
        std::function<void()> showSchedule;
    };

    // `parent`: the frame object, whose window must exist at CreatePage.
    CSettingsPage(CWnd* parent, Navigation navigation);
    CSettingsPage(HWND parent, Navigation navigation);

    // False when the header picture is missing (the caller shows text 263 and ends the process).
    bool HeaderLoaded() const { return headerLoaded_; }
    CGlassButton& GeneralButton() { return generalButton_; }
    CGlassButton& ScheduleButton() { return scheduleButton_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSize(UINT type, int width, int height) override;

private:
    void Layout(int width);

    Navigation navigation_;
    CGlassButton generalButton_, scheduleButton_;
    CToolTip toolTip_;
    bool headerLoaded_ = false;
};

}  // namespace zyr::settingspages
