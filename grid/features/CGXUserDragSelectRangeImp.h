// Moving selected whole rows or columns by dragging their headers: a press on the header of a selected row
// (column) arms the drag, moves show a drop marker at the top (left) boundary of the row (column) under the
// mouse, and the release moves the rows (columns) there through the grid's undoable move.
//
// Call flow: press -> OnButtonDown -> grid BeginDragSelect -> OnStartDrag (range, cursor 20194)
//            move  -> OnMouseMove -> drop target -> grid DragSelectForward4 -> OnDragFeedback (marker, cursor)
//            release -> OnButtonUp -> grid DragSelectForward5 -> OnDrop -> grid MoveRows / MoveCols
//            cancel mode -> CancelDragSelect -> grid EndDragSelect -> OnCancelDrag
#pragma once

#include <memory>

#include "grid/core/CGXGridFeatures.h"

class CGXDragLineWnd;

class CGXUserDragSelectRangeImp : public CGXGridUserDragSelectRangeImp {
 public:
  ~CGXUserDragSelectRangeImp() override;

  // The engine's press, move, release and cancel.
  BOOL OnButtonDown(CGXGridCore* g, UINT keys, POINT pt, ROWCOL row, ROWCOL col) override;
  BOOL OnMouseMove(CGXGridCore* g, UINT keys, POINT pt) override;
  BOOL OnButtonUp(CGXGridCore* g, UINT keys, POINT pt) override;
  BOOL CancelDragSelect(CGXGridCore* g) override;
  // The drag operations the engine reaches through its forwarders: start (row or 0, col or 0), feedback and
  // drop (row, col, target row, target col in the argument words), cancel.
  BOOL BeginDragSelect(CGXGridCore* g, ROWCOL row, ROWCOL col) override { return OnStartDrag(g, row, col); }
  LRESULT DragSelectForward4(CGXGridCore* g, const GXForwardArgs& a) override;
  LRESULT DragSelectForward5(CGXGridCore* g, const GXForwardArgs& a) override;
  void EndDragSelect(CGXGridCore* g) override { OnCancelDrag(g); }

  BOOL OnStartDrag(CGXGridCore* g, ROWCOL row, ROWCOL col);
  void OnDragFeedback(CGXGridCore* g, ROWCOL targetRow, ROWCOL targetCol);
  BOOL OnDrop(CGXGridCore* g, ROWCOL targetRow, ROWCOL targetCol);
  void OnCancelDrag(CGXGridCore* g);

  // The permissions a grid program may narrow (all TRUE here): may rows first..last (columns) be dragged,
  // and dropped before row (column) target.
  virtual BOOL CanDragRows(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/) { return TRUE; }
  virtual BOOL CanDragCols(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/) { return TRUE; }
  virtual BOOL CanDropRows(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, ROWCOL /*target*/) { return TRUE; }
  virtual BOOL CanDropCols(CGXGridCore*, ROWCOL /*first*/, ROWCOL /*last*/, ROWCOL /*target*/) { return TRUE; }

  // State: armed, mode 2 rows or 1 columns (0 none), the block being dragged, the drop target shown.
  BOOL IsArmed() const { return m_bArmed; }
  int GetMode() const { return m_nMode; }
  ROWCOL GetTargetRow() const { return m_nTargetRow; }
  ROWCOL GetTargetCol() const { return m_nTargetCol; }
  CGXDragLineWnd* GetMarker() const { return m_pMarker.get(); }

 private:
  // The row (column) before which a drop at pt would land: at least 1, count + 1 below the last.
  void DropTarget(CGXGridCore* g, POINT pt, ROWCOL* row, ROWCOL* col) const;
  void DestroyMarker();
  void EndDrag(CGXGridCore* g);

  BOOL m_bArmed = FALSE;
  int m_nMode = 0;
  ROWCOL m_nFirst = 0, m_nLast = 0;
  ROWCOL m_nTargetRow = 0, m_nTargetCol = 0;
  std::unique_ptr<CGXDragLineWnd> m_pMarker;
};

// The cursor shown where a drop is refused.
constexpr UINT GX_IDC_NODROP = 20208;
