// SECOwnerDrawButton: a push button that draws itself.
//
// Looks: the 3-D frame (new look), the older rounded black outline, a flat look that shows a raised frame
// only under the mouse, or themed push-button backgrounds when visual styles are on. Drawing goes through an
// off-screen bitmap so that a disabled button can be embossed as a whole. While focused, the button takes
// over the dialog's default-button role and hands it back when the focus leaves.
//
// Call flow of one paint (WM_DRAWITEM reflected to DrawItem):
//   DrawItem -> memory DC -> PrepareDC -> DrawFrame (interior) -> DrawContent -> DrawDisabled (if disabled)
//            -> copy to the item DC -> RestoreDC;  then DrawFocus -> DrawFocusFrame
// Without a memory DC the same steps run directly on the item DC, without the emboss.
#pragma once

#include "platform/framework/CButton.h"
#include "platform/framework/ControlCodes.h"
#include "platform/gdi/CDC.h"

// Bit 0 of the extended style: the button is the dialog's default button.
constexpr DWORD SEC_BTN_DEFAULT = 0x0001;

class SECOwnerDrawButton : public CButton {
 public:
  SECOwnerDrawButton();
  ~SECOwnerDrawButton() override = default;

  using CButton::Create;
  virtual BOOL AttachButton(UINT nID, CWnd* pParent, DWORD nExtStyle = 0);
  virtual BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                      DWORD nExtStyle = 0);
  virtual void OnButtonClicked() {}
  virtual LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
  virtual void SetFlat(BOOL bFlat) { m_bFlat = bFlat; }
  virtual BOOL IsFlat() const { return m_bFlat; }
  virtual void PrepareDC(CDC*, CDC*) {}
  virtual CRect DrawFrame(CDC* pDC, LPDRAWITEMSTRUCT lpDIS);
  virtual void RestoreDC(CDC*, CDC*) {}
  virtual void DrawDisabled(CDC* pMemDC, int cx, int cy);
  virtual void DrawFocusFrame(CDC* pDC, CRect rect) = 0;
  virtual void DrawFocus(CDC* pDC, LPDRAWITEMSTRUCT lpDIS);
  virtual void DrawContent(CDC* pDC, LPDRAWITEMSTRUCT lpDIS, CRect interior) = 0;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

  BOOL IsHot() const { return m_bHot; }
  DWORD GetExtStyle() const { return m_nExtStyle; }

 protected:
  // Whether drawing is themed now: the application themed, the theme active and the "Button" theme opens.
  BOOL IsThemed() const;
  void DrawOldOutline(CDC* pDC, const CRect& r) const;

  BOOL m_bNewLook;
  BOOL m_bFlat = FALSE;
  DWORD m_dwDefIdReply = 0;
  DWORD m_dwPrevDefStyle = 0;
  DWORD m_nExtStyle = 0;
  BOOL m_bHot = FALSE;

  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnSysColorChange();
  afx_msg LRESULT OnSetStyleMessage(WPARAM wParam, LPARAM lParam);
  // The click test of WM_LBUTTONUP: inside, pushed and holding the capture.
  bool IsReleaseAClick(CPoint point) const;
  DECLARE_MESSAGE_MAP()
};
