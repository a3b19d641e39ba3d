// CDupResultsList: double-buffered GDI+ painting in the skin's colours, scroll bars and input.
#include "duplicates/ui/DupResultsList.h"

#include "skin/Skin.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

using namespace Gdiplus;

namespace {
constexpr UINT kListId = 999;

Color Argb(uint32_t c) { return Color(c); }

std::wstring FormatCount(const std::wstring& format, int a, int b = 0) {
    wchar_t text[256] = {};
    _snwprintf(text, 255, format.c_str(), a, b);
    return text;
}

RectF F(int l, int t, int r, int b) { return RectF(float(l), float(t), float(r - l), float(b - t)); }
}  // namespace

CDupResultsList::CDupResultsList(zyr::dup::ShellDupEnvironment::TextLoader loadText, std::wstring caption)
    : env_(std::move(loadText), std::move(caption)), core_(*this, env_) {
    const wchar_t* headings[] = {L"images/group/dup_image.png", L"images/group/dup_audio.png",
                                 L"images/group/dup_video.png", L"images/group/dup_doc.png",
                                 L"images/group/dup_other.png"};
    for (int i = 0; i < 5; ++i) headings_[i] = LoadSkinImage(nullptr, headings[i]);
    recycle_ = LoadSkinImage(nullptr, L"images/general/recycle.png");
    remove_ = LoadSkinImage(nullptr, L"images/general/delete.png");
    open_ = LoadSkinImage(nullptr, L"images/general/open.png");
}

CDupResultsList::~CDupResultsList() {
    if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
    DestroyWindow();
    if (font_) DeleteObject(font_);
}

bool CDupResultsList::Create(HWND parent, const RECT& rect) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"ZyrGroupList";
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered) return false;
    if (!CreateEx(0, L"ZyrGroupList", L"GroupList", 0x56800000, rect, parent, kListId)) return false;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfMessageFont.lfWeight = 400;
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
    env_.SetWindows(parent, *this);
    HDC dc = GetDC(*this);
    rowFont_ = std::make_unique<Font>(dc, font_);
    ReleaseDC(*this, dc);
    // The heading, summary and title fonts in the message font's family.
    FontFamily family;
    rowFont_->GetFamily(&family);
    groupFont_ = std::make_unique<Font>(&family, 13.0f, FontStyleBold, UnitPixel);
    summaryFont_ = std::make_unique<Font>(&family, 10.0f, FontStyleRegular, UnitPixel);
    rootFont_ = std::make_unique<Font>(&family, 12.0f, FontStyleRegular, UnitPixel);
    CreateTip();
    return true;
}

void CDupResultsList::CreateTip() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};  // the tooltip class
    ::InitCommonControlsEx(&classes);
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, *this, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = *this;
    info.uId = 1;
    info.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CDupResultsList::TrackTip(int x, int y) {
    if (!tip_) return;
    RowRect row{};
    const CRLItem* item = core_.ItemAt(x, y, &row);
    if (!item) row = RowRect{};
    const std::wstring text = item ? item->text : std::wstring();
    if (row.left == tipRow_.left && row.top == tipRow_.top && row.right == tipRow_.right && row.bottom == tipRow_.bottom &&
        text == tipText_)
        return;
    ::SendMessageW(tip_, TTM_POP, 0, 0);
    tipRow_ = row;
    tipText_ = text;
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = *this;
    info.uId = 1;
    info.rect = RECT{row.left, row.top, row.right, row.bottom};
    ::SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

int CDupResultsList::ClientWidth() const { return ClientRect().right; }
int CDupResultsList::ClientHeight() const { return ClientRect().bottom; }

void CDupResultsList::SetVerticalBar(bool show, int maximum, int page, int position) {
    if (!IsWindow()) return;
    if (show) {
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, maximum, UINT(page), position, 0};
        SetScrollInfo(*this, SB_VERT, &si, TRUE);
    }
    if (show != vBar_) ShowScrollBar(*this, SB_VERT, show);
    vBar_ = show;
}

void CDupResultsList::SetHorizontalBar(bool show, int maximum, int page, int position) {
    if (!IsWindow()) return;
    if (show) {
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, maximum, UINT(page), position, 0};
        SetScrollInfo(*this, SB_HORZ, &si, TRUE);
    }
    if (show != hBar_) ShowScrollBar(*this, SB_HORZ, show);
    hBar_ = show;
}

void CDupResultsList::Repaint() {
    if (IsWindow()) Invalidate();
}

void CDupResultsList::NotifyParent() {
    if (IsWindow() && GetParent()) ::PostMessageW(GetParent(), kGroupListChangedMessage, 0, 0);
}

void CDupResultsList::RepaintParent() {
    if (IsWindow() && GetParent()) ::InvalidateRect(GetParent(), nullptr, FALSE);
}

