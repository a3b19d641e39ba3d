// Drives the schedule options dialog from a timer while it runs modally on the test's thread.
#pragma once
#include <windows.h>

#include "resources/ids/schedule_ids.h"

#include <cwchar>
#include <functional>

namespace zyr::schedule::testing {

// Acts on the next dialog this thread opens, from inside its modal loop.
class DialogDriver {
public:
    using Action = std::function<void(HWND dialog)>;
    explicit DialogDriver(Action action) {
        current_ = this;
        action_ = std::move(action);
        timer_ = SetTimer(nullptr, 0, 20, &DialogDriver::OnTimer);
    }
    ~DialogDriver() {
        if (timer_) KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool opened() const { return opened_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current_;
        if (!self || self->opened_) return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (wcscmp(name, L"#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, IDC_SCHEDULE_HOUR)) {
                *reinterpret_cast<HWND*>(found) = window;
                return FALSE;
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        self->opened_ = true;
        KillTimer(nullptr, self->timer_);
        self->timer_ = 0;
        self->action_(dialog);
    }

    static inline DialogDriver* current_ = nullptr;
    Action action_;
    UINT_PTR timer_ = 0;
    bool opened_ = false;
};

}  // namespace zyr::schedule::testing
