// CBaseFrameWnd: layout, painting, tabs, caption buttons, placement and session end.
#include "skin/BaseFrameWnd.h"
#include <algorithm>
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "skin/ProfileLink.h"
#include "skin/Skin.h"

using namespace Gdiplus;

namespace {

constexpr DWORD kFrameStyle = 0x82CF0000;  // popup, clip children, caption, system menu, sizing, min/max
constexpr UINT kTextQueryEndSession = 4006;

struct Margins {
    int left, right, top, bottom;
};
using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using DwmExtendFrameFn = HRESULT(WINAPI*)(HWND, const Margins*);

bool Contains(const RECT& r, POINT pt) { return ::PtInRect(&r, pt) != FALSE; }

// Stretches a slice of the nine-slice border, sampling half a pixel inside its edges.
void DrawStretched(Graphics& g, Image* image, const RectF& to) {
    if (!image || to.Width <= 0 || to.Height <= 0) return;
    const REAL w = static_cast<REAL>(image->GetWidth()), h = static_cast<REAL>(image->GetHeight());
    // Half a pixel in along each side that has room for it; a one-pixel slice is sampled whole.
    const REAL insetX = w > 1 ? 0.5f : 0.0f, insetY = h > 1 ? 0.5f : 0.0f;
    g.DrawImage(image, to, insetX, insetY, w - 2 * insetX, h - 2 * insetY, UnitPixel);
}

void DrawNatural(Graphics& g, Image* image, REAL x, REAL y) {
    if (image) g.DrawImage(image, RectF(x, y, static_cast<REAL>(image->GetWidth()), static_cast<REAL>(image->GetHeight())));
}

REAL Width(Image* image) { return image ? static_cast<REAL>(image->GetWidth()) : 0; }
REAL Height(Image* image) { return image ? static_cast<REAL>(image->GetHeight()) : 0; }

}  // namespace

CBaseFrameWnd::CBaseFrameWnd() {
    dwmapi = ::LoadLibraryW(L"DWMAPI.dll");
    glassAvailable = dwmapi != nullptr;
    bg = LoadSkinImage(nullptr, L"images/Main/bg.png");
    upperLeft = LoadSkinImage(nullptr, L"images/Main/upper_left.png");
    upperRight = LoadSkinImage(nullptr, L"images/Main/upper_right.png");
    upperStretch = LoadSkinImage(nullptr, L"images/Main/upper_stretch.png");
    lowerLeft = LoadSkinImage(nullptr, L"images/Main/lower_left.png");
    lowerRight = LoadSkinImage(nullptr, L"images/Main/lower_right.png");
    lowerStretch = LoadSkinImage(nullptr, L"images/Main/lower_stretch.png");
    leftStretch = LoadSkinImage(nullptr, L"images/Main/left_stretch.png");
    rightStretch = LoadSkinImage(nullptr, L"images/Main/right_stretch.png");
    tabLeft = LoadSkinImage(nullptr, L"images/Main/Tabs/tab_left.png");
    tabRight = LoadSkinImage(nullptr, L"images/Main/Tabs/tab_right.png");
    tabStretch = LoadSkinImage(nullptr, L"images/Main/Tabs/tab_stretch.png");
    activeTabLeft = LoadSkinImage(nullptr, L"images/Main/Tabs/active_tab_left.png");
    activeTabRight = LoadSkinImage(nullptr, L"images/Main/Tabs/active_tab_right.png");
    activeTabStretch = LoadSkinImage(nullptr, L"images/Main/Tabs/active_tab_stretch.png");
    LOGFONTW font = MessageLogFont(FW_BOLD, -12);
    font.lfQuality = CLEARTYPE_QUALITY;
    windowFont.reset(::CreateFontIndirectW(&font));
    HDC screen = ::GetDC(nullptr);
    gdipFont = std::make_unique<Gdiplus::Font>(screen, &font);
    ::ReleaseDC(nullptr, screen);
}

CBaseFrameWnd::~CBaseFrameWnd() {
    // The window goes before the images and fonts it paints with.
    if (IsWindow()) DestroyWindow();
    if (dwmapi) ::FreeLibrary(dwmapi);
}

