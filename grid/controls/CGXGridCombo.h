// The popup that carries a dropped-down cell's list: a borderless top-level tool window owned by the
// desktop, placed by the drop-down cell under or above its cell, with the list as its only child. It
// paints the list in the cell's colours and hands the list's commands to its owner (the grid window).
#pragma once

#include <memory>

#include "platform/framework/CWnd.h"
#include "platform/gdi/CBrush.h"

class CGXGridCombo : public CWnd {
 public:
  // Creates the window at (rect.left - 1, rect.top), one pixel wider than `rect`, under the popup-active
  // flag. `creator` is the window that asks for the popup; it is not kept.
  CGXGridCombo(CWnd* owner, CWnd* creator, const CRect& rect);
  ~CGXGridCombo() override;

  // Keeps (and from now on owns) the list window object.
  void AttachListBox(CWnd* list);
  CWnd* GetListBox() const { return m_pList.get(); }
  CWnd* GetOwnerWnd() const { return m_pOwnerWnd; }
  // Colours for the list: its text and background, and a solid brush of the background.
  void SetColors(COLORREF text, COLORREF back);
  BOOL HasColors() const { return m_bColors; }
  // The grid library's popup-active flag, which makes the grids ignore the focus and activation changes a
  // popup causes while it is created, placed or destroyed.
  static void SetPopupActive(BOOL active);

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::unique_ptr<CWnd> m_pList;
  CWnd* m_pOwnerWnd;
  BOOL m_bColors = FALSE;
  std::unique_ptr<CBrush> m_pBrush;
  COLORREF m_rgbText = 0, m_rgbBack = 0;
};

// Raises the popup-active flag for the life of the scope (and puts back what it was).
class CGXPopupActiveScope {
 public:
  CGXPopupActiveScope();
  ~CGXPopupActiveScope();
  CGXPopupActiveScope(const CGXPopupActiveScope&) = delete;
  CGXPopupActiveScope& operator=(const CGXPopupActiveScope&) = delete;

 private:
  BOOL m_bWas;
};
