// One window's state inside the window manager.
//
// Rectangles: `rect` is the window rectangle in the parent's client coordinates (screen coordinates for
// top-level windows, whose parent is the desktop); `client` is the client rectangle in window coordinates
// (its top-left is the width of the left and top non-client parts).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/window/RectList.h"
#include "platform/window/WindowClassRegistry.h"
#include "platform/window/windowapi.h"

namespace plat {

// One standard scroll bar of a window (SB_HORZ or SB_VERT).
struct ScrollBarState {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  UINT disabledArrows = 0;    // ESB_DISABLE_* set by EnableScrollBar
  bool disableNoScroll = false;  // SIF_DISABLENOSCROLL: shown but disabled when there is nothing to scroll
};

// Lets a plug-in see every message of one window before its procedure; returning true consumes it.
using PreDispatchHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

struct Window {
  HWND hwnd = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // the desktop for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // Z order, topmost first; creation order unless reordered
  CRect rect;
  CRect client;
  CRect restoreRect;  // the placement to return to from WS_MAXIMIZE
  CRect iconicRestoreRect;          // the placement to return to from WS_MINIMIZE
  bool restoreToMaximized = false;  // minimised while maximised: restoring maximises again
  HMENU sysMenu = nullptr;          // the window's copy of the system menu, made by GetSystemMenu
  HWND focusTaken = nullptr;        // top-level windows: the window inside that had the focus when it was
                                    // deactivated or disabled, for the next activation to give it back
  std::string text;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;

  // Life cycle.
  bool created = false;     // WM_NCCREATE answered TRUE
  bool destroying = false;  // inside DestroyWindow
  bool sizeSent = false;    // WM_SIZE/WM_MOVE went out during creation

  // Painting.
  RectList update;           // client coordinates
  bool erase = false;        // WM_ERASEBKGND owed at the next BeginPaint
  bool internalPaint = false;
  bool ncPaint = false;      // WM_NCPAINT owed
  bool redraw = true;        // WM_SETREDRAW
  int paintCount = 0;        // WM_PAINT messages delivered (inspection)
  int eraseCount = 0;        // WM_ERASEBKGND messages sent (inspection)

  ScrollBarState hscroll;
  ScrollBarState vscroll;

  PreDispatchHook preDispatch;

  bool IsChild() const { return (style & (WS_CHILD | WS_POPUP)) == WS_CHILD; }
};

}  // namespace plat
