// CToolTip: a tooltip control for the tools of one window.
#include "framework/ToolTip.h"
#include <commctrl.h>

CToolTip::~CToolTip() {
    if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

bool CToolTip::Create(HWND owner) {
    if (tip_) return true;
    owner_ = owner;
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return false;
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 400);
    return true;
}

void CToolTip::AddTool(HWND control, const std::wstring& text) {
    if (!tip_ || !control) return;
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTip::AddTool(UINT_PTR id, const RECT& rect, const std::wstring& text) {
    if (!tip_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = id;
    info.rect = rect;
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTip::SetToolRect(UINT_PTR id, const RECT& rect) {
    if (!tip_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = owner_;
    info.uId = id;
    info.rect = rect;
    ::SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTip::RelayEvent(const MSG& msg) {
    if (tip_) ::SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
