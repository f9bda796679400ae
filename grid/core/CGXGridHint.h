// Update hints: every change a grid makes can be described as a hint that other views of the same
// document execute by calling the same grid operation. Dialog grids belong to no document and send none.
#pragma once

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXRange.h"
#include "platform/base/CObject.h"

class CGXGridCore;
class CGXStyle;

class CGXGridHint : public CObject {
  DECLARE_DYNAMIC(CGXGridHint)

 public:
  explicit CGXGridHint(DWORD id = 0, DWORD group = 0xFFFFFFFF) : m_id(id), m_group(group) {}

  DWORD m_id;
  CGXRange m_range;
  const CGXStyle* m_pStyle = nullptr;
  int m_mode = 0;
  ROWCOL m_row1 = 0, m_row2 = 0, m_row3 = 0;  // first; second or last; third or destination
  ROWCOL m_col1 = 0, m_col2 = 0, m_col3 = 0;
  DWORD_PTR m_arg = 0;  // a range list, a value, a type, an old-sizes array
  DWORD m_result = 0;   // set to 1 by a builder that wants the other views' answer (ANDed in)
  DWORD m_extra = 0;
  UINT m_flags = 0;
  DWORD m_group;  // 0xFFFFFFFF: every grid
};

// Hint ids (the receiving grid's operation in brackets).
enum GXHintId : DWORD {
  gxHintRedrawAll = 1,           // RedrawAll
  gxHintRedrawRange = 2,         // RedrawRange
  gxHintRowCount = 3,            // UpdateChangedRowCount
  gxHintColCount = 4,            // UpdateChangedColCount
  gxHintRowHeights = 5,          // UpdateChangedRowHeights
  gxHintColWidths = 6,           // UpdateChangedColWidths
  gxHintInsertCols = 7,          // UpdateInsertCols
  gxHintInsertRows = 8,          // UpdateInsertRows
  gxHintRemoveCols = 9,          // UpdateRemoveCols
  gxHintRemoveRows = 10,         // UpdateRemoveRows
  gxHintMoveCols = 11,           // UpdateMovedCols
  gxHintMoveRows = 12,           // UpdateMovedRows
  gxHintSelectionChanged = 13,   // selection feature
  gxHintSelectionCleared = 14,   // selection feature
  gxHintFrozenRows = 15,         // UpdateFrozenRows
  gxHintFrozenCols = 16,         // UpdateFrozenCols
  gxHintStyleRange = 17,         // RefreshStyleRange
  gxHintCoveredCells = 18,       // covered-cells feature
  gxHintUpdateZoom = 19,         // UpdateZoom
  gxHintStoreZoom = 20,          // StoreZoom
  gxHintReadOnly = 21,           // UpdateReadOnly
  gxHintSheetText = 22,          // the library's sheet-text handler
  gxHintRangeChanged = 23,       // selection feature
  gxHintCheckCurrentCell = 24,   // CompleteCellEdit, answers ANDed into the result
  gxHintTopRow = 25,             // SetTopRow (split views only)
  gxHintLeftCol = 26,            // SetLeftCol (split views only)
  gxHintCurrentCellMoved = 27,   // MoveCurrentCellTo
  gxHintFloatCells = 28,         // RedrawFloatCells
  gxHintMergedCells = 29,        // RedrawMergedCells
  gxHintExcelLikeFrame = 30,     // LockExcelLikeFrame
  gxHintSortRows = 31,           // RefreshAfterSort
  gxHintSortCols = 32,           // sort feature
  gxHintProperties = 33,         // refresh after the properties changed
  gxHintStylesMap = 34,          // refresh after the styles map changed
  gxHintBaseStyle = 35,          // refresh after a base style changed
  gxHintChangedCells = 36,       // RedrawChangedCells
};

// The per-grid update-hint feature: builds hints for the grid's changes and executes received ones. Each
// builder fills a hint with the sending grid's group and hands it to the grid's NotifyOtherViews; the
// callers build hints only when their createHint argument is set and the grid sends hints.
class CGXGridUpdateHintImp : public CGXImpBase {
 public:
  // Executes a received hint on `grid` (every receiver call is made without building a further hint).
  virtual void ExecuteHint(CGXGridCore* grid, CObject* hint);

