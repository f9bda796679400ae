// The pools that the floating- and merged-cells features keep in the parameter object: delayed ranges
// (areas still to evaluate) and span cell pools (which cells belong to which spanned block).
//
// The model and its operations: the archive forms, emptying, copies and the reset that older layouts need;
// recording and handing out the areas still to evaluate; storing and finding spans and keeping them with
// their cells when rows and columns are inserted, removed or moved. Evaluating spans belongs to the
// spanned-cells features, which create the pools through the process-wide factories below.
#pragma once

#include <memory>
#include <vector>

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXRange.h"
#include "platform/base/CObject.h"

class CGXDelayedRange : public CObject {
  DECLARE_SERIAL(CGXDelayedRange)

 public:
  CGXDelayedRange() = default;
  explicit CGXDelayedRange(const CGXRange& range) : m_range(range) {}
  CGXDelayedRange(const CGXDelayedRange& other) : CObject() { *this = other; }
  CGXDelayedRange& operator=(const CGXDelayedRange& other);

  // The range (DWORDs top, left, bottom, right, BYTEs kind and valid), then the first rows and the last
  // rows of the evaluated intervals, each in the class library's DWORD array form.
  void Serialize(CArchive& ar) override;

  CGXRange m_range;
  std::vector<DWORD> m_firstRows;
  std::vector<DWORD> m_lastRows;
  BOOL m_bComplete = FALSE;  // not archived
};

class CGXDelayedRangePool : public CObject {
  DECLARE_SERIAL(CGXDelayedRangePool)

 public:
  CGXDelayedRangePool() = default;
  CGXDelayedRangePool(const CGXDelayedRangePool& other) : CObject() { *this = other; }
  CGXDelayedRangePool& operator=(const CGXDelayedRangePool& other);

  // The class library's object-array form: the count, then each entry as an object.
  void Serialize(CArchive& ar) override;
  void DeleteAll() { m_entries.clear(); }
  // Forgets everything and leaves one pending range over the whole grid, so that it is evaluated anew.
  void ResetToWholeGrid();
  const std::vector<std::unique_ptr<CGXDelayedRange>>& GetEntries() const { return m_entries; }
  void Append(std::unique_ptr<CGXDelayedRange> entry) { m_entries.push_back(std::move(entry)); }

  // Records a cell area to evaluate later, joined with a pending area of the same columns (rows) that it
  // continues.
  virtual void AddRange(const CGXRange& range);
  // For each row of the area (indexed from its top row), the first and last column still to evaluate
  // (0xFFFFFFFF and 0 when none), and marks them evaluated. FALSE when nothing in the area was pending.
  virtual BOOL GetRowsToEvaluate(const CGXRange& area, std::vector<DWORD>& firstCols, std::vector<DWORD>& lastCols);
  // Every pending area ends at row (column) n at the most.
  virtual void ClampRows(ROWCOL n);
  virtual void ClampCols(ROWCOL n);
  // Drops the areas whose every row has been handed out.
  virtual void RemoveCompleted();
  BOOL HasPending() const;

 private:
  // Marks the rows of `part` (a piece of the entry) evaluated and narrows it to the rows not evaluated
  // before; FALSE when every row of it was.
  static BOOL MarkEvaluated(CGXDelayedRange& entry, CGXRange& part);

  std::vector<std::unique_ptr<CGXDelayedRange>> m_entries;
};

// An array of owned DWORD lines, null where nothing is stored.
class CGXDWordArrayPtrArray : public CObject {
  DECLARE_DYNAMIC(CGXDWordArrayPtrArray)

 public:
  CGXDWordArrayPtrArray() = default;
  CGXDWordArrayPtrArray(const CGXDWordArrayPtrArray& other) : CObject() { *this = other; }
  CGXDWordArrayPtrArray& operator=(const CGXDWordArrayPtrArray& other);

  // WORD schema 1, DWORD element count, then index and line (DWORD array form) per non-null line,
  // ended by 0xFFFFFFFF. Loading accepts 0xFFFFFFFE as the end too.
  void Serialize(CArchive& ar) override;
  void DeleteAll() { m_lines.clear(); }
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_lines.size()); }
  std::vector<DWORD>* GetAt(INT_PTR i) const {
    return i >= 0 && i < GetSize() ? m_lines[static_cast<std::size_t>(i)].get() : nullptr;
  }
  std::vector<DWORD>& Line(INT_PTR i);
  // Lines i..i+n-1 made room for (null lines) or dropped; nothing happens past the last line.
  void InsertLines(INT_PTR i, INT_PTR n);
  void RemoveLines(INT_PTR i, INT_PTR n);

 private:
  std::vector<std::unique_ptr<std::vector<DWORD>>> m_lines;
};

