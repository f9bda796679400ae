// The process-wide factories of the spanned-cells pools: span cell pools and delayed-range pools (created,
// copied and assigned through them, and the span pool's row and column changes forwarded), and the
// covered-cell pool, the index from each cell to the covered range that holds it.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXSpanCellPool.h"

class CGXSpanCellPoolImp : public CGXAbstractSpanCellPoolImp {
 public:
  CGXSpanCellPool* CreateSpanCellPool(const CGXSpanCellPool& copy) override { return new CGXSpanCellPool(copy); }
  CGXSpanCellPool* CreateSpanCellPool() override { return new CGXSpanCellPool; }
  void AssignSpanCellPool(CGXSpanCellPool& to, const CGXSpanCellPool& from) override { to = from; }
  void InsertRows(CGXSpanCellPool* pool, ROWCOL row, ROWCOL count) override;
  void RemoveRows(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to) override;
  void MoveRows(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to, ROWCOL dest) override;
  void InsertCols(CGXSpanCellPool* pool, ROWCOL col, ROWCOL count) override;
  void RemoveCols(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to) override;
  void MoveCols(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to, ROWCOL dest) override;
};

class CGXDelayedRangePoolImp : public CGXAbstractDelayedRangePoolImp {
 public:
  CGXDelayedRangePool* CreateDelayedRangePool(const CGXDelayedRangePool& copy) override {
    return new CGXDelayedRangePool(copy);
  }
  CGXDelayedRangePool* CreateDelayedRangePool() override { return new CGXDelayedRangePool; }
  void AssignDelayedRangePool(CGXDelayedRangePool& to, const CGXDelayedRangePool& from) override { to = from; }
};

// For each cell, the position in the covered-cells list of the range that covers it, null where none does.
// The pool is kept as bands of rows that hold the same cells, each a sorted list of column runs: a range
// costs a band and a run however many cells it covers.
class CGXCoveredCellPool : public CObject {
  DECLARE_DYNAMIC(CGXCoveredCellPool)

 public:
  // The position for the cell, null when nothing covers it.
  POSITION Lookup(ROWCOL row, ROWCOL col) const;
  // Enters the range with its position (a one-cell range is not entered), or clears (null) the range
  // that holds (top, left) from there on in each row. Entering stops with FALSE at a row whose first cell
  // holds another position; entries right of the range that still hold the same position are cleared (a
  // range that got narrower). TRUE when a row changed.
  BOOL SetRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position);
  // Whether every cell of the block is free (or holds `position` already).
  BOOL IsFree(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) const;
  // The positions that cells of the block hold, each once, ascending: found through the bands and runs
  // the block meets, not through every range.
  std::vector<POSITION> PositionsIn(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) const;
  void DeleteAll() {
    m_bands.clear();
    m_found = nullptr;
  }
  // The column runs the pool holds over all its bands (its size: a run is a few words).
  std::size_t RunCount() const;
  // The last row and column a range may reach to be entered: a block is measured line by line to its far
  // end when it is drawn.
  static constexpr ROWCOL kMaxRow = 0xFFFFFF, kMaxCol = 0xFFFF;

 private:
  struct Run {
    ROWCOL left, right;
    POSITION position;
    bool operator==(const Run&) const = default;
  };
  // Sorted, disjoint, never null, and two touching runs of one position are one run.
  using Runs = std::vector<Run>;
  static POSITION At(const Runs& runs, ROWCOL col);
  // Gives the columns left..right the position (null: frees them).
  static void Assign(Runs& runs, ROWCOL left, ROWCOL right, POSITION position);
  // Frees the cells from `col` on while they hold `position`.
  static void ClearFrom(Runs& runs, ROWCOL col, POSITION position);
  // A band starts at `row`, holding what the row held.
  void Split(ROWCOL row);
  // Joins the bands from the one holding `from` to the one starting after `to` where they hold the same.
  void Join(ROWCOL from, ROWCOL to);

  // By first row: a band reaches to the row before the next band (the last one to the end); rows before
  // the first band hold nothing.
  std::map<ROWCOL, Runs> m_bands;
  // The band the last lookup found, rows m_foundFirst to m_foundEnd - 1 (a repaint asks row by row).
  mutable const Runs* m_found = nullptr;
  mutable std::uint64_t m_foundFirst = 0, m_foundEnd = 0;
};

class CGXCoveredCellPoolImp : public CGXAbstractCoveredCellPoolImp {
 public:
  CObject* CreatePool(CGXGridParam& param) override;
  // Empties the pool and enters every range of the list with its position.
  void SyncPool(CObject* pool, const CGXRangeList& coveredCells) override;
};

void InstallSpanCellPoolImp();
void InstallDelayedRangePoolImp();
void InstallCoveredCellPoolImp();
