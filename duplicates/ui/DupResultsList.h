// CDupResultsList: the grouped results window: paints the sets, scrolls, and forwards clicks.
#pragma once
#include "duplicates/list/dup_results.h"
#include "duplicates/win32/dup_shell_environment.h"
#include "framework/Wnd.h"
#include "skin/Toolkit.h"

#include <array>

class CDupResultsList : public CWnd, public IGroupListHost {
public:
    CDupResultsList(zyr::dup::ShellDupEnvironment::TextLoader loadText, std::wstring caption);
    ~CDupResultsList() override;

    // The child window (control id 999) in `rect` of `parent`, with the system message font.
    bool Create(HWND parent, const RECT& rect);
    CDupResultsCore& Core() { return core_; }
    zyr::dup::ShellDupEnvironment& Env() { return env_; }

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetVerticalBar(bool show, int maximum, int page, int position) override;
    void SetHorizontalBar(bool show, int maximum, int page, int position) override;
    void Repaint() override;
    void NotifyParent() override;
    void RepaintParent() override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint(HDC target);
    int DrawGroup(Gdiplus::Graphics& g, CRLIGroup& group, const RowRect& area, int top, int visibleBottom);
    void DrawRoot(Gdiplus::Graphics& g, CRLIRoot& root, const RowRect& area, int top, int visibleBottom);
    void DrawItem(Gdiplus::Graphics& g, CRLItem& item, const RowRect& row);
    void DrawLink(Gdiplus::Graphics& g, Gdiplus::Image* image, const std::wstring& text, const RowRect& r);
    void OnScroll(bool vertical, int code);
    // The tooltip follows the file row under the pointer: its rectangle, its full path.
    void CreateTip();
    void TrackTip(int x, int y);

    HWND tip_ = nullptr;
    RowRect tipRow_{};
    std::wstring tipText_;

    zyr::dup::ShellDupEnvironment env_;
    CDupResultsCore core_;
    HFONT font_ = nullptr;
    std::unique_ptr<Gdiplus::Font> groupFont_, summaryFont_, rootFont_, rowFont_;
    std::array<SkinImage, 5> headings_;
    SkinImage recycle_, remove_, open_;
    bool vBar_ = false, hBar_ = false;
};
