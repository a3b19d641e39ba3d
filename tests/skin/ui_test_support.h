// Helpers of the in-process UI tests: message pumping, a plain host window, the settings key.
#pragma once
#include <windows.h>
#include <chrono>
#include <functional>
#include <string>

// Dispatches messages for `ms` milliseconds (or until `done` answers true).
void Pump(int ms, const std::function<bool()>& done = {});
// A visible top-level window of a plain class, for hosting controls.
HWND CreateHostWindow(int width = 600, int height = 400);
// Deletes the program's per-user settings key (a clean start for each test).
void ResetSettings();
// Loads the resource library beside the test program and makes it the resource module.
void UseResourceLibrary();
// Runs `action` on the thread's message loop shortly after the calling code starts waiting,
// for example in a modal loop: posts are dispatched by any loop of this thread.
void Later(int ms, std::function<void()> action);
// The first visible top-level window of this thread whose class is the dialog class.
HWND FindThreadDialog();
