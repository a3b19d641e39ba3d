// Answers the shell's own confirmation dialogs of this process (Yes or No) from another thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <thread>

// Posts the current answer to every visible dialog of this process while it lives.
class ConfirmationAnswerer {
public:
    explicit ConfirmationAnswerer(std::atomic<int>& answer) : answer_(answer), thread_([this] { Run(); }) {}
    ~ConfirmationAnswerer() {
        stop_ = true;
        thread_.join();
    }
    int Answered() const { return answered_; }

private:
    void Run() {
        while (!stop_) {
            EnumWindows(
                [](HWND hwnd, LPARAM self) -> BOOL {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(hwnd, &pid);
                    wchar_t cls[32] = {};
                    GetClassNameW(hwnd, cls, 32);
                    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && wcscmp(cls, L"#32770") == 0) {
                        auto* me = reinterpret_cast<ConfirmationAnswerer*>(self);
                        PostMessageW(hwnd, WM_COMMAND, me->answer_.load(), 0);
                        ++me->answered_;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            Sleep(40);
        }
    }
    std::atomic<int>& answer_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};
