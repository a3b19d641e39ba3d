// CDupProgPage: the finder's progress page: bar, current path, counters and the stop button.
#pragma once
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"
#include "skin/ThemeGroup.h"
#include "skin/ThemeLabel.h"

#include <cstdint>
#include <string>

class CDupFinderPage;

class CDupProgPage : public CBaseDlg {
public:
    explicit CDupProgPage(CDupFinderPage& finder);

    bool HeaderLoaded() const { return headerLoaded_; }
    // `progress` is the scanner's: -1 while walking, 0..1 while comparing, 100 at the end.
    void UpdateProgress(int32_t filesFound, int32_t duplicateFiles, double progress, const std::wstring& path);
    // The bar's position for a scanner progress value (0..100).
    static int BarPosition(double progress);

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSize(UINT type, int width, int height) override;

private:
    CDupFinderPage& finder_;
    CThemeGroup group_;
    CThemeLabel path_, found_, duplicates_;
    CGlassButton stopButton_;
    bool headerLoaded_ = false;
};
