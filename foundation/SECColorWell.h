// SECColorWell: a grid of colour cells (by default the 20 static colours, 4 columns by 5 rows) with an optional
// "other" cell below it and an "Other" button that opens the colour dialog. SECOtherButton is that button.
//
// The chosen colour is told to the parent with SEC_WM_COLORCHANGED (WM_USER + 101): wParam the control id,
// lParam the COLORREF. Cells are addressed (column, row); the other cell sits at (0, rows), 5 pixels lower.
//
// Behaviour (selection, keyboard moves, hit tests, geometry) is kept apart from painting: SelectCell is the
// one place a selection changes; OnPaint only reads the state.
#pragma once

#include <memory>

#include "platform/framework/CButton.h"
#include "platform/framework/ControlCodes.h"
#include "platform/gdi/CDC.h"

constexpr UINT SEC_WM_COLORCHANGED = WM_USER + 101;  // 1125
constexpr UINT SEC_WM_OPENCOLORDLG = WM_USER + 102;  // 1126
constexpr UINT SEC_IDC_OTHER_BUTTON = 59953;
constexpr UINT SEC_IDS_OTHER = 23100;

// How a selection came about: 0 keyboard or program, 1 mouse hover, 2 a click or Enter (closes a popup).
constexpr int SEC_SELECT_KEY = 0;
constexpr int SEC_SELECT_HOVER = 1;
constexpr int SEC_SELECT_CHOOSE = 2;

class SECColorWell;

class SECOtherButton : public CButton {
 public:
  SECOtherButton() = default;

 protected:
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  SECColorWell* Well() const;
  DECLARE_MESSAGE_MAP()
};

class SECColorWell : public CWnd {
 public:
  SECColorWell();
  ~SECColorWell() override;

  using CWnd::Create;
  // The window, the palette and (with bOther) the other cell and its "Other" button.
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID, BOOL bOther = FALSE);
  virtual void SetDialogFlags(DWORD flags) { m_dwDialogFlags = flags; }
  virtual void SetCustomColors(COLORREF* colors) { m_pCustomColors = colors; }
  virtual void Reset();
  virtual void DrawCell(CDC* pDC, CPalette* pPalette, CPoint origin, int col, int row);
  virtual void DrawSelectedCell(CDC* pDC, CPalette* pPalette, CPoint origin, int col, int row);
  virtual void NotifyParent();
  virtual void SelectCell(int col, int row, int how);
  virtual BOOL CreatePalette();
  virtual void SetDefaultGrid() {
    m_nCols = 4;
    m_nRows = 5;
  }
  virtual void CustomizeColors(PALETTEENTRY* entries, int count, int filled) {
    (void)entries, (void)count, (void)filled;
  }
  virtual DWORD ExtraStyle() const { return 0; }
  virtual BOOL HasFocusFrame() const { return TRUE; }
  // The well's rectangle at (x, y) for the current grid and the cell size that `pParent` gives.
  virtual void CalcSize(CRect& rect, CWnd* pParent, int x, int y, BOOL bDialogUnits = FALSE);

  COLORREF GetColor() const;
  void SetColor(COLORREF color);
  DWORD GetDialogFlags() const { return m_dwDialogFlags; }
  void SetGrid(int cols, int rows) {
    m_nCols = cols;
    m_nRows = rows;
  }
  int GetColumns() const { return m_nCols; }
  int GetRows() const { return m_nRows; }
  CPoint GetSelection() const { return CPoint(m_nSelCol, m_nSelRow); }
  BOOL HasOtherCell() const { return m_bHasOther; }
  // Before Create (which also takes it) so that CalcSize leaves room for the other cell.
  void SetHasOtherCell(BOOL b) { m_bHasOther = b; }
  BOOL IsOtherColorSet() const { return m_bOtherSet; }
  CSize GetCellSize() const { return CSize(m_nCellWidth, m_nCellHeight); }
  void SetPaletteRelative(BOOL b) { m_bPaletteRelative = b; }
  SECOtherButton* GetOtherButton() const { return m_pOther.get(); }

  // Geometry (client coordinates): a cell's rectangle, and the cell under a point (false when none).
  CRect CellRect(int col, int row) const;
  bool HitTest(CPoint point, int& col, int& row) const;
  // Where a key moves the selection from (col, row); false for keys that do not move it.
  bool MoveByKey(UINT key, int& col, int& row) const;

  // The "Other" button's command: the colour dialog; in a popup the owner button asks instead.
  virtual void OnOtherButton();

 protected:
  friend class SECOtherButton;
  bool IsOtherCell(int col, int row) const { return m_bHasOther && col == m_otherCell.x && row == m_otherCell.y; }
  bool OtherAvailable() const { return m_bHasOther && m_bOtherSet; }
  int PaletteIndex(int col, int row) const { return IsOtherCell(col, row) ? m_nOtherIndex : row * m_nCols + col; }
  COLORREF CellColor(int col, int row) const;
  void ComputeCellSize(CWnd* pParent);
  void PlaceOtherButton();
  BOOL RegisterClassOnce() const;

  CPalette m_palette;
  int m_nRows = 5;
  int m_nCols = 4;
  CPoint m_otherCell{0, 5};
  int m_nCellHeight = 0;
  int m_nCellWidth = 0;
  int m_cxMargin = 2;
  int m_cyMargin = 2;
  int m_nRowPitch = 0;
  int m_nSelRow = 0;
  int m_nSelCol = 0;
  int m_nOtherIndex = 20;
  BOOL m_bFocusShown = FALSE;
  BOOL m_bTracking = FALSE;
  BOOL m_bHasOther = FALSE;
  BOOL m_bOtherSet = FALSE;
  BOOL m_bPaletteRelative = FALSE;
  DWORD m_dwDialogFlags = 3;  // CC_RGBINIT | CC_FULLOPEN
  COLORREF* m_pCustomColors = nullptr;
  CBrush m_bgBrush;
  std::unique_ptr<SECOtherButton> m_pOther;

  afx_msg void OnPaint();
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnSysColorChange();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnOtherCommand();
  DECLARE_MESSAGE_MAP()
};