void CDupResultsList::OnScroll(bool vertical, int code) {
    SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
    GetScrollInfo(*this, vertical ? SB_VERT : SB_HORZ, &si);
    switch (code) {
        case SB_LINEUP: core_.Scroll(vertical, ScrollCommand::LineUp); break;
        case SB_LINEDOWN: core_.Scroll(vertical, ScrollCommand::LineDown); break;
        case SB_PAGEUP: core_.Scroll(vertical, ScrollCommand::PageUp); break;
        case SB_PAGEDOWN: core_.Scroll(vertical, ScrollCommand::PageDown); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: core_.Scroll(vertical, ScrollCommand::Track, si.nTrackPos); break;
    }
}

LRESULT CDupResultsList::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(*this, &ps);
            Paint(dc);
            EndPaint(*this, &ps);
            return 0;
        }
        case WM_SIZE: core_.OnResize(); Invalidate(); return 0;
        case WM_VSCROLL: OnScroll(true, LOWORD(wp)); return 0;
        case WM_HSCROLL: OnScroll(false, LOWORD(wp)); return 0;
        case WM_MOUSEWHEEL: core_.Wheel(GET_WHEEL_DELTA_WPARAM(wp)); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_KEYDOWN:
            switch (wp) {
                case VK_UP: core_.Scroll(true, ScrollCommand::LineUp); return 0;
                case VK_DOWN: core_.Scroll(true, ScrollCommand::LineDown); return 0;
                case VK_PRIOR: core_.Scroll(true, ScrollCommand::PageUp); return 0;
                case VK_NEXT: core_.Scroll(true, ScrollCommand::PageDown); return 0;
                case VK_LEFT: core_.Scroll(false, ScrollCommand::LineUp); return 0;
                case VK_RIGHT: core_.Scroll(false, ScrollCommand::LineDown); return 0;
            }
            break;
        case WM_MOUSEMOVE:
            TrackTip(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            if (header && header->hwndFrom == tip_ && header->code == TTN_GETDISPINFOW) {
                ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, std::max(100, ClientWidth() - 100));
                reinterpret_cast<NMTTDISPINFOW*>(lp)->lpszText = const_cast<wchar_t*>(tipText_.c_str());
                return 0;
            }
            break;
        }
        case WM_LBUTTONDOWN:
            // The row under the pointer may change or go: the next move finds it again.
            if (tip_) ::SendMessageW(tip_, TTM_POP, 0, 0);
            tipRow_ = RowRect{};
            tipText_.clear();
            SetFocus(*this);
            core_.Click(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
            return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CDupResultsList::Paint(HDC target) {
    const RECT client = ClientRect();
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    {
        auto g = MakeGraphics(dc);
        g->Clear(Argb(theSkin.bg));
        const RowRect area = core_.ScrolledRect();
        if (core_.GetItemCount() > 0) {
            int top = area.top;
            for (auto& group : core_.groups) {
                if (group->itemCount == 0) continue;
                const int h = DrawGroup(*g, *group, area, top, client.bottom);
                top += h + 1;
                if (top > client.bottom) break;
            }
        } else {
            const std::wstring text = core_.emptyText.empty() ? env_.Text(285) : core_.emptyText;
            DrawSkinText(*g, F(0, 50, client.right, client.bottom), text, theSkin.textFont.get(),
                         theSkin.bodyTextBrush.get(), StringAlignmentCenter, StringAlignmentNear);
        }
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

int CDupResultsList::DrawGroup(Graphics& g, CRLIGroup& group, const RowRect& area, int top, int visibleBottom) {
    const int h = group.GetHeight();
    const int l = area.left, r = area.right;
    SolidBrush bg(Argb(theSkin.group_bg));
    g.FillRectangle(&bg, F(l, top, r, top + h));
    if (group.headingImage >= 1 && group.headingImage <= 5)
        if (Image* image = headings_[group.headingImage - 1].get()) g.DrawImage(image, l + 2, top + 2, 32, 32);
    SolidBrush text(Argb(theSkin.group_txt));
    DrawSkinText(g, F(l + 44, top + 2, r - 50, top + 34), group.text, groupFont_.get(), &text, StringAlignmentNear,
                 StringAlignmentCenter);
    const std::wstring summary = group.checkable
        ? FormatCount(env_.Text(group.itemCount == 1 ? 155 : 160), group.checkedTotal, group.itemCount)
        : FormatCount(env_.Text(group.itemCount == 1 ? 257 : 167), group.itemCount);
    // Relative to the visible right edge, so the summary stays in view when scrolled sideways.
    const int vr = ClientWidth();
    DrawSkinText(g, F(vr - 180, top + 19, vr - 5, top + 34), summary, summaryFont_.get(), &text, StringAlignmentFar,
                 StringAlignmentFar);
    int bottom = top + kGroupHeadingHeight;
    if (group.expanded) {
        int rtop = top + kGroupHeadingHeight;
        for (auto& root : group.roots) {
            if (root->items.empty()) continue;
            if (rtop > visibleBottom) break;
            DrawRoot(g, *root, area, rtop, visibleBottom);
            rtop += root->GetHeight() + 1;
        }
        bottom = top + h - 1;
    }
    Pen border(Argb(theSkin.group_border));
    g.DrawLine(&border, l, bottom, r, bottom);
    return h;
}

void CDupResultsList::DrawLink(Graphics& g, Image* image, const std::wstring& text, const RowRect& r) {
    int x = r.left;
    if (image) {
        const int ih = int(image->GetHeight());
        g.DrawImage(image, x, r.top + (r.bottom - r.top - ih) / 2, int(image->GetWidth()), ih);
        x += int(image->GetWidth()) + 3;
    }
    SolidBrush link(Argb(theSkin.link_text));
    DrawSkinText(g, F(x, r.top, r.right + 4, r.bottom), text, rowFont_.get(), &link, StringAlignmentNear,
                 StringAlignmentCenter);
}

void CDupResultsList::DrawRoot(Graphics& g, CRLIRoot& root, const RowRect& area, int top, int visibleBottom) {
    const int l = area.left;
    const int r = l + core_.totalColumnWidth > area.right ? l + core_.totalColumnWidth : area.right;
    Pen line(Argb(theSkin.line));
    g.DrawLine(&line, l, top, r, top);
    LinearGradientBrush gradient(Point(0, top + 1), Point(0, top + 25), Argb(theSkin.root_bg), Argb(theSkin.root_bg2));
    g.FillRectangle(&gradient, F(l, top + 1, r, top + 25));
    SolidBrush text(Argb(theSkin.root_text));
    DrawSkinText(g, F(l + (root.checkable ? 47 : 30), top, r, top + 26), root.title, rootFont_.get(), &text,
                 StringAlignmentNear, StringAlignmentCenter);
    // Expand marker in the image area.
    SolidBrush marker(Argb(theSkin.root_text));
    const PointF open[] = {PointF(float(l + 10), float(top + 10)), PointF(float(l + 20), float(top + 10)), PointF(float(l + 15), float(top + 16))};
    const PointF shut[] = {PointF(float(l + 12), float(top + 8)), PointF(float(l + 18), float(top + 13)), PointF(float(l + 12), float(top + 18))};
    g.FillPolygon(&marker, root.expanded ? open : shut, 3);
    if (auto* dup = dynamic_cast<CDupRoot*>(&root)) {
        const RowRect header{l, top, ClientWidth(), top + 26};
        DrawLink(g, open_.get(), env_.Text(kTextOpen), dup->OpenRect(header));
        DrawLink(g, remove_.get(), env_.Text(kTextRemove), dup->RemoveRect(header));
    }
    if (!root.expanded) return;
    int y = top + 26;
    for (auto& item : root.items) {
        if (y > visibleBottom) break;
        DrawItem(g, *item, RowRect{l, y, r, y + 26});
        y += 26;
    }
}

void CDupResultsList::DrawItem(Graphics& g, CRLItem& item, const RowRect& row) {
    const int i = item.CheckOffset();
    SolidBrush first(Argb(theSkin.item_first_col)), bg(Argb(theSkin.item_bg));
    g.FillRectangle(&first, F(row.left, row.top, row.right, row.bottom));
    g.FillRectangle(&bg, F(row.left + i - 3, row.top, row.right, row.bottom));
    Pen sep(Argb(theSkin.line));
    g.DrawLine(&sep, row.left + i - 3, row.bottom - 1, row.right, row.bottom - 1);
    if (item.checkable)
        DrawSkinCheckBox(g, F(row.left + i + 1, row.top + 7, row.left + i + 13, row.top + 19), item.checked,
                         ToColorRef(theSkin.box), ToColorRef(theSkin.shade), ToColorRef(theSkin.box), ToColorRef(theSkin.item_text));
    SolidBrush text(Argb(item.highlighted ? theSkin.link_text : theSkin.item_text));
    const int col0 = core_.GetColumnWidth(0);
    DrawSkinText(g, F(row.left + i + (item.checkable ? 17 : 5), row.top, row.left + col0 - 26, row.bottom), item.text,
                 rowFont_.get(), &text, StringAlignmentNear, StringAlignmentCenter);
    int x = row.left + col0;
    for (int n = 1; n < core_.GetColumnCount(); ++n) {
        const int w = core_.GetColumnWidth(n);
        if (n == 1 && dynamic_cast<CDupItem*>(&item)) {
            DrawLink(g, recycle_.get(), item.columns.empty() ? L"" : item.columns[0], RowRect{x + 4, row.top, x + w, row.bottom});
        } else if (n - 1 < static_cast<int>(item.columns.size())) {
            DrawSkinText(g, F(x, row.top, x + w, row.bottom), item.columns[n - 1], rowFont_.get(), &text,
                         StringAlignmentNear, StringAlignmentCenter);
        }
        x += w;
    }
}
