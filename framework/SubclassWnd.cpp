// CSubclassWnd: the window-to-hooks map, the shared replacement procedure, hooking and unhooking.
#include "framework/SubclassWnd.h"

#include <unordered_map>

namespace {

// The hooks of one window and the procedure it had before the first of them.
struct HookChain {
    CSubclassWnd* first = nullptr;
    WNDPROC original = nullptr;
};

// Created on first use and never destroyed: hooks held by objects that outlive static
// destruction (a frame ending with the process) can still unhook safely.
std::unordered_map<HWND, HookChain>& Chains() {
    static auto* chains = new std::unordered_map<HWND, HookChain>();
    return *chains;
}

// The message the hooks of this thread are processing, for Default().
struct MessageRecord {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
};
thread_local MessageRecord current;

}  // namespace

LRESULT CALLBACK SharedHookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& chains = Chains();
    auto found = chains.find(hwnd);
    if (found == chains.end()) return ::DefWindowProcW(hwnd, msg, wp, lp);
    const WNDPROC original = found->second.original;
    if (msg == WM_NCDESTROY) {
        // Every hook lets go first; the window's own procedure then sees its last message.
        for (CSubclassWnd* hook = found->second.first; hook;) {
            CSubclassWnd* next = hook->next_;
            hook->hwnd_ = nullptr;
            hook->next_ = nullptr;
            hook = next;
        }
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &SharedHookProc)
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        chains.erase(found);
        return ::CallWindowProcW(original, hwnd, msg, wp, lp);
    }
    CSubclassWnd* first = found->second.first;
    if (!first) return ::CallWindowProcW(original, hwnd, msg, wp, lp);
    const MessageRecord saved = current;
    current = {hwnd, msg, wp, lp};
    LRESULT result = 0;
    try {
        result = first->WindowProc(msg, wp, lp);
    } catch (...) {
        // Nothing unwinds through Windows.
        result = ::CallWindowProcW(original, hwnd, msg, wp, lp);
    }
    current = saved;
    return result;
}

CSubclassWnd::~CSubclassWnd() { Unhook(); }

bool CSubclassWnd::HookWindow(HWND hwnd) {
    auto& chains = Chains();
    if (hwnd_) {
        auto found = chains.find(hwnd_);
        if (found != chains.end()) {
            HookChain& chain = found->second;
            CSubclassWnd** link = &chain.first;
            while (*link && *link != this) link = &(*link)->next_;
            if (*link) *link = next_;
            if (!chain.first &&
                reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &SharedHookProc) {
                ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
                chains.erase(found);
            }
            // Otherwise another procedure was installed over ours: the chain stays, empty, so
            // that ours keeps passing messages to the original one.
        }
        hwnd_ = nullptr;
        next_ = nullptr;
        nextProc_ = nullptr;
    }
    if (!hwnd) return true;
    if (!::IsWindow(hwnd)) return false;
    auto found = chains.find(hwnd);
    if (found == chains.end()) {
        const auto original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedHookProc)));
        if (!original) return false;
        found = chains.emplace(hwnd, HookChain{nullptr, original}).first;
    }
    next_ = found->second.first;
    nextProc_ = found->second.original;
    found->second.first = this;
    hwnd_ = hwnd;
    return true;
}

LRESULT CSubclassWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return PassOn(msg, wp, lp); }

LRESULT CSubclassWnd::Default() { return PassOn(current.msg, current.wp, current.lp); }

LRESULT CSubclassWnd::PassOn(UINT msg, WPARAM wp, LPARAM lp) {
    if (next_) return next_->WindowProc(msg, wp, lp);
    if (hwnd_ && nextProc_) return ::CallWindowProcW(nextProc_, hwnd_, msg, wp, lp);
    // Unhooked while handling the message: straight to the window's original procedure.
    auto& chains = Chains();
    auto found = chains.find(current.hwnd);
    if (found != chains.end()) return ::CallWindowProcW(found->second.original, current.hwnd, msg, wp, lp);
    const auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(current.hwnd, GWLP_WNDPROC));
    return proc ? ::CallWindowProcW(proc, current.hwnd, msg, wp, lp) : 0;
}
