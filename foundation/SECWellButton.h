// SECWellButton: an owner-draw button showing the current colour and a drop arrow; a click opens a
// SECPopupColorWell below it. The chosen colour is passed on to the parent with SEC_WM_COLORCHANGED (wParam the
// control id); SEC_WM_OPENCOLORDLG opens the colour dialog for the button.
#pragma once

#include <memory>

#include "foundation/SECOwnerDrawButton.h"
#include "foundation/SECPopupColorWell.h"

class CDataExchange;

class SECWellButton : public SECOwnerDrawButton {
 public:
  SECWellButton();
  ~SECWellButton() override;

  void OnButtonClicked() override;
  void PrepareDC(CDC* pDC, CDC* pMemDC) override;
  void RestoreDC(CDC* pDC, CDC* pMemDC) override;
  void DrawFocusFrame(CDC* pDC, CRect rect) override;
  void DrawContent(CDC* pDC, LPDRAWITEMSTRUCT lpDIS, CRect interior) override;

  virtual void SetDialogFlags(DWORD flags) { m_dwDialogFlags = flags; }
  virtual DWORD GetDialogFlags() const { return m_dwDialogFlags; }
  virtual void SetCustomColors(COLORREF* colors) { m_pCustomColors = colors; }
  virtual BOOL CreatePalette();
  virtual void ShowPopup();

  void SetColor(COLORREF color);
  COLORREF GetColor() const;
  void SetPaletteRelative(BOOL b) { m_bPaletteRelative = b; }
  SECPopupColorWell* GetPopup() const { return m_pPopup.get(); }

 protected:
  std::unique_ptr<SECPopupColorWell> m_pPopup;
  CPalette m_palette;
  CPalette* m_pOldScreenPalette = nullptr;
  CPalette* m_pOldMemPalette = nullptr;
  BOOL m_bPaletteRelative = FALSE;
  BOOL m_bPopupOther = TRUE;  // the popup gets the other cell
  DWORD m_dwDialogFlags = 3;
  COLORREF* m_pCustomColors = nullptr;
  BOOL m_bKeyDownHere = FALSE;  // the key whose key-up arrives went down on this button

  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg LRESULT OnColorChanged(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnOpenColorDialog(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};

// Reads the button's colour into `value` when saving, sets it from `value` otherwise.
void DDX_SECWellButton(CDataExchange* pDX, SECWellButton& button, COLORREF& value);
