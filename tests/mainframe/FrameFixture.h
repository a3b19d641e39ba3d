// The main window made as start-up makes it, on a fresh profile: the base of the in-process
// tests of the frame and of the pages it hosts.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "app/MainFrame.h"
#include "ui_test_support.h"

// The frame's window class (settings.xml "UCN"), registered as start-up registers it.
inline constexpr wchar_t kFrameClass[] = L"ZyrDiskCareFrame";

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        UseResourceLibrary();
        ResetSettings();
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = kFrameClass;
            return ::RegisterClassW(&wc);
        }();
        (void)atom;
    }
    void TearDown() override {
        frame.reset();
        ResetSettings();
    }
    // Creates and shows the frame; the process's message loop outlives it.
    CMainFrame& Open() {
        frame = std::make_unique<CMainFrame>();
        frame->quitOnDestroy = false;
        EXPECT_TRUE(frame->Create());
        EXPECT_TRUE(frame->ResourcesComplete());
        frame->ShowWindow(SW_SHOW);
        Pump(20);
        return *frame;
    }

    std::unique_ptr<CMainFrame> frame;
};
