// The module that holds the program's resources (the resource library once it is loaded).
#pragma once
#include <windows.h>
#include <string>

// Start-up sets it after loading the resource library; until then the program's own module.
void SetResourceInstance(HINSTANCE module);
HINSTANCE ResourceInstance();
// A string of the resource module as stored ("" when missing).
std::wstring LoadResourceString(UINT id);
