// CWnd: the window base. Owns its HWND when it created it and dispatches messages to virtuals.
#pragma once
#include <windows.h>
#include <string>


// A window object is tied to its HWND from the very first message (WM_NCCREATE or
// WM_INITDIALOG included): creation goes through a thread-local CBT hook that subclasses
// the new window, so a window of any class (a registered frame class, a dialog, a common
// control) gets this object's WindowProc. Messages the object does not handle go to
// Default(), the window's original procedure.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }

    // Creates a window of `className` and attaches it. False when CreateWindowExW fails.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu);
    // Attaches the first window that `create` makes on this thread (for example
    // CreateDialogIndirectParamW) before it receives any message; owned afterwards.
    template <class Create>
    bool CreateWith(Create&& create) {
        if (hwnd_) return false;
        BeginCreation();
        HWND hwnd = create();
        return EndCreation(hwnd);
    }
    // Subclasses an existing window (a control of a dialog template); not owned.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND dialog) { return SubclassWindow(::GetDlgItem(dialog, id)); }
    void DestroyWindow();

    // The object attached to `hwnd`, or null.
    static CWnd* FromHandle(HWND hwnd);

    // Small conveniences over the HWND.
    void ShowWindow(int cmd) const { ::ShowWindow(hwnd_, cmd); }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    void Invalidate(bool erase = false) const { ::InvalidateRect(hwnd_, nullptr, erase); }
    void MoveWindow(const RECT& r, bool repaint = true) const {
        ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    RECT ClientRect() const { RECT r{}; ::GetClientRect(hwnd_, &r); return r; }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
    HWND GetParent() const { return ::GetParent(hwnd_); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(hwnd_, id, ms, nullptr); }
    void KillTimer(UINT_PTR id) const { ::KillTimer(hwnd_, id); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(hwnd_, msg, wp, lp); }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(hwnd_, msg, wp, lp) != FALSE; }

protected:
    // Every message of the window. Overrides handle what they want and call the base
    // for the rest; the base dispatches to the typed handlers below, then Default().
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window's original procedure for the message being processed.
    LRESULT Default();
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

    // Typed handlers; each returns true when it handled the message.
    virtual bool OnCommand(UINT id, UINT code, HWND control) { return false; }
    virtual bool OnNotify(NMHDR* header, LRESULT& result) { return false; }
    virtual bool OnTimer(UINT_PTR id) { return false; }
    virtual bool OnSize(UINT type, int width, int height) { return false; }
    virtual bool OnDestroy() { return false; }
    // Owner-draw messages of a child control are reflected to the control's object first.
    virtual bool OnDrawItemReflect(DRAWITEMSTRUCT* item) { return false; }
    // After WM_NCDESTROY: the HWND is gone and the object detached.
    virtual void PostNcDestroy() {}

private:
    friend LRESULT CALLBACK WndProcThunk(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK CreationHook(int, WPARAM, LPARAM);
    void BeginCreation();
    bool EndCreation(HWND created);
    void Attach(HWND hwnd);
    void Detach();

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
    bool owned_ = false;
    HHOOK savedHook_ = nullptr;
    CWnd* savedPending_ = nullptr;
    // The message being processed, for Default().
    UINT curMsg_ = 0;
    WPARAM curWp_ = 0;
    LPARAM curLp_ = 0;
};

