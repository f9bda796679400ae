// The list box cell: a cell's choice list shown as a list inside the cell; the chosen line is the cell's
// value. Inactive cells draw the lines themselves with the value's line inverted (scrolled so that it is
// seen); the cell being edited gets a real "LISTBOX" window over its inner rectangle.
//
// Call flow:
//   InitForCell -> window made on the first binding -> cached style refreshed, not modified
//   click (activation flags 1, 2, 4) / double-click (8) / a key -> editing state -> the grid paints the cell
//     -> DrawCell (the edited cell): font at the grid's zoom, window moved over the cell and filled, focus
//     moved to it under the focus guard; a click is then posted to the list at the same point
//   LBN_SELCHANGE (through the grid's command forwarding) -> modified (a read-only cell puts its line back)
//   WM_KEYDOWN in the list -> the key table decides between the list and the grid
//   StoreValue -> the selected line's text -> the grid's set-value operation
#pragma once

#include <memory>

#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXWindowCell.h"
#include "platform/framework/CListBox.h"
#include "platform/gdi/CFont.h"

constexpr WORD GX_IDS_CTRL_LISTBOX = 52522;
// WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY.
constexpr DWORD GX_LISTBOX_STYLE = 0x00300001;

class CGXListBox : public CGXWindowCell<CListBox, CGXControl> {
  DECLARE_DYNAMIC(CGXListBox)

 public:
  CGXListBox(CGXGridCore* grid, UINT id);
  ~CGXListBox() override;

  static const CGXControlClass gxClassCGXListBox;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXListBox; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // ---- Window part -----------------------------------------------------------------------------------
  // The hidden list window, a child of the grid window with the window id.
  BOOL CreateListWindow();
  // Refills the list from the bound cell's choice list and selects the line the cell shows (equal, else
  // the first beginning with it). A modified list keeps the user's selected line instead.
  void FillListWindow();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // ---- Control part ----------------------------------------------------------------------------------
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL StoreValue() override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  // Selects the line equal to the text, else the first beginning with it; no line matching changes
  // nothing (the list is not modified).
  void SetEditText(const CString& text) override;
  // The cell's value is the line it shows selected: a text is taken as the line it names (FindChoiceListItem)
  // in the line's own spelling; any other text is refused, an empty one empties the cell.
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // A text pasted into the list being edited that names no line is refused with the message of a pasted text
  // its cell does not take; one that does is stored as its line.
  BOOL CanPasteText(const CString& text) override;
  BOOL PasteFromClipboard() override;
  void HideWindowPart() override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) override;
  BOOL HandleWindowCommand(WPARAM wParam, LPARAM lParam) override;

  // The keys the list leaves to the grid (Ctrl held, Tab, Enter, Escape, Left, Right, Delete, F1 to F24).
  static BOOL IsGridKey(UINT ch);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A key pressed in the list: TRUE when it went to the grid.
  BOOL ProcessListKey(UINT ch, UINT repeat, UINT flags);
  // Enters editing from a click at (x, y) of the grid: the cell is drawn active, which places the window,
  // and the click is posted to the list so that it selects the line under the point.
  void ActivateWithClick(UINT flags, int x, int y);
  // The inactive look: the lines from the one that keeps the value's line in view, the value's inverted.
  void DrawInactiveLines(CDC* dc, const CRect& rect, const CGXStyle& style);
  // The line to select: equal to the text, else the first beginning with it; -1 when none.
  int MatchingLine(const CString& text) const;

  UINT m_nID;
  std::unique_ptr<CFont> m_pFont;
  BOOL m_bDestroying = FALSE;
};
