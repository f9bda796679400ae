// CButton for the owner-draw buttons. The framework does not offer the class-library button wrapper yet; until
// platform/framework/CButton.h exists this inline stand-in provides the few members the buttons use.
// FIXME: drop the stand-in once the framework has CButton.
#pragma once

#if __has_include("platform/framework/CButton.h")
#include "platform/framework/CButton.h"
#else
#include "platform/framework/CWnd.h"

class CButton : public CWnd {
 public:
  using CWnd::Create;
  BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Button", caption, style, rect, parent, id);
  }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(highlight)); }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
  // Owner-drawn buttons draw here; the derived class reflects WM_DRAWITEM to it.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
};
#endif
