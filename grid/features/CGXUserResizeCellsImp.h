// Resizing rows and columns with the mouse: dragging the edge below a row (right of a column) changes its
// size, dragging it to nothing hides it, a double click on an edge shows hidden lines again or gives the
// line its default size.
//
// Call flow: press on an edge -> OnPress -> grid UserResizeForward4 -> OnStartTracking (line, switches)
//            moves -> OnHover -> grid UserResizeForward5 -> OnMoveTracking (inverted line, preview, immediate)
//            release -> OnRelease -> grid UserResizeForward7 -> OnEndTracking (undoable size change)
//            cancel mode -> CancelResize -> grid UserResizeForward6 -> OnCancelTracking
// The resize-flags words (rows and columns, default 178): 1 one size for all, 2 single lines, 8 no header
// lines, 16 no repaint at the start, 32 no drag-line window, 64 no inverted line, 128 preview in the
// headers, 256 immediate.
#pragma once

#include <memory>

#include "grid/core/CGXGridFeatures.h"
#include "platform/base/geometry.h"

class CGXDragLineWnd;

class CGXUserResizeCellsImp : public CGXGridUserResizeCellsImp {
 public:
  ~CGXUserResizeCellsImp() override;

  // The engine's mouse: moves while tracking, presses on edges (hit codes 1, 7 columns; 2, 8 rows), the
  // release, double clicks and cancel mode.
  BOOL OnHover(CGXGridCore* g, UINT keys, POINT pt) override;
  BOOL OnPress(CGXGridCore* g, UINT keys, POINT pt, int hitCode, ROWCOL row, ROWCOL col) override;
  void OnRelease(CGXGridCore* g, UINT keys, POINT pt) override;
  BOOL OnDblClk(CGXGridCore* g, UINT keys, POINT pt, int hitCode, ROWCOL row, ROWCOL col) override;
  BOOL CancelResize(CGXGridCore* g) override;
  // The tracking operations through the engine's forwarders: (row, col, mode) and, for move and end, size.
  LRESULT UserResizeForward4(CGXGridCore* g, const GXForwardArgs& a) override;
  void UserResizeForward5(CGXGridCore* g, const GXForwardArgs& a) override;
  void UserResizeForward7(CGXGridCore* g, const GXForwardArgs& a) override;
  void UserResizeForward6(CGXGridCore* g, const GXForwardArgs&) override { OnCancelTracking(g); }

  // mode 1 rows, 2 columns.
  BOOL OnStartTracking(CGXGridCore* g, ROWCOL row, ROWCOL col, int mode);
  void OnMoveTracking(CGXGridCore* g, int size);
  void OnEndTracking(CGXGridCore* g, int size);
  void OnCancelTracking(CGXGridCore* g);

  BOOL IsTracking() const { return m_bTracking; }
  const CRect& GetCurrentLine() const { return m_curLine; }
  CGXDragLineWnd* GetDragLine() const { return m_pDragLine.get(); }

 private:
  BOOL Rows() const { return m_nMode == 1; }
  ROWCOL Index() const { return Rows() ? m_nRow : m_nCol; }
  int CurrentSize(CGXGridCore* g) const;
  // The line at size `size` from the origin (never before the origin).
  CRect LineAt(int size) const;
  void InvertLine(CGXGridCore* g, const CRect& line);
  void DestroyDragLine();
  // The header strip from the line on (rows: its header cells down to the area's bottom).
  CRect HeaderStrip(CGXGridCore* g) const;
  // Stores a size for the moment (raw, hidden mark cleared) or puts the start state back.
  void StoreTemporarySize(CGXGridCore* g, int size);
  void RestoreStartState(CGXGridCore* g);
  int SizeFromPoint(POINT pt) const { return Rows() ? pt.y - m_nOrigin : pt.x - m_nOrigin; }
  void ShowRun(CGXGridCore* g, BOOL rows, ROWCOL index);

  BOOL m_bTracking = FALSE, m_bMoved = FALSE;
  int m_nMode = 0;
  ROWCOL m_nRow = 0, m_nCol = 0;
  int m_nOrigin = 0;
  CRect m_area, m_startLine, m_curLine;
  int m_nStartSize = 0;
  BOOL m_bHadStoredSize = FALSE, m_bStartHidden = FALSE;
  LONG m_nStoredSize = 0;
  BOOL m_bImmediate = FALSE, m_bPreview = FALSE, m_bDragLineWnd = FALSE, m_bInvertLine = FALSE,
       m_bStartRepaint = FALSE;
  std::unique_ptr<CGXDragLineWnd> m_pDragLine;
};
