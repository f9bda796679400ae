// The cells laid over one of the library's own drawn windows (the currency edit, the date-time control):
// what the currency and date-time cells do alike around their window.
//
//   SetEditingState  follows the window alone: the style cached at binding stays;
//   StoreValue       a modified value leaves editing, then goes through the grid's store-from-control path;
//   HideWindowPart   hides the shown window under the grid's focus guard, parked at ParkedRect();
//   CellWindowMessage  WM_KILLFOCUS (the window's own handling, then the grid hears where the focus went) and
//                      WM_CONTEXTMENU (the grid's cell-window menu), for the cell's WindowProc to hand on.
//
// `Window` is CGXBCurrencyEdit or CGXBDateTimeCtrl (any CWnd class).
#pragma once

#include "grid/controls/CGXStatic.h"
#include "grid/controls/CGXWindowCell.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/gxtypes.h"
#include "platform/window/windowapi.h"

template <class Window>
class CGXBWindowCell : public CGXWindowCell<Window, CGXStatic> {
 public:
  using CGXWindowCell<Window, CGXStatic>::CGXWindowCell;

  void SetEditingState(BOOL on) override { this->m_bEditing = on && this->m_hWnd; }
  BOOL StoreValue() override {
    CString value;
    if (!this->m_pCachedStyle || !this->m_bModified || !this->GetEditedValue(value)) return TRUE;
    SetEditingState(FALSE);
    return this->Grid()->StoreValueFromControl(this->GetRow(), this->GetCol(), value, 0, this->m_pCachedStyle.get());
  }
  void HideWindowPart() override {
    if (!this->m_hWnd || !this->IsWindowVisible()) return;
    CGXFlagScope hiding(this->Grid()->FocusGuard(), TRUE);
    HideCaret(this->m_hWnd);
    const CRect parked = ParkedRect();
    this->MoveWindow(parked.left, parked.top, parked.Width(), parked.Height(), FALSE);
    this->ShowWindow(SW_HIDE);
  }

 protected:
  // Where the hidden window waits (grid coordinates).
  virtual CRect ParkedRect() const { return CRect(0, 0, 0, 0); }
  // Other messages go to the window's own processing.
  LRESULT CellWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
      this->Grid()->OnCellWindowContextMenu(this, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    }
    const LRESULT result = Window::WindowProc(message, wParam, lParam);
    if (message == WM_KILLFOCUS) this->ForwardKillFocusToGrid(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
    return result;
  }

  // Set while the cell binds: the window's changes then are no user's.
  BOOL m_bInitialising = FALSE;
};
