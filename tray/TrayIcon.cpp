// CTrayIcon: Shell_NotifyIconW calls, the context menu, the owner's hooks.
#include "tray/TrayIcon.h"

#include "framework/ResourceInstance.h"

namespace zyr::tray {

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// Registered at program start, before any shell restart can be announced.
namespace {
const UINT registeredAtStart = TaskbarCreatedMessage();
}  // namespace

void CopyToField(wchar_t* field, size_t capacity, const wchar_t* text) {
    if (capacity == 0) return;
    size_t length = 0;
    if (text)
        while (length + 1 < capacity && text[length]) ++length;
    // A high surrogate whose low half did not fit is left out too.
    if (length > 0 && text[length] && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    for (size_t i = 0; i < length; ++i) field[i] = text[i];
    field[length] = L'\0';
}

CTrayIcon::CTrayIcon() {
    (void)registeredAtStart;
    record_.cbSize = kNotifyRecordSize;
    record_.uID = 0;
}

CTrayIcon::~CTrayIcon() {
    RemoveIcon();
    ownerHook_.Unhook();
    topLevelHook_.Unhook();
}

void CTrayIcon::SetNotifyWindow(HWND owner) {
    record_.hWnd = owner;
    record_.uCallbackMessage = UM_TRAY_NOTIFY;
    ownerHook_.HookWindow(owner);
    HWND topLevel = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (topLevel && topLevel != owner) topLevelHook_.HookWindow(topLevel);
    else topLevelHook_.Unhook();
}

BOOL CTrayIcon::Notify(DWORD operation) {
    record_.cbSize = kNotifyRecordSize;
    return ::Shell_NotifyIconW(operation, &record_);
}

bool CTrayIcon::SetIcon(HICON icon, const wchar_t* tooltip) {
    DWORD operation;
    UINT flags = 0;
    if (icon) {
        operation = icon_ ? NIM_MODIFY : NIM_ADD;
        record_.hIcon = icon;
        flags = NIF_ICON;
    } else {
        if (!icon_) return true;
        operation = NIM_DELETE;
    }
    if (tooltip) CopyToField(record_.szTip, ARRAYSIZE(record_.szTip), tooltip);
    if (record_.szTip[0]) flags |= NIF_TIP;
    if (record_.uCallbackMessage && record_.hWnd) flags |= NIF_MESSAGE;
    record_.uFlags = flags;
    const BOOL done = Notify(operation);
    if (!done || operation == NIM_DELETE) {
        icon_ = nullptr;
        record_.hIcon = nullptr;
    } else {
        icon_ = icon;
    }
    return done != FALSE;
}

bool CTrayIcon::RemoveIcon() {
    if (!icon_) return true;
    UINT flags = 0;
    if (record_.szTip[0]) flags |= NIF_TIP;
    if (record_.uCallbackMessage && record_.hWnd) flags |= NIF_MESSAGE;
    record_.uFlags = flags;
    const BOOL done = Notify(NIM_DELETE);
    icon_ = nullptr;
    record_.hIcon = nullptr;
    return done != FALSE;
}

bool CTrayIcon::ShowBalloon(const wchar_t* text, const wchar_t* title) {
    record_.uFlags = NIF_INFO;
    record_.uTimeout = 90000;
    record_.dwInfoFlags = NIIF_WARNING;
    CopyToField(record_.szInfo, ARRAYSIZE(record_.szInfo), text ? text : L"");
    CopyToField(record_.szInfoTitle, ARRAYSIZE(record_.szInfoTitle), title ? title : L"");
    return Notify(NIM_MODIFY) != FALSE;
}

int CTrayIcon::OnTrayNotification(WPARAM wp, LPARAM lp) {
    if (wp != record_.uID || (lp != WM_RBUTTONUP && lp != WM_LBUTTONDBLCLK)) return 0;
    HMENU menu = menuId_ ? ::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(menuId_)) : nullptr;
    if (!menu) return 0;
    HMENU popup = ::GetSubMenu(menu, 0);
    HWND owner = record_.hWnd;
    if (popup && lp == WM_RBUTTONUP) {
        ::SetMenuDefaultItem(popup, 0, TRUE);
        POINT at{};
        ::GetCursorPos(&at);
        ::SetForegroundWindow(owner);
        ::TrackPopupMenu(popup, TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
        // Lets the menu close when the user clicks elsewhere.
        ::PostMessageW(owner, WM_NULL, 0, 0);
    } else if (lp == WM_LBUTTONDBLCLK) {
        ::SendMessageW(owner, WM_COMMAND, kOpenMainWindowCommand, 0);
    }
    ::DestroyMenu(menu);
    return 1;
}

int CTrayIcon::OnTaskbarCreated(WPARAM, LPARAM) {
    HICON icon = icon_;
    icon_ = nullptr;
    if (icon) SetIcon(icon, nullptr);
    return 0;
}

LRESULT CTrayIcon::CTrayHook::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == tray_.record_.uCallbackMessage && msg != 0 && HookedWindow() == tray_.record_.hWnd)
        tray_.OnTrayNotification(wp, lp);
    else if (msg == TaskbarCreatedMessage())
        tray_.OnTaskbarCreated(wp, lp);
    return CSubclassWnd::WindowProc(msg, wp, lp);
}

}  // namespace zyr::tray
