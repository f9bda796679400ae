// Range selection by mouse and keyboard: cells, whole rows, whole columns, the whole table and lists of
// ranges, kept in the parameter object's selection list.
//
// The engine hands over presses, moves over new cells, releases, unhandled clicks and keyboard moves; every
// change of the list runs between the grid's two hooks (OnPrepareSelectionChange may refuse it,
// OnSelectionChanged hears of it) and is drawn by inverting exactly the shown cells whose selected state
// changes (the paint inverts selected cells, so inverting twice restores the pixels).
//
// Call flow of a mouse selection:
//   press   -> OnStartSelection: clear (no Ctrl) | add the current cell (Ctrl, empty list) -> append range
//   move    -> OnMoveSelection -> SetRangeBeingBuilt -> grid SetSelection -> RedrawRangeChange (invert diff)
//   release -> OnEndSelection: a click without a drag keeps no unbounded range; Ctrl+click keeps the cell
// Shift+keys: OnMoveCurrentCell -> move with the selection untouched -> SetRangeBeingBuilt anchor..cell.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"

class CGXRangeList;

class CGXUserSelectRangeImp : public CGXGridUserSelectRangeImp {
 public:
  // ---- The selection operations -----------------------------------------------------------------------
  // Keyboard move (direction 1..12, count): 1 after a move that selected, the move's result for a plain
  // move, 0 when a hook, the start test or the move refused.
  BOOL OnMoveCurrentCell(CGXGridCore* g, int direction, ROWCOL count);
  // Mouse press on (row, col) with the button message's key flags (MK_CONTROL, MK_SHIFT).
  void OnStartSelection(CGXGridCore* g, UINT flags, ROWCOL row, ROWCOL col);
  // The mouse reached (row, col) with the button held: 1 when handled. A drag started in the cells stays
  // out of the headers; the corrected coordinates come back through row and col.
  BOOL OnMoveSelection(CGXGridCore* g, ROWCOL* row, ROWCOL* col);
  void OnEndSelection(CGXGridCore* g);
  // Adds (select) or removes a range; with update the change is drawn.
  void SelectRange(CGXGridCore* g, const CGXRange& range, BOOL select, BOOL update);
  // The list work behind SelectRange: append, or cut every intersecting range into the pieces outside the
  // removed one (above, below, left, right; the corner cells may lie in two pieces).
  BOOL ChangeSelectionList(CGXGridCore* g, const CGXRange& range, BOOL select);
  // Draws the change of a range after SelectRange: cells whose state differs between old and current list.
  void InvertRange(CGXGridCore* g, const CGXRange& range, const CGXRangeList& oldList, BOOL hint);
  // Gives the range at `pos` new bounds (through the grid's SetSelection); a null position clears the
  // whole selection.
  void SetRangeBeingBuilt(CGXGridCore* g, POSITION pos, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right);
  // Draws the difference between the bounds at `pos` and `range` (the engine calls it before it stores).
  void RedrawRangeChange(CGXGridCore* g, POSITION pos, const CGXRange& range, BOOL hint);
  // Removes the highlight of every selected range (before the list is emptied).
  void RedrawAllSelections(CGXGridCore* g, BOOL hint);
  // Ctrl+click on the header of a row (column) that another range already holds deselects it: 1 when done.
  BOOL OnCtrlClickHeader(CGXGridCore* g, ROWCOL row, ROWCOL col, UINT flags);
  // Clears the selection between the hooks; FALSE when the prepare hook refused.
  BOOL Clear(CGXGridCore* g, BOOL dragging = FALSE, BOOL byKey = FALSE);

  // The range being built (null when none), its anchor and the last cell reached.
  POSITION GetRangeBeingBuilt(CGXGridCore* g) const;
  ROWCOL m_nAnchorRow = 0, m_nAnchorCol = 0, m_nLastRow = 0, m_nLastCol = 0;
  BOOL IsMouseSelecting() const { return m_bMouseSelecting; }

  // ---- The engine's plug points -------------------------------------------------------------------------
  BOOL MoveByKey(CGXGridCore* g, int direction, ROWCOL count) override { return OnMoveCurrentCell(g, direction, count); }
  void OnPressStarted(CGXGridCore* g, UINT keys, POINT, int, ROWCOL row, ROWCOL col) override {
    OnStartSelection(g, keys, row, col);
  }
  void OnPressMoved(CGXGridCore* g, UINT, POINT, ROWCOL row, ROWCOL col) override { OnMoveSelection(g, &row, &col); }
  void OnPressReleased(CGXGridCore* g, UINT, POINT) override { OnEndSelection(g); }
  void ClearSelection(CGXGridCore* g) override { Clear(g); }
  void SelectCell(CGXGridCore* g, ROWCOL row, ROWCOL col) override { SelectRange(g, CGXRange(row, col), TRUE, TRUE); }
  BOOL OnClickedCell(CGXGridCore* g, ROWCOL row, ROWCOL col, UINT keys, POINT) override {
    return OnCtrlClickHeader(g, row, col, keys);
  }
  void SetSelection(CGXGridCore* g, POSITION pos, ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override {
    SetRangeBeingBuilt(g, pos, t, l, b, r);
  }
  // (range, select, update) in the argument words.
  void SelectRangeForward4(CGXGridCore* g, const GXForwardArgs& args) override;
  LRESULT SelectRangeForward5(CGXGridCore* g, const GXForwardArgs& args) override;
  void SelectRangeForward6(CGXGridCore* g, const GXForwardArgs& args) override;
  void SelectRangeForward8(CGXGridCore* g, const CGXRange& range, BOOL hint) override;
  void SelectRangeForward9(CGXGridCore* g, BOOL hint) override { RedrawAllSelections(g, hint); }
  void OnSelectionChangedHint(CGXGridCore* g, DWORD_PTR, ROWCOL top, ROWCOL left, ROWCOL bottom,
                              ROWCOL right) override;
  void OnSelectionClearedHint(CGXGridCore* g) override;
  void OnRangeChangedHint(CGXGridCore* g, const CGXRange& range, DWORD extra) override;

 private:
  // Appends an unbounded range and makes it the range being built.
  POSITION AppendRange(CGXGridCore* g);
  // The Ctrl and Shift that count for a mouse press under the allowed-selection word and the list modes.
  static BOOL CtrlCounts(CGXGridCore* g, UINT flags);
  static BOOL ShiftCounts(CGXGridCore* g, UINT flags, WORD allowMask);
  // Op 7 between the hooks: FALSE when the prepare hook refused.
  BOOL SetBetweenHooks(CGXGridCore* g, POSITION pos, const CGXRange& bounds, BOOL dragging, BOOL byKey);
  void SyncKeptFlag(CGXGridCore* g) const;

  POSITION m_posBuilt = nullptr;
  POSITION m_posRedraw = nullptr;  // the node whose change the engine's SetSelection is about to store
  BOOL m_bMouseSelecting = FALSE;
  BOOL m_bCtrlAtPress = FALSE;
};
