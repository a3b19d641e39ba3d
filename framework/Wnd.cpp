// CWnd: attaching objects to windows, dispatching, default processing.
#include "framework/Wnd.h"

namespace {

const wchar_t kObjectProp[] = L"ZyrWndObject";

// The object that the next window created on this thread belongs to.
thread_local CWnd* pendingObject = nullptr;
thread_local HHOOK creationHook = nullptr;

}  // namespace

LRESULT CALLBACK WndProcThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = CWnd::FromHandle(hwnd);
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    const UINT savedMsg = self->curMsg_;
    const WPARAM savedWp = self->curWp_;
    const LPARAM savedLp = self->curLp_;
    self->curMsg_ = msg;
    self->curWp_ = wp;
    self->curLp_ = lp;
    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (...) {
        // Nothing unwinds through Windows.
        result = self->Default(msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        self->Detach();
        self->PostNcDestroy();
        return result;
    }
    self->curMsg_ = savedMsg;
    self->curWp_ = savedWp;
    self->curLp_ = savedLp;
    return result;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && pendingObject) {
        CWnd* object = pendingObject;
        pendingObject = nullptr;
        object->Attach(reinterpret_cast<HWND>(wp));
    }
    return ::CallNextHookEx(creationHook, code, wp, lp);
}

CWnd::~CWnd() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        const bool owned = owned_;
        Detach();
        if (owned && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    ::SetPropW(hwnd, kObjectProp, this);
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProcThunk)));
}

void CWnd::Detach() {
    if (!hwnd_) return;
    if (::IsWindow(hwnd_)) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &WndProcThunk && previous_)
            ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropW(hwnd_, kObjectProp);
    }
    hwnd_ = nullptr;
    owned_ = false;
}

void CWnd::BeginCreation() {
    // One hook per creation; creations nested in handlers install their own.
    savedHook_ = creationHook;
    savedPending_ = pendingObject;
    pendingObject = this;
    creationHook = ::SetWindowsHookExW(WH_CBT, &CreationHook, nullptr, ::GetCurrentThreadId());
}

bool CWnd::EndCreation(HWND created) {
    if (creationHook) ::UnhookWindowsHookEx(creationHook);
    creationHook = savedHook_;
    pendingObject = savedPending_;
    if (!created) {
        if (hwnd_) Detach();
        return false;
    }
    if (!hwnd_) Attach(created);  // the hook did not run
    owned_ = true;
    return true;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR idOrMenu) {
    return CreateWith([&] {
        return ::CreateWindowExW(exStyle, className, title, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(idOrMenu), ::GetModuleHandleW(nullptr), nullptr);
    });
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd_ || !hwnd || FromHandle(hwnd)) return false;
    Attach(hwnd);
    owned_ = false;
    return true;
}

void CWnd::DestroyWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

std::wstring CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), length + 1)));
    return text;
}

LRESULT CWnd::Default() { return Default(curMsg_, curWp_, curLp_); }

LRESULT CWnd::Default(UINT msg, WPARAM wp, LPARAM lp) {
    if (previous_) return ::CallWindowProcW(previous_, hwnd_, msg, wp, lp);
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(lp), result)) return result;
        break;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        CWnd* control = item ? FromHandle(item->hwndItem) : nullptr;
        if (control && control != this && control->OnDrawItemReflect(item)) return TRUE;
        break;
    }
    case WM_TIMER:
        if (OnTimer(static_cast<UINT_PTR>(wp))) return 0;
        break;
    case WM_SIZE:
        if (OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp))) return 0;
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        break;
    }
    return Default(msg, wp, lp);
}

