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
// Settings under HKCU\Software\ZyrTests\<name> <process id>: the cases of one test program
// run side by side, and each must have a key of its own.
void UseOwnSettingsKey(const std::wstring& name);
// Loads the resource library beside the program (once, for the process) and makes it the
// resource module, then reads settings.xml beside the program and sets the settings key, as
// start-up does. The library, or null when it is missing.
HMODULE UseResourceLibrary();
// Runs `action` on the thread's message loop shortly after the calling code starts waiting,
// for example in a modal loop: posts are dispatched by any loop of this thread.
void Later(int ms, std::function<void()> action);
// The first visible top-level window of this thread whose class is the dialog class.
HWND FindThreadDialog();
