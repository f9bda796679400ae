// Visual-style calls. This desktop draws the classic look: the default provider answers "not themed"
// (a null theme, E_FAIL, FALSE), so callers take their classic drawing path. Tests install a recording
// provider (ThemeProvider.h) to drive the themed branches.
#pragma once

#include "platform/base/wintypes.h"

using HTHEME = HANDLE;

// Parts and states the module asks for.
constexpr int BP_PUSHBUTTON = 1;
constexpr int BP_RADIOBUTTON = 2;
constexpr int BP_CHECKBOX = 3;
constexpr int BP_GROUPBOX = 4;
constexpr int PBS_NORMAL = 1;
constexpr int PBS_HOT = 2;
constexpr int PBS_PRESSED = 3;
constexpr int PBS_DISABLED = 4;
constexpr int PBS_DEFAULTED = 5;

HTHEME OpenThemeData(HWND hwnd, const wchar_t* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect);
BOOL IsThemeActive();
BOOL IsAppThemed();