  virtual void HintReadOnly(CGXGridCore* grid, BOOL oldReadOnly);
  virtual void HintCurrentCellMoved(CGXGridCore* grid, ROWCOL row, ROWCOL col, UINT flags);
  // The AND of the other views' answers (1 when no view answers).
  virtual DWORD HintCheckCurrentCell(CGXGridCore* grid, BOOL store, UINT flags);
  virtual void HintRowCount(CGXGridCore* grid, ROWCOL oldCount, UINT flags);
  virtual void HintColCount(CGXGridCore* grid, ROWCOL oldCount, UINT flags);
  virtual void HintFrozenCols(CGXGridCore* grid, ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags);
  virtual void HintFrozenRows(CGXGridCore* grid, ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags);
  virtual void HintTopRow(CGXGridCore* grid, ROWCOL row, UINT flags);
  virtual void HintLeftCol(CGXGridCore* grid, ROWCOL col, UINT flags);
  virtual void HintInsertRows(CGXGridCore* grid, ROWCOL row, ROWCOL count, UINT flags);
  virtual void HintInsertCols(CGXGridCore* grid, ROWCOL col, ROWCOL count, UINT flags);
  virtual void HintRedrawRange(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags);
  virtual void HintRedrawAll(CGXGridCore* grid, UINT flags);
  virtual void HintChangedCells(CGXGridCore* grid, DWORD extra);
  virtual void HintSheetText(CGXGridCore* grid);
  // Scroll direction 1..4: the pane beside (vertical) or below (horizontal) in a splitter follows.
  virtual void HintSyncSplitterPanes(CGXGridCore* grid, int direction);
  virtual void HintRangeChanged(CGXGridCore* grid, const CGXRange& range, DWORD extra);
  virtual void HintExcelLikeFrame(CGXGridCore* grid, BOOL lock);
  virtual void HintSelectionChanged(CGXGridCore* grid, DWORD_PTR arg, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                    ROWCOL right);
  virtual void HintSelectionCleared(CGXGridCore* grid);
  virtual void HintRowHeights(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags);
  virtual void HintColWidths(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags);
  virtual void HintStoreZoom(CGXGridCore* grid, int zoom);
  virtual void HintUpdateZoom(CGXGridCore* grid, int oldZoom, UINT flags);
  virtual void HintStyleRange(CGXGridCore* grid, const CGXRange& range, const CGXStyle* style, int mode, int type,
                              UINT flags);
  virtual void HintStylesMap(CGXGridCore* grid, UINT flags);
  virtual void HintProperties(CGXGridCore* grid, UINT flags);
  virtual void HintBaseStyle(CGXGridCore* grid, WORD baseStyleId, UINT flags);
  virtual void HintCoveredCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags);
  virtual void HintFloatCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags);
  virtual void HintMergedCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags);
  virtual void HintSortRows(CGXGridCore* grid, const CGXRange& range, UINT flags);
  virtual void HintSortCols(CGXGridCore* grid, const CGXRange& range, UINT flags);
  virtual void HintRemoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags);
  virtual void HintRemoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags);
  virtual void HintMoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags);
  virtual void HintMoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags);

  // Fills a hint with the sending grid's group and hands it to the grid's NotifyOtherViews.
  virtual void SendHint(CGXGridCore* grid, CGXGridHint& hint);

 private:
  void SendBlock(CGXGridCore* grid, DWORD id, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags,
                 DWORD_PTR arg = 0);
  void SendRows(CGXGridCore* grid, DWORD id, ROWCOL first, ROWCOL second, UINT flags, DWORD_PTR arg = 0);
  void SendCols(CGXGridCore* grid, DWORD id, ROWCOL first, ROWCOL second, UINT flags, DWORD_PTR arg = 0);
  void SendRange(CGXGridCore* grid, DWORD id, const CGXRange& range, UINT flags, DWORD extra = 0);
};
