// CSubclassWnd: hooks that watch another window's messages through one shared window procedure.
#pragma once
#include <windows.h>

// A hook on one window. Several hooks may watch the same window: the newest sees a message
// first and passes it on to the next, the last to the procedure the window had before. All
// hooked windows share one replacement procedure and a process-wide map from window to its
// first hook. On WM_NCDESTROY every hook of the window is detached before the window's former
// procedure gets the message. Used on the user-interface thread only.
class CSubclassWnd {
public:
    CSubclassWnd() = default;
    virtual ~CSubclassWnd();
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Hooks `hwnd` (null: unhooks). False when the window does not exist.
    bool HookWindow(HWND hwnd);
    void Unhook() { HookWindow(nullptr); }
    bool IsHooked() const { return hwnd_ != nullptr; }
    HWND HookedWindow() const { return hwnd_; }

    // The message as the window received it; overrides handle it and call the base (or
    // Default) to pass it on.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Passes the message being processed on.
    LRESULT Default();

private:
    friend LRESULT CALLBACK SharedHookProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT PassOn(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    WNDPROC nextProc_ = nullptr;   // the window's former procedure
    CSubclassWnd* next_ = nullptr; // the next hook of the same window (null for the last)
};