bool CBaseFrameWnd::CreateFrame(const wchar_t* className, const std::wstring& title) {
    int x = ProfileInt(L"", L"XPos", 0);
    int y = ProfileInt(L"", L"YPos", 0);
    const int width = ProfileInt(L"", L"Width", kMinWidth);
    const int height = ProfileInt(L"", L"Height", kMinHeight);
    x = std::max(x, 0);
    y = std::max(y, 0);
    const RECT rect{x, y, x + std::max(width, kMinWidth), y + std::max(height, kMinHeight)};
    if (!CreateEx(0, className, title.c_str(), kFrameStyle, rect, nullptr, 0)) return false;
    ::SetWindowLongPtrW(*this, GWL_EXSTYLE, ::GetWindowLongPtrW(*this, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    ::SetMenu(*this, nullptr);
    ::SendMessageW(*this, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), FALSE);
    ExtendGlass();
    toolTip.Create(*this);
    placementLoaded = true;
    Layout();
    return true;
}

bool CBaseFrameWnd::GlassActive() const {
    if (!glassAvailable || compositionChanged) return false;
    auto enabled = reinterpret_cast<DwmIsCompositionEnabledFn>(reinterpret_cast<void*>(::GetProcAddress(dwmapi, "DwmIsCompositionEnabled")));
    BOOL on = FALSE;
    return enabled && SUCCEEDED(enabled(&on)) && on;
}

void CBaseFrameWnd::ExtendGlass() {
    if (!GlassActive()) return;
    auto extend = reinterpret_cast<DwmExtendFrameFn>(reinterpret_cast<void*>(::GetProcAddress(dwmapi, "DwmExtendFrameIntoClientArea")));
    const Margins margins{10, 10, 50, 19};
    if (extend) extend(*this, &margins);
}

int CBaseFrameWnd::MeasureTabText(const std::wstring& text) const {
    HDC screen = ::GetDC(nullptr);
    RECT r{0, 0, 0, 0};
    {
        ScopedSelect select(screen, windowFont.get());
        ::DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    }
    // GDI+ draws the caption a little wider than GDI measures it: the wider of the two counts.
    int width = r.right - r.left;
    {
        Graphics g(screen);
        width = std::max(width, static_cast<int>(MeasureSkinText(g, text, gdipFont.get()).Width + 0.99f));
    }
    ::ReleaseDC(nullptr, screen);
    return std::max<int>(width + 5, 65);
}

int CBaseFrameWnd::AddTab(const std::wstring& text, HWND page, const std::wstring& iconPath) {
    auto tab = std::make_unique<TabRecord>();
    tab->icon = LoadSkinImage(nullptr, iconPath);
    tab->text = text;
    tab->page = page;
    tab->textWidth = MeasureTabText(text);
    tabs.push_back(std::move(tab));
    if (IsWindow()) Layout();
    if (!selectedTab && !loosePage) SelectTab(static_cast<int>(tabs.size()) - 1);
    return static_cast<int>(tabs.size()) - 1;
}

int CBaseFrameWnd::AddCaptionButton(UINT command, const std::wstring& tooltip, const std::wstring& normalPath,
                                    const std::wstring& hotPath, const std::wstring& pressedPath) {
    auto button = std::make_unique<CaptionButtonRecord>();
    button->normal = LoadSkinImage(nullptr, normalPath);
    button->hot = LoadSkinImage(nullptr, hotPath);
    button->pressed = LoadSkinImage(nullptr, pressedPath);
    button->command = command;
    button->tooltip = tooltip.substr(0, 100);
    captionButtons.push_back(std::move(button));
    const int index = static_cast<int>(captionButtons.size()) - 1;
    if (IsWindow()) {
        Layout();
        toolTip.AddTool(static_cast<UINT_PTR>(index) + 1, captionButtons.back()->rect, captionButtons.back()->tooltip);
    }
    return index;
}

int CBaseFrameWnd::SelectedTab() const {
    for (size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i].get() == selectedTab) return static_cast<int>(i);
    return -1;
}

RECT CBaseFrameWnd::PageRect() const {
    RECT r = contentRect;
    ::InflateRect(&r, -8, -8);
    return r;
}

