// CBaseDlg: header, double-buffered painting, clicks on the navigation buttons.
#include "skin/BaseDlg.h"
#include "framework/Gdi.h"
#include "skin/Skin.h"

using namespace Gdiplus;

CBaseDlg::CBaseDlg(UINT templateId, HWND parent, const std::wstring& logo) : CBaseDlg(templateId, static_cast<CWnd*>(nullptr), logo) {
    parentWindow_ = parent;
}

CBaseDlg::CBaseDlg(UINT templateId, CWnd* parent, const std::wstring& logo)
    : CDialog(templateId), logoText(logo), parent_(parent) {
    logoImage = LoadSkinImage(nullptr, L"images/main/bg_logo.png");
    navBg = LoadSkinImage(nullptr, L"images/main/nav_bg.png");
    navBack = LoadSkinImage(nullptr, L"images/main/nav_back.png");
    navForward = LoadSkinImage(nullptr, L"images/main/nav_forward.png");
}

CBaseDlg::~CBaseDlg() {
    if (IsWindow()) DestroyWindow();
}

bool CBaseDlg::CreatePage() {
    if (!Create(ParentWindow())) return false;
    ::ShowWindow(*this, SW_HIDE);
    return true;
}

void CBaseDlg::SetHeader(const std::wstring& imagePath, const std::wstring& newTitle, const std::wstring& newSubtitle) {
    SetHeader(LoadSkinImage(nullptr, imagePath), newTitle, newSubtitle);
}

void CBaseDlg::SetHeader(SkinImage image, const std::wstring& newTitle, const std::wstring& newSubtitle) {
    headerImage = std::move(image);
    title = newTitle;
    subtitle = newSubtitle;
    hasHeader = true;
    if (IsWindow()) Invalidate();
}

void CBaseDlg::ShowHeaderButtons(bool show) {
    headerButtons = show;
    RedrawHeader();
}

void CBaseDlg::EnableHeaderButtons(bool back, bool forward) {
    backEnabled = back;
    forwardEnabled = forward;
    RedrawHeader();
}

void CBaseDlg::RedrawHeader() {
    if (IsWindow() && hasHeader) ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

RECT CBaseDlg::BackButtonRect() const {
    const RECT client = ClientRect();
    const int w = navBack ? static_cast<int>(navBack->GetWidth()) : 26;
    const int h = navBack ? static_cast<int>(navBack->GetHeight()) : 26;
    return RECT{client.right - 67, 15, client.right - 67 + w, 15 + h};
}

RECT CBaseDlg::ForwardButtonRect() const {
    const RECT client = ClientRect();
    const int w = navForward ? static_cast<int>(navForward->GetWidth()) : 26;
    const int h = navForward ? static_cast<int>(navForward->GetHeight()) : 26;
    return RECT{client.right - 37, 15, client.right - 37 + w, 15 + h};
}

void CBaseDlg::Paint() {
    PaintDc paint(*this);
    const RECT client = ClientRect();
    HDC dc = memDC.Begin(paint, RGB(255, 255, 255), client);
    if (!dc) return;
    const bool fromParent = transparentBackground && CopyParentBackground(*this, dc);
    {
        auto g = MakeGraphics(dc);
        const REAL width = static_cast<REAL>(client.right), height = static_cast<REAL>(client.bottom);
        if (fromParent) {
            if (!logoText.empty() && logoImage) {
                const REAL lw = static_cast<REAL>(logoImage->GetWidth()), lh = static_cast<REAL>(logoImage->GetHeight());
                g->DrawImage(logoImage.get(), RectF(width - 10 - lw, height - 10 - lh, lw, lh));
            }
            if (hasHeader) {
                DrawTopBand(*g, RectF(1, 10, width - 2, 80), false);
                REAL imageWidth = 0;
                if (headerImage) {
                    imageWidth = static_cast<REAL>(headerImage->GetWidth());
                    g->DrawImage(headerImage.get(), RectF(10, 0, imageWidth, static_cast<REAL>(headerImage->GetHeight())));
                }
                const REAL titleX = headerImage ? imageWidth + 20 : 20;
                const REAL subtitleX = headerImage ? imageWidth + 25 : 25;
                DrawSkinText(*g, RectF(titleX, 0, width - 60 - titleX, 40), title, theSkin.titleFont.get(),
                             theSkin.bodyTextBrush.get(), StringAlignmentNear, StringAlignmentFar);
                DrawSkinText(*g, RectF(subtitleX, 40, width - 6 - subtitleX, height - 40), subtitle, theSkin.subtitleFont.get(),
                             theSkin.bodyTextBrush.get(), StringAlignmentNear, StringAlignmentNear, nullptr, false, 0);
                if (headerButtons) {
                    if (navBg)
                        g->DrawImage(navBg.get(), RectF(width - 75, 10, static_cast<REAL>(navBg->GetWidth()),
                                                        static_cast<REAL>(navBg->GetHeight())));
                    const RECT back = BackButtonRect(), forward = ForwardButtonRect();
                    auto drawNav = [&](Image* image, const RECT& r, bool enabled) {
                        if (!image) return;
                        if (enabled) g->DrawImage(image, ToRectF(r));
                        else DrawGreyImage(*g, image, r.left, r.top, r.right - r.left, r.bottom - r.top, 0.0f);
                    };
                    drawNav(navBack.get(), back, backEnabled);
                    drawNav(navForward.get(), forward, forwardEnabled);
                }
            }
        }
        PaintContent(*g);
    }
    memDC.End();
}

LRESULT CBaseDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
        ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    case WM_LBUTTONUP: {
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (hasHeader && headerButtons) {
            const RECT back = BackButtonRect(), forward = ForwardButtonRect();
            if (backEnabled && ::PtInRect(&back, pt)) {
                OnBack();
                return 0;
            }
            if (forwardEnabled && ::PtInRect(&forward, pt)) {
                OnForward();
                return 0;
            }
        }
        break;
    }
    case WM_SIZE:
        Invalidate();
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
