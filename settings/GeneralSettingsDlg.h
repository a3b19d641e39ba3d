// CGeneralSettingsDlg: the general options: closing, start-up, messages and the fragmentation reminder.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "app/IHomePageButton.h"
#include "skin/BaseDlg.h"
#include "skin/ThemeLabel.h"
#include "skin/TransButton.h"

namespace zyr::settingspages {

class CGeneralSettingsDlg : public CBaseDlg, public IHomePageButton {
public:
    static constexpr UINT_PTR kApplyTimer = 777;
    static constexpr UINT kApplyDelayMs = 350;

    struct Navigation {
        std::function<void()> showSettingsPage;  // the header's back button
        std::function<void()> showThisPage;      // the home-page button
    };
    // Creates or removes the logon task and stores "LaunchOnStartup"; the product's is the
    // scheduler's SetLaunchOnStartup.
    using LaunchOnStartupFn = std::function<bool(bool launch)>;

    CGeneralSettingsDlg(CWnd* parent, Navigation navigation);
    CGeneralSettingsDlg(HWND parent, Navigation navigation);

    // Puts the stored values into the controls (also each time the page is shown).
    void LoadSettings();
    // Stores the check boxes and, when it is from 1 to 99, the limit; otherwise says so and
    // puts the stored limit back.
    void Apply();
    void SetLaunchOnStartupFunction(LaunchOnStartupFn launch) { launch_ = std::move(launch); }

    // False when the header picture is missing (the caller shows text 263 and ends the process).
    bool HeaderLoaded() const { return headerLoaded_; }
    // Panels of the last layout (client coordinates).
    const std::array<RECT, 3>& Panels() const { return panels_; }

    // IHomePageButton
    std::wstring GetButtonName() override;
    std::wstring GetButtonImage() override;
    std::wstring GetButtonImageOver() override;
    std::wstring GetButtonTooltip() override;
    void OnButtonClick() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnSize(UINT type, int width, int height) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintContent(Gdiplus::Graphics& g) override;
    void OnBack() override;

private:
    bool IsChecked(UINT id) const;
    void SetChecked(UINT id, bool checked);
    void ApplyLaunchOnStartup(bool launch);
    void SetLimitField(int limit);
    void Layout(int width);

    Navigation navigation_;
    LaunchOnStartupFn launch_;
    std::array<CTransButton, 5> checkBoxes_;
    CThemeLabel limitLabel_, unitLabel_;
    std::array<RECT, 3> panels_{};
    std::array<std::wstring, 3> panelTitles_;
    bool settingField_ = false;  // EN_CHANGE of the page's own writes is not a user's change
    bool headerLoaded_ = false;
};

}  // namespace zyr::settingspages
