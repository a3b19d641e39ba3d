// CClusterView: painting, sizing and the calls of the page's two threads.
#include "defragui/ClusterView.h"

#include "framework/Gdi.h"
#include "framework/ResourceInstance.h"
#include "skin/Skin.h"

#include <mutex>
#include <vector>

using namespace Gdiplus;

namespace zyr::defragui {
namespace {

constexpr wchar_t kClassName[] = L"ZyrClusterView";

bool RegisterViewClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

CClusterView::CClusterView()
    : fragmentedImage(LoadSkinImage(nullptr, L"images/defrag/c_frag.png")),
      unfragmentedImage(LoadSkinImage(nullptr, L"images/defrag/c_unfrag.png")),
      unmovableImage(LoadSkinImage(nullptr, L"images/defrag/c_unmove.png")),
      unknownImage(LoadSkinImage(nullptr, L"images/defrag/c_unknown.png")) {}

bool CClusterView::Create(HWND parent, const RECT& rect, UINT id) {
    if (!RegisterViewClass()) return false;
    return CreateEx(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, rect, parent, id);
}

void CClusterView::Redraw() {
    if (IsWindow()) ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CClusterView::ResetMap() {
    model_.Reset();
    Redraw();
}

void CClusterView::InitFromAnalysis(const engine::VolumeAnalysis& analysis) {
    const auto& bitmap = analysis.bitmap;
    const int64_t size = bitmap.BitmapSize();
    const uint8_t* bits = bitmap.Empty() ? nullptr : reinterpret_cast<const uint8_t*>(bitmap.Words());
    const size_t bytes = bits ? static_cast<size_t>((size + 7) / 8) : 0;
    {
        std::lock_guard guard(model_.lock());
        jobFinished = false;
        model_.InitFromBitmap(bitmap.StartingLcn(), size, std::span<const uint8_t>(bits, bytes));
    }
    // Called on the worker, which never touches windows: the next merge repaints.
}

void CClusterView::QueueExtents(const engine::RunList& runs, bool added) {
    std::vector<MapRun> mapRuns;
    mapRuns.reserve(runs.ExtentCount());
    for (uint32_t i = 0; i < runs.ExtentCount(); ++i) {
        const auto extent = runs.Extent(i);
        mapRuns.push_back(MapRun{extent.NextVcn, extent.Lcn});
    }
    model_.QueueExtents(runs.StartingVcn(), mapRuns, added);
}

void CClusterView::MergeExtents() {
    model_.MergeExtents();
    Redraw();
}

Image* CClusterView::ImageFor(const VISUAL_CLUSTER_STRUCT& cell) const {
    if (cell.state == 3) return fragmentedImage.get();
    if (cell.state == 2) return unfragmentedImage.get();
    if (cell.usedClusters > 0) return jobFinished ? unmovableImage.get() : unknownImage.get();
    return nullptr;
}

void CClusterView::Paint() {
    PaintDc paint(*this);
    const RECT client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0) return;
    HDC memory = ::CreateCompatibleDC(paint);
    if (!memory) return;
    GdiBitmap surface(::CreateCompatibleBitmap(paint, client.right, client.bottom));
    if (surface) {
        ScopedSelect selected(memory, surface.get());
        {
            Graphics g(memory);
            g.Clear(Color(255, 255, 255, 255));
            // Whole-pixel cells: no smoothing or interpolation blurs their edges.
            g.SetInterpolationMode(InterpolationModeNearestNeighbor);
            g.SetPixelOffsetMode(PixelOffsetModeHalf);
            if (showMap) {
                std::lock_guard guard(model_.lock());
                const auto& cells = model_.visualCells();
                const int columns = model_.columns();
                for (size_t i = 0; columns > 0 && i < cells.size(); ++i) {
                    Image* image = ImageFor(cells[i]);
                    if (!image) continue;
                    const int c = static_cast<int>(i % columns), r = static_cast<int>(i / columns);
                    g.DrawImage(image, Rect(cellGap + c * (cellSize + cellGap), cellGap + r * (cellSize + cellGap),
                                            cellSize, cellSize));
                }
            }
        }
        ::BitBlt(paint, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    ::DeleteDC(memory);
}

int CClusterView::LegendHeight(Graphics& g) {
    return static_cast<int>(MeasureSkinText(g, L"Ag", theSkin.textFont.get()).Height + 0.5f);
}

void CClusterView::DrawLegend(Graphics& g, int x, int y, int width) {
    struct Item {
        Image* image;
        UINT text;
    };
    const Item items[] = {{nullptr, 267}, {unknownImage.get(), 268}, {unfragmentedImage.get(), 270},
                          {fragmentedImage.get(), 271}, {unmovableImage.get(), 272}};
    std::wstring texts[5];
    float widths[5]{}, textWidth = 0, textHeight = 0;
    for (int i = 0; i < 5; ++i) {
        texts[i] = ::LoadResourceString(items[i].text);
        const SizeF size = MeasureSkinText(g, texts[i], theSkin.textFont.get());
        widths[i] = size.Width;
        textWidth += size.Width;
        if (size.Height > textHeight) textHeight = size.Height;
    }
    float left = static_cast<float>(x) + (static_cast<float>(width) - 5 * cellSize - textWidth - 65) / 2;
    const int squareY = y + static_cast<int>((textHeight - cellSize) / 2);
    SolidBrush white(Color(255, 255, 255, 255));
    Pen border(Color(255, 160, 160, 160), 1);
    for (int i = 0; i < 5; ++i) {
        const int sx = static_cast<int>(left);
        if (items[i].image)
            g.DrawImage(items[i].image, Rect(sx, squareY, cellSize, cellSize));
        else {
            g.FillRectangle(&white, Rect(sx, squareY, cellSize, cellSize));
            g.DrawRectangle(&border, Rect(sx, squareY, cellSize - 1, cellSize - 1));
        }
        left += cellSize + 5;
        // A little more room than measured: the drawing format may wrap a text measured tightly.
        DrawSkinText(g, RectF(left, static_cast<float>(y), widths[i] + 10, textHeight), texts[i],
                     theSkin.textFont.get(), theSkin.bodyTextBrush.get());
        left += widths[i] + 10;
    }
}

LRESULT CClusterView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(theSkin.clientGdiBrush);
    case WM_SIZE: {
        const int step = cellSize + cellGap;
        model_.SetGrid(LOWORD(lp) / step, HIWORD(lp) / step);
        Invalidate();
        return 0;
    }
    }
    return CWnd::WindowProc(msg, wp, lp);
}

}  // namespace zyr::defragui
