// The pools that the floating- and merged-cells features keep in the parameter object: delayed ranges
// (areas still to evaluate) and span cell pools (which cells belong to which spanned block).
//
// This is their model as far as layouts carry them: the archive forms, emptying, copies and the reset
// that older layouts need. Evaluation and span lookups belong to the spanned-cells features.
#pragma once

#include <memory>
#include <vector>

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

 private:
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

  // The per-row array, then the per-column array.
  void Serialize(CArchive& ar) override;
  void DeleteAll() {
    m_perRow.DeleteAll();
    m_perCol.DeleteAll();
  }

  // Rows and columns coming and going: the spans follow their cells. Inserted cells belong to no span; a span
  // cut by an insertion ends before it; a span whose first row (column) is removed starts at the first row
  // after the removed ones. `to` may lie past the end (0xFFFFFFFE: everything from `from` on).
  virtual void InsertRows(ROWCOL row, ROWCOL count);
  virtual void RemoveRows(ROWCOL from, ROWCOL to);
  virtual void InsertCols(ROWCOL col, ROWCOL count);
  virtual void RemoveCols(ROWCOL from, ROWCOL to);
  // Rows (columns) from..to moved so that the block starts at dest: the spans inside a line go with it; the
  // spans across lines are dropped from the first line that moves on (they are evaluated anew).
  virtual void MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest);
  virtual void MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest);
  static constexpr DWORD kNoSpan = 0xFFFFFFFF;

  CGXDWordArrayPtrArray m_perRow;  // by row: for each column the first column of its horizontal span
  CGXDWordArrayPtrArray m_perCol;  // by column: for each row the first row of its vertical span
};

namespace gx {
// The class library's DWORD array form: the count (WORD, or 0xFFFF and a DWORD), then the DWORDs.
void WriteDWordArray(CArchive& ar, const std::vector<DWORD>& v);
void ReadDWordArray(CArchive& ar, std::vector<DWORD>& v);
}  // namespace gx
