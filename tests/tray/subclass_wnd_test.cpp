// CSubclassWnd: chains of hooks on real windows, unhooking in any order, the end of a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/SubclassWnd.h"
#include "framework/Wnd.h"
#include "ui_test_support.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// Who saw which message, in order.
std::vector<std::string> seen;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kProbe) {
        seen.push_back("window");
        return 100 + static_cast<LRESULT>(wp);
    }
    if (msg == WM_NCDESTROY) seen.push_back("window:ncdestroy");
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateRecordingWindow() {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &RecordingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZyrHookTarget";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, L"ZyrHookTarget", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

class Recorder : public CSubclassWnd {
public:
    explicit Recorder(std::string name) : name_(std::move(name)) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kProbe) seen.push_back(name_);
        if (msg == WM_NCDESTROY) seen.push_back(name_ + ":ncdestroy");
        return CSubclassWnd::WindowProc(msg, wp, lp);
    }

private:
    std::string name_;
};

WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)); }

TEST(SubclassWnd, HooksSeeMessagesNewestFirstAndTheWindowStillAnswers) {
    HWND window = CreateRecordingWindow();
    Recorder a("a"), b("b");
    ASSERT_TRUE(a.HookWindow(window));
    ASSERT_TRUE(b.HookWindow(window));
    seen.clear();
    EXPECT_EQ(::SendMessageW(window, kProbe, 5, 0), 105);
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "a", "window"}));
    // Unhooking the older one leaves the newer in place; the last one restores the procedure.
    a.Unhook();
    seen.clear();
    EXPECT_EQ(::SendMessageW(window, kProbe, 1, 0), 101);
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "window"}));
    b.Unhook();
    EXPECT_EQ(ProcOf(window), &RecordingProc);
    seen.clear();
    ::SendMessageW(window, kProbe, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"window"}));
    ::DestroyWindow(window);
    EXPECT_FALSE(a.HookWindow(window));  // gone
}

TEST(SubclassWnd, TheEndOfTheWindowDetachesEveryHookBeforeTheWindowSeesIt) {
    HWND window = CreateRecordingWindow();
    Recorder a("a"), b("b");
    a.HookWindow(window);
    b.HookWindow(window);
    seen.clear();
    ::DestroyWindow(window);
    EXPECT_EQ(seen, (std::vector<std::string>{"window:ncdestroy"}));
    EXPECT_FALSE(a.IsHooked());
    EXPECT_FALSE(b.IsHooked());
    // A later window with the same handle value must not reach the old hooks.
    a.Unhook();
}

TEST(SubclassWnd, AProcedureInstalledOverTheHooksKeepsWorkingAfterTheyLeave) {
    HWND window = CreateRecordingWindow();
    Recorder a("a");
    a.HookWindow(window);
    static WNDPROC below = nullptr;
    below = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == kProbe) seen.push_back("top");
            return ::CallWindowProcW(below, h, m, w, l);
        })));
    a.Unhook();
    seen.clear();
    EXPECT_EQ(::SendMessageW(window, kProbe, 2, 0), 102);
    EXPECT_EQ(seen, (std::vector<std::string>{"top", "window"}));
    // A new hook joins the chain that is still in place.
    Recorder b("b");
    b.HookWindow(window);
    seen.clear();
    ::SendMessageW(window, kProbe, 2, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"top", "b", "window"}));
    ::DestroyWindow(window);
    EXPECT_FALSE(b.IsHooked());
}

// A framework window object under a hook: both see its messages, both let go at its end.
class CountingWnd : public CWnd {
public:
    int probes = 0;
    bool postNcDestroy = false;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kProbe) return ++probes;
        return CWnd::WindowProc(msg, wp, lp);
    }
    void PostNcDestroy() override { postNcDestroy = true; }
};

TEST(SubclassWnd, WorksOverAFrameworkWindowObject) {
    CountingWnd window;
    ASSERT_TRUE(window.CreateEx(0, L"STATIC", L"", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    Recorder hook("hook");
    ASSERT_TRUE(hook.HookWindow(window));
    seen.clear();
    EXPECT_EQ(window.SendMessage(kProbe), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"hook"}));
    window.DestroyWindow();
    EXPECT_FALSE(hook.IsHooked());
    EXPECT_TRUE(window.postNcDestroy);
    EXPECT_FALSE(window.IsWindow());
}

}  // namespace
