// GDI+ with the COM declarations its headers expect before them.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
