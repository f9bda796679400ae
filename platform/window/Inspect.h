// Test aids for looking inside the window system: paint and erase counters, update regions, recorded
// beeps, the current cursor, and the per-window pre-dispatch hook that lets a plug-in see (and consume)
// every message of a window before its procedure without subclassing it.
#pragma once

#include <string>
#include <vector>

#include "platform/window/RectList.h"
#include "platform/window/Window.h"

namespace plat {

int PaintCount(HWND hwnd);  // WM_PAINT messages the window received (dispatched or sent by UpdateWindow)
int EraseCount(HWND hwnd);  // WM_ERASEBKGND messages sent by BeginPaint or an erase-now redraw
RectList UpdateRegion(HWND hwnd);
const std::vector<UINT>& RecordedBeeps();  // MessageBeep types, in order
void ClearRecordedBeeps();
std::string CurrentCursorName();  // "IDC_ARROW", "none", ...
bool SetPreDispatchHook(HWND hwnd, PreDispatchHook hook);  // an empty hook removes it

}  // namespace plat

// Changes system colours and tells every top-level window (WM_SYSCOLORCHANGE), then repaints everything.
BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors);
