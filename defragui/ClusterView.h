// CClusterView: the defrag page's cluster map window, drawn from a ClusterMapModel.
#pragma once
#include <windows.h>

#include "defragui/model/ClusterMapModel.h"
#include "engine/run_list.h"
#include "engine/volume_analysis.h"
#include "framework/Wnd.h"
#include "skin/GdiPlus.h"
#include "skin/Toolkit.h"

#include <string>

namespace zyr::defragui {

class CClusterView : public CWnd {
public:
    static constexpr int cellSize = 8;
    static constexpr int cellGap = 1;

    CClusterView();
    // A child window of `parent` (WS_CHILD | WS_VISIBLE | WS_BORDER).
    bool Create(HWND parent, const RECT& rect, UINT id);

    // Worker or user-interface thread; every one takes the model's lock.
    void ResetMap();
    void InitFromAnalysis(const engine::VolumeAnalysis& analysis);
    void QueueExtents(const engine::RunList& runs, bool added);
    void MergeExtents();
    // Called only after a job has ended.
    int GetFragmentationPercent() const { return model_.GetFragmentationPercent(); }
    // The legend row centred in [x, x + width) at y, on the page's surface.
    void DrawLegend(Gdiplus::Graphics& g, int x, int y, int width);
    // The legend's height (the text height).
    int LegendHeight(Gdiplus::Graphics& g);

    ClusterMapModel& model() { return model_; }
    bool jobFinished = false;
    int showMap = 1;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Redraw();
    void Paint();
    Gdiplus::Image* ImageFor(const VISUAL_CLUSTER_STRUCT& cell) const;

    ClusterMapModel model_;
    SkinImage fragmentedImage, unfragmentedImage, unmovableImage, unknownImage;
};

}  // namespace zyr::defragui