class CGXSpanCellPool : public CObject {
  DECLARE_SERIAL(CGXSpanCellPool)

 public:
  CGXSpanCellPool() = default;
  CGXSpanCellPool(const CGXSpanCellPool& other) : CObject() { *this = other; }
  CGXSpanCellPool& operator=(const CGXSpanCellPool& other);

  // The per-row array, then the per-column array. The lines are kept as read.
  void Serialize(CArchive& ar) override;
  void DeleteAll() {
    m_perRow.DeleteAll();
    m_perCol.DeleteAll();
    m_bCheckSpans = FALSE;
  }

  // The span that holds the cell: a horizontal span sets out's left and right, a vertical one its top and
  // bottom; the sides not found keep what the caller put there. FALSE when the cell is in no span (or an
  // index is 0x80000000 or more). Entries that do not run unbroken from the first index they name (as
  // loaded bytes may hold them) are no span.
  virtual BOOL GetSpanCellsRowCol(ROWCOL row, ROWCOL col, CGXRange* out) const;
  // Stores (set) or clears the block top..bottom x left..right: per row unless it is one column wide, per
  // column unless it is one row high. Storing overwrites the entries of a span that started at the same
  // first index and cuts what is left of it; clearing removes the span that starts at the block's first cell
  // (a one-cell block clears the spans starting there in both directions). TRUE when anything changed.
  virtual BOOL SetSpanCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL set);
  // Rows and columns coming and going: the spans follow their cells. Inserted cells belong to no span; a span
  // cut by an insertion ends before it; a span whose first row (column) is removed starts at the first row
  // after the removed ones. `to` may lie past the end (0xFFFFFFFE: everything from `from` on).
  virtual void InsertRows(ROWCOL row, ROWCOL count);
  virtual void RemoveRows(ROWCOL from, ROWCOL to);
  virtual void InsertCols(ROWCOL col, ROWCOL count);
  virtual void RemoveCols(ROWCOL from, ROWCOL to);
  // Rows (columns) from..to move so that the block starts at dest. Spans along the moved lines go with
  // them; a span across them keeps only its part before the rows that change places (its first index would
  // be stale otherwise): the moving feature evaluates those spans again. FALSE for an empty pool or indices
  // beyond 0x7FFFFFFF.
  virtual BOOL MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest);
  virtual BOOL MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest);
  static constexpr DWORD kNoSpan = 0xFFFFFFFF;

  CGXDWordArrayPtrArray m_perRow;  // by row: for each column the first column of its horizontal span
  CGXDWordArrayPtrArray m_perCol;  // by column: for each row the first row of its vertical span

 private:
  // Set when loaded lines held entries that are no span as stores make them: lookups then check that a
  // span runs unbroken from its first index (which costs a walk over it).
  BOOL m_bCheckSpans = FALSE;
};

// The process-wide factories of the pools (installed by the spanned-cells features). The span pool's also
// forwards the row and column changes to a pool, doing nothing for a null pool.
class CGXAbstractDelayedRangePoolImp : public CGXImpBase {
 public:
  virtual CGXDelayedRangePool* CreateDelayedRangePool(const CGXDelayedRangePool& copy) = 0;
  virtual CGXDelayedRangePool* CreateDelayedRangePool() = 0;
  virtual void AssignDelayedRangePool(CGXDelayedRangePool& to, const CGXDelayedRangePool& from) = 0;
};

class CGXAbstractSpanCellPoolImp : public CGXImpBase {
 public:
  virtual CGXSpanCellPool* CreateSpanCellPool(const CGXSpanCellPool& copy) = 0;
  virtual CGXSpanCellPool* CreateSpanCellPool() = 0;
  virtual void AssignSpanCellPool(CGXSpanCellPool& to, const CGXSpanCellPool& from) = 0;
  virtual void InsertRows(CGXSpanCellPool* pool, ROWCOL row, ROWCOL count) = 0;
  virtual void RemoveRows(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to) = 0;
  virtual void MoveRows(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to, ROWCOL dest) = 0;
  virtual void InsertCols(CGXSpanCellPool* pool, ROWCOL col, ROWCOL count) = 0;
  virtual void RemoveCols(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to) = 0;
  virtual void MoveCols(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to, ROWCOL dest) = 0;
};

namespace gx {
// The class library's DWORD array form: the count (WORD, or 0xFFFF and a DWORD), then the DWORDs.
void WriteDWordArray(CArchive& ar, const std::vector<DWORD>& v);
void ReadDWordArray(CArchive& ar, std::vector<DWORD>& v);
}  // namespace gx
