// The cell store: styles stored for single cells, for whole rows (row base styles) and whole columns
// (column base styles), and the row and column counts. The grid reads and writes it only through its
// virtual operations, so that a derived store can take its place.
//
// Every stored style is owned here (a clone of what was given). nType -1 addresses a base style: of row
// nRow when nRow is not 0, else of column nCol (column 0: the table); any other nType the cell.
#pragma once

#include "grid/core/CGXRange.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStylePtrArray.h"

class CGXGridCore;
class CDWordArray;
class CGXData;

// Copying and moving blocks of stored cell styles (installed by the cell copy-and-move feature).
class CGXAbstractDataCopyMoveCellsImp : public CGXImpBase {
 public:
  virtual BOOL CopyCells(CGXData& data, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, ROWCOL destRow,
                         ROWCOL destCol) = 0;
  virtual BOOL MoveCells(CGXData& data, const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                         BOOL createUndoInfo) = 0;
};

// Reordering rows or columns after a sort (installed by the sorting feature).
class CGXAbstractGridSortMoveDataImp : public CGXImpBase {
 public:
  virtual BOOL MoveDataRows(CGXData& data, const CGXRange& sortRange, const CDWordArray& order) = 0;
  virtual BOOL MoveDataCols(CGXData& data, const CGXRange& sortRange, const CDWordArray& order) = 0;
};

class CGXData : public CObject {
  DECLARE_SERIAL(CGXData)

 public:
  CGXData() = default;
  CGXData(const CGXData& other) : CObject() { *this = other; }
  ~CGXData() override { DeleteContents(); }

  // The document serialisation's form (schema 1, the counts, the style arrays); nothing without it.
  void Serialize(CArchive& ar) override;
  virtual void DeleteContents();
  // Deep copy of the cells, both base-style arrays and both counts.
  virtual CGXData& operator=(const CGXData& other);
  virtual void InitParam(void* param) { (void)param; }
  virtual ROWCOL GetRowCount() const { return m_nRows; }
  virtual ROWCOL GetColCount() const { return m_nCols; }
  virtual BOOL StoreRowCount(ROWCOL nRows);
  virtual BOOL StoreColCount(ROWCOL nCols);
  virtual BOOL InsertRows(ROWCOL nRow, ROWCOL nCount);
  virtual BOOL InsertCols(ROWCOL nCol, ROWCOL nCount);
  // Removes the rows of nFrom..nTo that exist: a range reaching past the count removes only up to it.
  virtual BOOL RemoveRows(ROWCOL nFrom, ROWCOL nTo);
  virtual BOOL RemoveCols(ROWCOL nFrom, ROWCOL nTo);
  virtual BOOL MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
  virtual BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
  // Through the installed copy-and-move implementation; FALSE without it.
  virtual BOOL CopyCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol);
  virtual BOOL MoveCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                         BOOL createUndoInfo);
  virtual BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* style, int mode, int nType = 0);
  virtual BOOL GetStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType = 0) const;
  // Through the installed sort-move implementation; FALSE without it.
  virtual BOOL MoveDataRows(const CGXRange& sortRange, const CDWordArray& order);
  virtual BOOL MoveDataCols(const CGXRange& sortRange, const CDWordArray& order);

  // Hooks for a store that computes its cells (the formula sheet). The plain store keeps no formulas,
  // names or undo records of its own, so each hook does nothing here and answers 0, FALSE or null.
  //
  // The set is the one the formula sheet overrides from this class: changed-cell marks (the grid asks
  // them when it draws and tells them when a cell was drawn), the range-changed notice the grid sends on
  // every stored change, recalculation, the pending message, undo records of the engine and named ranges.
  // The text and number entry points the formula sheet adds behind these are its own and are not hooks.
  virtual BOOL IsCellChanged(ROWCOL nRow, ROWCOL nCol) const;
  virtual void SetCellChanged(ROWCOL nRow, ROWCOL nCol, BOOL changed);
  virtual void SetRangeChanged(const CGXRange& range);
  virtual void Recalc(BOOL force);
  virtual void RequestMessage();
  // TRUE when a message was handed out.
  virtual BOOL GetMessage(CString& text);
  // Hands the pending undo record to the caller, who then owns it.
  virtual CObject* DetachUndoInfo();
  virtual BOOL ApplyUndoInfo(CObject* undoInfo, BOOL record, BOOL redo);
  // The previous setting.
  virtual BOOL EnableUndoRecording(BOOL enable);
  virtual BOOL SetRangeName(LPCTSTR name, const CGXRange& range, CObject* undoInfo);
  virtual BOOL GetRangeName(LPCTSTR name, CGXRange& range) const;
  virtual BOOL DeleteRangeName(LPCTSTR name, CObject*& undoInfo, BOOL record);

  // Set while the store suspends its updates (a computing store in the middle of a bulk change): grids do
  // not repaint its changed cells meanwhile. A run-time switch, not archived.
  BOOL m_bSuspendUpdates = FALSE;

  // The first grid registered for this store, or null.
  CGXGridCore* GetFirstGrid() const;

  // The arrays, for the document serialisation and the copy features.
  CGXStylePtrArrayPtrArray& GetCells() { return m_cells; }
  CGXStylePtrArray& GetRowBaseStyles() { return m_rowStyles; }
  CGXStylePtrArray& GetColBaseStyles() { return m_colStyles; }
  const CGXStylePtrArrayPtrArray& GetCells() const { return m_cells; }
  const CGXStylePtrArray& GetRowBaseStyles() const { return m_rowStyles; }
  const CGXStylePtrArray& GetColBaseStyles() const { return m_colStyles; }
  void SetCounts(ROWCOL rows, ROWCOL cols) {
    m_nRows = rows;
    m_nCols = cols;
  }

 protected:
  ROWCOL m_nRows = 0;
  ROWCOL m_nCols = 0;
  CGXStylePtrArray m_rowStyles;
  CGXStylePtrArray m_colStyles;
  CGXStylePtrArrayPtrArray m_cells;
};
