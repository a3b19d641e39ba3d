// CDefragSchedulePage: the skinned page with the drives of the scheduled defrag and the schedules.
#pragma once
#include <windows.h>

#include "app/IHomePageButton.h"
#include "schedule/SchedulePageLogic.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

#include <functional>
#include <string>

namespace zyr::schedule {

class CDefragSchedulePage : public CBaseDlg, public IHomePageButton {
public:
    // What the page asks of the main window: back to the settings page, and show this page.
    struct Navigation {
        std::function<void()> showSettingsPage;
        std::function<void()> showSchedulePage;
    };

    // On an existing parent window, or on the frame object whose window is made later.
    CDefragSchedulePage(HWND parent, Navigation navigation);
    CDefragSchedulePage(CWnd* frame, Navigation navigation);

    // False when the header picture is missing (the caller shows text 263 and ends the process).
    bool HeaderLoaded() const { return headerLoaded_; }

    // IHomePageButton
    std::wstring GetButtonName() override;
    std::wstring GetButtonImage() override;
    std::wstring GetButtonImageOver() override;
    std::wstring GetButtonTooltip() override;
    void OnButtonClick() override;

    CSchedulePageLogic& logic() { return logic_; }
    // The panels of the last layout (client coordinates).
    const RECT& drivesPanel() const { return drivesPanel_; }
    const RECT& schedulesPanel() const { return schedulesPanel_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool OnSize(UINT type, int width, int height) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintContent(Gdiplus::Graphics& g) override;
    void OnBack() override;

private:
    void LoadHeader();
    void LayoutPanels(int width);

    Navigation navigation_;
    CSchedulePageLogic logic_;
    CGlassButton addButton_, editButton_, deleteButton_;
    int addWidth_ = 75, editWidth_ = 75, deleteWidth_ = 75;
    RECT drivesPanel_{}, schedulesPanel_{};
    std::wstring homeText_;
    bool headerLoaded_ = false;
};

}  // namespace zyr::schedule
