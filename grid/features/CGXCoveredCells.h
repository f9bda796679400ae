// Covered cells: a block shown and edited as one cell, its top-left cell covering the others. The ranges
// live in the parameter object's covered-cells list (stored with it); the covered-cell pool indexes them by
// cell. Covering checks the whole new block against the pool before anything is written, so a cover that
// overlaps another block fails and leaves list and pool as they were.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"

class CGXCoveredCellPool;

class CGXCoveredCells : public CGXGridCoveredCellsImp {
 public:
  // Covers (top, left)-(bottom, right), or uncovers the block starting at (top, left) when the bottom-right
  // is that cell; marks the area for floating and merging, redraws it and records the inverse command.
  BOOL SetCoveredCellsRowCol(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags,
                             int commandType) override;
  CGXRange* GetCoveredCellsRowCol(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& out) override;
  // The store alone: FALSE for a read-only grid (with the read-only checks on), a block overlapping another,
  // a change through an inner cell, or nothing to change.
  BOOL StoreCoveredCellsRowCol(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                               BOOL set) override;
  void UpdateCoveredCellsRowCol(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags,
                                BOOL createHint) override;
  void WidenRangeByCoveredCells(CGXGridCore* g, CGXRange& range) override;
  void OnCoveredCellsHint(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags) override;
  // Before rows (columns) from..to go: a block ending inside them ends before them, a block starting inside
  // them is uncovered, each with its undo command, so that undoing the removal brings them back.
  void OnRemoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, UINT* flags, int commandType) override;
  void OnRemoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, UINT* flags, int commandType) override;

 private:
  static CGXCoveredCellPool* Pool(CGXGridCore* g);
  void AdjustForRemoved(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, int commandType);
};
