// CTrayIcon: the program's icon in the notification area, its menu, balloons and shell restarts.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/SubclassWnd.h"

namespace zyr::tray {

// The callback message of the icon (wParam: icon id, lParam: the mouse or balloon event).
inline constexpr UINT UM_TRAY_NOTIFY = 1034;
// Commands sent to the owner.
inline constexpr UINT kOpenMainWindowCommand = 32779;

// The record's layout with guidItem and without hBalloonIcon: 952 bytes in a 32-bit program,
// 968 in a 64-bit one (the same fields, wider handles).
inline constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAW_V3_SIZE;
static_assert(sizeof(void*) == 8 ? kNotifyRecordSize == 968 : kNotifyRecordSize == 952);

// The registered "TaskbarCreated" message (the shell announces a restart with it).
UINT TaskbarCreatedMessage();

// Copies `text` into a fixed field of `capacity` characters, cut to capacity - 1 characters
// (never between the halves of a surrogate pair) and always terminated.
void CopyToField(wchar_t* field, size_t capacity, const wchar_t* text);

class CTrayIcon {
public:
    CTrayIcon();
    // Removes the icon and lets go of the owner window.
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // The owner receives the callback message and the menu's commands; it is watched for the
    // callback message and "TaskbarCreated" (its top-level parent too, when that is another window).
    void SetNotifyWindow(HWND owner);
    // With an icon: shows it (added the first time, modified afterwards); with none: removes a
    // shown icon. A tooltip replaces the stored one. False when the shell refuses; the stored
    // icon is then forgotten.
    bool SetIcon(HICON icon, const wchar_t* tooltip);
    // True when nothing was shown or the shell removed it.
    bool RemoveIcon();
    // A warning balloon for 90 seconds (absent texts are empty).
    bool ShowBalloon(const wchar_t* text, const wchar_t* title);
    // The context menu: the first submenu of this menu resource of the resource library.
    void SetMenuId(UINT id) { menuId_ = id; }

    // wParam: icon id, lParam: the mouse message. 1 when it acted on a right button release
    // or a double click.
    virtual int OnTrayNotification(WPARAM wp, LPARAM lp);
    // The shell was restarted: the stored icon is added again with its tooltip.
    virtual int OnTaskbarCreated(WPARAM wp, LPARAM lp);

    HICON Icon() const { return icon_; }
    HWND Owner() const { return record_.hWnd; }
    UINT MenuId() const { return menuId_; }
    // The record as last handed to the shell.
    const NOTIFYICONDATAW& Record() const { return record_; }

private:
    // Watches one window for the tray icon.
    class CTrayHook : public CSubclassWnd {
    public:
        explicit CTrayHook(CTrayIcon& tray) : tray_(tray) {}
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    private:
        CTrayIcon& tray_;
    };

    BOOL Notify(DWORD operation);

    NOTIFYICONDATAW record_{};
    HICON icon_ = nullptr;
    UINT menuId_ = 0;
    CTrayHook ownerHook_{*this};
    CTrayHook topLevelHook_{*this};
};

}  // namespace zyr::tray