void CBaseFrameWnd::PlacePage(HWND page) {
    if (!page || !IsWindow()) return;
    const RECT r = PageRect();
    ::SetWindowPos(page, nullptr, r.left, r.top, std::max<int>(r.right - r.left, 0), std::max<int>(r.bottom - r.top, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBaseFrameWnd::SelectTab(int index) {
    if (index < 0 || static_cast<size_t>(index) >= tabs.size()) return;
    SelectTabRecord(tabs[static_cast<size_t>(index)].get());
}

void CBaseFrameWnd::SelectTabRecord(TabRecord* tab) {
    if (!tab || !CanChangeTab()) return;
    if (selectedTab && selectedTab->page && selectedTab->page != tab->page) ::ShowWindow(selectedTab->page, SW_HIDE);
    if (loosePage && loosePage != tab->page) ::ShowWindow(loosePage, SW_HIDE);
    loosePage = nullptr;
    selectedTab = tab;
    if (tab->page) {
        PlacePage(tab->page);
        ::ShowWindow(tab->page, SW_SHOW);
    }
    if (IsWindow()) Invalidate();
    OnTabChanged();
}

void CBaseFrameWnd::SetTabPage(int index, HWND page) {
    if (index < 0 || static_cast<size_t>(index) >= tabs.size()) return;
    TabRecord* tab = tabs[static_cast<size_t>(index)].get();
    HWND old = tab->page;
    tab->page = page;
    if (tab == selectedTab && !loosePage) {
        if (old && old != page) ::ShowWindow(old, SW_HIDE);
        if (page) {
            PlacePage(page);
            ::ShowWindow(page, SW_SHOW);
        }
    }
}

void CBaseFrameWnd::ShowLoosePage(HWND page) {
    if (!page) return;
    if (loosePage && loosePage != page) ::ShowWindow(loosePage, SW_HIDE);
    else if (!loosePage && selectedTab && selectedTab->page && selectedTab->page != page) ::ShowWindow(selectedTab->page, SW_HIDE);
    loosePage = page;
    selectedTab = nullptr;
    PlacePage(page);
    ::ShowWindow(page, SW_SHOW);
    if (IsWindow()) Invalidate();
}

void CBaseFrameWnd::EnableTabs(bool enable) {
    tabsEnabled = enable;
    if (!enable) ClearHot();
    if (IsWindow()) ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CBaseFrameWnd::Layout() {
    const RECT client = ClientRect();
    const int w = client.right, h = client.bottom;
    contentRect = RECT{9, 40, w - 9, h - 9};
    int x = w - 14;
    for (auto& button : captionButtons) {
        button->rect = RECT{x - 31, 7, x, 38};
        x -= 31;
    }
    int right = x - 5;
    for (auto it = tabs.rbegin(); it != tabs.rend(); ++it) {
        TabRecord& tab = **it;
        tab.rect = RECT{right - tab.textWidth - 34, 5, right, 40};
        right = tab.rect.left - 3;
    }
    const int leftmostTab = tabs.empty() ? right : tabs.front()->rect.left;
    titleRect = RECT{9, 5, leftmostTab + 1, 40};
    for (size_t i = 0; i < captionButtons.size(); ++i) toolTip.SetToolRect(i + 1, captionButtons[i]->rect);
    if (loosePage) PlacePage(loosePage);
    else if (selectedTab) PlacePage(selectedTab->page);
}

void CBaseFrameWnd::SavePlacement() {
    if (!placementLoaded || ::IsIconic(*this) || ::IsZoomed(*this)) return;
    RECT r{};
    ::GetWindowRect(*this, &r);
    WriteProfileIntValue(L"", L"XPos", r.left);
    WriteProfileIntValue(L"", L"YPos", r.top);
    WriteProfileIntValue(L"", L"Width", r.right - r.left);
    WriteProfileIntValue(L"", L"Height", r.bottom - r.top);
}

void CBaseFrameWnd::HitTest(POINT pt, void*& item, int& kind) const {
    for (const auto& tab : tabs)
        if (Contains(tab->rect, pt)) { item = tab.get(); kind = 0; return; }
    for (const auto& button : captionButtons)
        if (Contains(button->rect, pt)) { item = button.get(); kind = 1; return; }
    item = nullptr;
    kind = -1;
}

void CBaseFrameWnd::ClearHot() {
    const bool wasHot = hotItem != nullptr;
    hotItem = nullptr;
    hotKind = -1;
    pressed = -1;
    if (captured) {
        captured = false;
        if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
    }
    if (wasHot && IsWindow()) Invalidate();
}

void CBaseFrameWnd::Paint() {
    PaintDc paint(*this);
    const RECT client = ClientRect();
    const bool glass = GlassActive();
    HDC dc = memDC.Begin(paint, glass ? RGB(0, 0, 0) : ::GetSysColor(COLOR_BTNFACE), client);
    if (!dc) return;
    {
        auto g = MakeGraphics(dc);
        const RectF all = ToRectF(client);
        if (!glass) {
            LinearGradientBrush back(RectF(all.X, all.Y - 1, all.Width, all.Height + 2), OpaqueColor(::GetSysColor(COLOR_BTNSHADOW)),
                                     OpaqueColor(::GetSysColor(COLOR_BTNHIGHLIGHT)), 90.0f);
            g->FillRectangle(&back, all);
        }
        // The frame body: solid start colour above the middle, blending to the end colour below.
        GraphicsPath body;
        AddRoundedRect(body, all, 16, kCornersAll);
        LinearGradientBrush bodyBrush(RectF(all.X, all.Y - 1, all.Width, all.Height + 2), Color(theSkin.frame_grad_start),
                                      Color(theSkin.frame_grad_end), LinearGradientModeVertical);
        const REAL factors[3] = {0.0f, 0.0f, 1.0f};
        const REAL positions[3] = {0.0f, 0.5f, 1.0f};
        bodyBrush.SetBlend(factors, positions, 3);
        g->FillPath(&bodyBrush, &body);
        // Nine-slice border.
        const REAL w = all.Width, h = all.Height;
        DrawNatural(*g, upperLeft.get(), 0, 0);
        DrawNatural(*g, upperRight.get(), w - Width(upperRight.get()), 0);
        DrawNatural(*g, lowerLeft.get(), 0, h - Height(lowerLeft.get()));
        DrawNatural(*g, lowerRight.get(), w - Width(lowerRight.get()), h - Height(lowerRight.get()));
        DrawStretched(*g, upperStretch.get(), RectF(Width(upperLeft.get()), 0, w - Width(upperLeft.get()) - Width(upperRight.get()),
                                                    Height(upperStretch.get())));
        DrawStretched(*g, lowerStretch.get(), RectF(Width(lowerLeft.get()), h - Height(lowerStretch.get()),
                                                    w - Width(lowerLeft.get()) - Width(lowerRight.get()), Height(lowerStretch.get())));
        DrawStretched(*g, leftStretch.get(), RectF(0, Height(upperLeft.get()), Width(leftStretch.get()),
                                                   h - Height(upperLeft.get()) - Height(lowerLeft.get())));
        DrawStretched(*g, rightStretch.get(), RectF(w - Width(rightStretch.get()), Height(upperRight.get()), Width(rightStretch.get()),
                                                    h - Height(upperRight.get()) - Height(lowerRight.get())));
        // Content background, clipped to the content rectangle with rounded top corners.
        if (bg) {
            GraphicsPath clip;
            AddRoundedRect(clip, ToRectF(contentRect), 26, kCornerTopLeft | kCornerTopRight);
            g->SetClip(&clip);
            const RectF to(static_cast<REAL>(contentRect.left + 2), static_cast<REAL>(contentRect.top + 3),
                           static_cast<REAL>(contentRect.right - contentRect.left - 4),
                           static_cast<REAL>(contentRect.bottom - contentRect.top - 4));
            DrawStretched(*g, bg.get(), to);
            g->ResetClip();
        }
        // Caption buttons.
        for (const auto& button : captionButtons) {
            Image* image = button->normal.get();
            if (hotItem == button.get() && tabsEnabled) {
                image = pressed == 1 && button->pressed ? button->pressed.get() : (button->hot ? button->hot.get() : image);
            }
            if (image) g->DrawImage(image, ToRectF(button->rect));
        }
        PaintTabs(*g);
        PaintTitleArea(*g, titleRect);
    }
    memDC.End();
}

void CBaseFrameWnd::PaintTabs(Graphics& g) {
    for (const auto& tabPtr : tabs) {
        const TabRecord& tab = *tabPtr;
        const bool active = &tab == selectedTab;
        Image* left = active ? activeTabLeft.get() : tabLeft.get();
        Image* middle = active ? activeTabStretch.get() : tabStretch.get();
        Image* right = active ? activeTabRight.get() : tabRight.get();
        const RectF r = ToRectF(tab.rect);
        const REAL lw = Width(left), rw = Width(right);
        if (left) g.DrawImage(left, RectF(r.X, r.Y, lw, r.Height));
        DrawStretched(g, middle, RectF(r.X + lw, r.Y, r.Width - lw - rw, r.Height));
        if (right) g.DrawImage(right, RectF(r.X + r.Width - rw, r.Y, rw, r.Height));
        if (active) {
            // A soft glow rising from the tab's lower edge.
            GraphicsPath glowPath;
            const RectF glow(r.X + 4, r.Y + r.Height * 0.45f, r.Width - 8, r.Height * 1.1f);
            glowPath.AddEllipse(glow);
            PathGradientBrush glowBrush(&glowPath);
            const Color centre(theSkin.tab_highlight);
            glowBrush.SetCenterColor(Color(0x70, centre.GetR(), centre.GetG(), centre.GetB()));
            Color surround(0, centre.GetR(), centre.GetG(), centre.GetB());
            INT count = 1;
            glowBrush.SetSurroundColors(&surround, &count);
            g.SetClip(r);
            g.FillPath(&glowBrush, &glowPath);
            g.ResetClip();
        }
        const REAL iconW = Width(tab.icon.get()), iconH = Height(tab.icon.get());
        const REAL iconX = r.X + 8, iconY = r.Y + (r.Height - iconH) / 2;
        if (&tab == hotItem && tabsEnabled && tab.icon) {
            GraphicsPath hotPath;
            hotPath.AddEllipse(RectF(iconX - iconW * 0.6f, iconY - iconH * 0.5f, iconW * 2.2f, iconH * 2.0f));
            PathGradientBrush hotBrush(&hotPath);
            const Color c(theSkin.tab_highlight);
            hotBrush.SetCenterColor(Color(0xAA, c.GetR(), c.GetG(), c.GetB()));
            Color surround(0, c.GetR(), c.GetG(), c.GetB());
            INT count = 1;
            hotBrush.SetSurroundColors(&surround, &count);
            hotBrush.SetFocusScales(0.4f, 0.4f);
            g.FillPath(&hotBrush, &hotPath);
        }
        if (tab.icon) {
            if (tabsEnabled) g.DrawImage(tab.icon.get(), RectF(iconX, iconY, iconW, iconH));
            else DrawGreyImage(g, tab.icon.get(), static_cast<int>(iconX), static_cast<int>(iconY), static_cast<int>(iconW),
                               static_cast<int>(iconH), 0.0f);
        }
        const REAL textLeft = iconX + (iconW > 0 ? iconW + 2 : 0);
        SolidBrush textBrush(Color(tabsEnabled ? theSkin.tab_text : (theSkin.tab_text & 0x00FFFFFF) | 0x90000000));
        DrawSkinText(g, RectF(textLeft, r.Y, r.X + r.Width - textLeft - 2, r.Height), tab.text, gdipFont.get(), &textBrush,
                     StringAlignmentCenter, StringAlignmentCenter, nullptr, false, StringFormatFlagsNoWrap | StringFormatFlagsNoClip);
    }
}

LRESULT CBaseFrameWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Layout();
        Invalidate();
        SavePlacement();
        break;
    case WM_MOVE:
        SavePlacement();
        break;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize.x = kMinWidth;
        info->ptMinTrackSize.y = kMinHeight;
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: {
        if (!tabsEnabled) break;
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        void* item = nullptr;
        int kind = -1;
        HitTest(pt, item, kind);
        if (!item) {
            if (hotItem || captured) ClearHot();
            break;
        }
        const int newPressed = msg == WM_LBUTTONDOWN ? 1 : (item == hotItem ? pressed : -1);
        if (item != hotItem || newPressed != pressed) {
            hotItem = item;
            hotKind = kind;
            pressed = newPressed;
            Invalidate();
        }
        if (!captured) {
            ::SetCapture(*this);
            captured = true;
        }
        break;
    }
    case WM_LBUTTONUP: {
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (tabsEnabled && hotItem) {
            void* item = nullptr;
            int kind = -1;
            HitTest(pt, item, kind);
            void* wasHot = hotItem;
            const int wasKind = hotKind;
            const int wasPressed = pressed;
            ClearHot();
            if (item == wasHot && wasKind == 1 && wasPressed == 1) {
                SendMessage(WM_COMMAND, static_cast<CaptionButtonRecord*>(item)->command, 0);
            } else if (item == wasHot && wasKind == 0) {
                SelectTabRecord(static_cast<TabRecord*>(item));
            }
        }
        if (Contains(titleRect, pt)) OnTitleClick();
        break;
    }
    case WM_CAPTURECHANGED:
        captured = false;
        break;
    case WM_QUERYENDSESSION:
        if (IsBusy()) {
            const int answer = ShowMessageBox(*this, LoadResourceString(kTextQueryEndSession), LoadResourceString(0xE000),
                                              MB_YESNO | MB_ICONQUESTION);
            if (answer != IDYES) return FALSE;
        }
        return TRUE;
    case WM_ENDSESSION:
        if (wp) OnEndSession();
        return 0;
    case 0x031E:  // WM_DWMCOMPOSITIONCHANGED
        compositionChanged = true;
        Invalidate();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
