// SECPopupColorWell: the colour grid as a popup that holds the focus and the mouse until a choice is made.
// A click or Enter on a cell chooses it (the owner button hears SEC_WM_COLORCHANGED with wParam 0) and closes
// the popup; Escape, a press outside or the loss of focus close it without a choice.
#pragma once

#include "foundation/SECColorWell.h"

class SECWellButton;

class SECPopupColorWell : public SECColorWell {
 public:
  SECPopupColorWell() = default;

  using SECColorWell::Create;
  // Placed below `buttonRect` (screen coordinates), right-aligned or above it when the screen ends.
  virtual BOOL Create(DWORD dwStyle, const CRect& buttonRect, SECWellButton* pOwner, BOOL bOther,
                      COLORREF current);
  virtual void OtherButtonClicked();

  DWORD ExtraStyle() const override { return 2048; }
  BOOL HasFocusFrame() const override { return FALSE; }
  void NotifyParent() override;
  void SelectCell(int col, int row, int how) override;
  void OnOtherButton() override { OtherButtonClicked(); }

  BOOL IsOpen() const { return m_bOpen; }
  void Close();

 protected:
  SECWellButton* m_pOwner = nullptr;
  BOOL m_bOpen = FALSE;

  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  DECLARE_MESSAGE_MAP()
};
