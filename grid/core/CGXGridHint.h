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
  ROWCOL m_row1 = 0, m_row2 = 0, m_row3 = 0;
  ROWCOL m_col1 = 0, m_col2 = 0, m_col3 = 0;
  DWORD_PTR m_arg = 0;
  DWORD m_result = 0;
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
  gxHintFrozenRows = 15,         // UpdateFrozenRows
  gxHintFrozenCols = 16,         // UpdateFrozenCols
  gxHintStyleRange = 17,         // RefreshStyleRange
  gxHintUpdateZoom = 19,         // UpdateZoom
  gxHintStoreZoom = 20,          // StoreZoom
  gxHintReadOnly = 21,           // UpdateReadOnly
  gxHintTopRow = 25,             // SetTopRow (split views only)
  gxHintLeftCol = 26,            // SetLeftCol (split views only)
  gxHintCurrentCellMoved = 27,   // current cell moved
  gxHintChangedCells = 36,       // RedrawChangedCells
};

// The per-grid update-hint feature: builds hints for the grid's changes and executes received ones.
class CGXGridUpdateHintImp : public CGXImpBase {
 public:
  // Executes a received hint on `grid` (every receiver call is made without building a further hint).
  virtual void ExecuteHint(CGXGridCore* grid, CObject* hint);
  // Fills a hint with the sending grid's group and hands it to the grid's NotifyOtherViews.
  virtual void SendHint(CGXGridCore* grid, CGXGridHint& hint);
};
