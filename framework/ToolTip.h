// CToolTip: a tooltip control for the tools of one window.
#pragma once
#include <windows.h>
#include <string>

class CToolTip {
public:
    CToolTip() = default;
    ~CToolTip();
    CToolTip(const CToolTip&) = delete;
    CToolTip& operator=(const CToolTip&) = delete;

    // Creates the tooltip window owned by `owner` (idempotent).
    bool Create(HWND owner);
    HWND GetSafeHwnd() const { return tip_; }
    // A child window as a tool: its tip shows while the pointer rests on it.
    void AddTool(HWND control, const std::wstring& text);
    // A rectangle of the owner's client area as a tool with an id of the caller's choosing.
    void AddTool(UINT_PTR id, const RECT& rect, const std::wstring& text);
    void SetToolRect(UINT_PTR id, const RECT& rect);
    // Lets the tooltip see a mouse message of the owner or of a tool (for rectangle tools).
    void RelayEvent(const MSG& msg);

private:
    HWND tip_ = nullptr;
    HWND owner_ = nullptr;
};
