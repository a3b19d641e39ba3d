// CBaseFrameWnd: the skinned main-window base with tabs, caption buttons and a page area.
#pragma once
#include <windows.h>
#include "skin/GdiPlus.h"
#include <memory>
#include <string>
#include <vector>
#include "framework/Gdi.h"
#include "framework/ToolTip.h"
#include "framework/Wnd.h"
#include "skin/MemDC.h"
#include "skin/Toolkit.h"

// One tab: its icon (owned), caption, page and place.
struct TabRecord {
    SkinImage icon;
    std::wstring text;
    HWND page = nullptr;
    RECT rect{};
    int textWidth = 0;
};

// One caption button: three pictures (owned), place, command sent to the frame, tooltip.
struct CaptionButtonRecord {
    SkinImage normal, hot, pressed;
    RECT rect{};
    UINT command = 0;
    std::wstring tooltip;
};

// The whole surface is painted from the frame pictures and skin colours. Pages are child
// windows placed in the content rectangle; one is visible at a time: the page of the
// selected tab, or a loose page that belongs to no tab.
//
// Derived frames add tabs and caption buttons after creation (typically in WM_CREATE or right
// after CreateFrame) and override the virtual hooks below.
class CBaseFrameWnd : public CWnd, public CTransparentParent {
public:
    static constexpr int kMinWidth = 800;
    static constexpr int kMinHeight = 580;

    CBaseFrameWnd();
    ~CBaseFrameWnd() override;

    // Creates the frame (style 0x82CF0000) of a registered class, placed from the profile.
    bool CreateFrame(const wchar_t* className, const std::wstring& title);

    // Appends a tab; selects it when none is selected. Returns its index.
    int AddTab(const std::wstring& text, HWND page, const std::wstring& iconPath);
    int AddCaptionButton(UINT command, const std::wstring& tooltip, const std::wstring& normalPath,
                         const std::wstring& hotPath, const std::wstring& pressedPath);
    // Nothing happens when CanChangeTab() is false.
    void SelectTab(int index);
    void SelectTabRecord(TabRecord* tab);
    void SetTabPage(int index, HWND page);
    void ShowLoosePage(HWND page);
    void EnableTabs(bool enable);

    int SelectedTab() const;                 // -1 while a loose page is shown
    HWND LoosePage() const { return loosePage; }
    bool TabsEnabled() const { return tabsEnabled; }
    size_t TabCount() const { return tabs.size(); }
    const TabRecord& Tab(size_t index) const { return *tabs[index]; }
    const CaptionButtonRecord& CaptionButton(size_t index) const { return *captionButtons[index]; }
    const RECT& ContentRect() const { return contentRect; }
    const RECT& TitleRect() const { return titleRect; }
    // Where pages go: the content rectangle shrunk by 8 pixels on every side.
    RECT PageRect() const;

    CMemDCPerm* GetBackgroundDC() override { return &memDC; }

protected:
    // A busy frame asks before Windows logs off or shuts down.
    virtual bool IsBusy() { return false; }
    // Consulted before another tab is selected.
    virtual bool CanChangeTab() { return true; }
    virtual void OnTabChanged() {}
    // Windows really logs off or shuts down.
    virtual void OnEndSession() {}
    // Last painting step of the frame, on the frame's surface.
    virtual void PaintTitleArea(Gdiplus::Graphics& g, const RECT& title) {}
    // A click released inside the title rectangle (also while the tabs are disabled).
    virtual void OnTitleClick() {}

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Layout();
    void PlacePage(HWND page);

    std::vector<std::unique_ptr<TabRecord>> tabs;
    std::vector<std::unique_ptr<CaptionButtonRecord>> captionButtons;
    TabRecord* selectedTab = nullptr;
    HWND loosePage = nullptr;
    void* hotItem = nullptr;
    int hotKind = -1;     // 0 tab, 1 caption button
    int pressed = -1;
    bool captured = false;
    bool tabsEnabled = true;
    bool glassAvailable = false;
    bool compositionChanged = false;
    RECT contentRect{}, titleRect{};
    CMemDCPerm memDC;
    GdiFont windowFont;
    std::unique_ptr<Gdiplus::Font> gdipFont;
    CToolTip toolTip;

private:
    void Paint();
    void PaintTabs(Gdiplus::Graphics& g);
    void HitTest(POINT pt, void*& item, int& kind) const;
    void ClearHot();
    void SavePlacement();
    bool GlassActive() const;
    void ExtendGlass();
    int MeasureTabText(const std::wstring& text) const;

    SkinImage bg, upperLeft, upperRight, upperStretch, lowerLeft, lowerRight, lowerStretch, leftStretch, rightStretch;
    SkinImage tabLeft, tabRight, tabStretch, activeTabLeft, activeTabRight, activeTabStretch;
    HMODULE dwmapi = nullptr;
    bool placementLoaded = false;
};
