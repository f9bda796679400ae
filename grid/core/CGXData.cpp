#include "grid/core/CGXData.h"

#include <algorithm>
#include <cstdint>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXData, CObject, 0)

namespace {
INT_PTR Index(ROWCOL n) { return static_cast<INT_PTR>(n); }
}  // namespace

void CGXData::Serialize(CArchive& ar) {
  if (CGXAbstractGridDocSerializeImp* imp = CGXGridGlobals::Get().m_pDocSerializeImp) imp->SerializeData(*this, ar);
}

CGXGridCore* CGXData::GetFirstGrid() const { return CGXGridGlobals::Get().GetFirstGridForObject(this); }

void CGXData::DeleteContents() {
  m_cells.DeleteAll();
  m_rowStyles.DeleteAll();
  m_colStyles.DeleteAll();
}

CGXData& CGXData::operator=(const CGXData& other) {
  if (this == &other) return *this;
  m_cells = other.m_cells;
  m_rowStyles = other.m_rowStyles;
  m_colStyles = other.m_colStyles;
  m_nRows = other.m_nRows;
  m_nCols = other.m_nCols;
  return *this;
}

BOOL CGXData::StoreRowCount(ROWCOL nRows) {
  if (nRows < m_nRows) return RemoveRows(nRows + 1, m_nRows);
  if (nRows > m_nRows) return InsertRows(m_nRows + 1, nRows - m_nRows);
  return TRUE;
}

BOOL CGXData::StoreColCount(ROWCOL nCols) {
  if (nCols < m_nCols) return RemoveCols(nCols + 1, m_nCols);
  if (nCols > m_nCols) return InsertCols(m_nCols + 1, nCols - m_nCols);
  return TRUE;
}

// A count that would take the rows past GX_MAXROWCOL is refused with nothing changed: the highest number
// stands for "to the end" in ranges, and the engine's undo records (first, first + count - 1), which must
// not wrap. Before, the count saturated one above the limit and the insert still answered TRUE.
namespace {
// The most entries a style array may hold after an insert: an insert before stored lines grows the arrays
// by its whole count at once, and a count far beyond what is stored would exhaust memory.
constexpr std::uint64_t kMaxArrayEntries = std::uint64_t{1} << 26;

// Whether an array of `size` entries can take `count` more at `at`: an array grows only when `at` lies
// before its end (entries past the end are empty anyway).
bool CanGrow(INT_PTR size, ROWCOL at, ROWCOL count) {
  if (static_cast<std::uint64_t>(at) >= static_cast<std::uint64_t>(size)) return true;
  return static_cast<std::uint64_t>(size) + count <= kMaxArrayEntries;
}

// Inserts empty entries. At the end the array grows as it always did (its archived form keeps the slots),
// unless that would pass the limit: entries past the end are empty anyway.
template <class Array>
void InsertEmpty(Array& array, ROWCOL at, ROWCOL count) {
  const auto size = static_cast<std::uint64_t>(array.GetSize());
  if (at < size || (at == size && size + count <= kMaxArrayEntries))
    array.InsertAt(static_cast<INT_PTR>(at), static_cast<INT_PTR>(count));
}
}  // namespace

// A place past the end appends (clamped to count + 1, as the engine's insert does).
BOOL CGXData::InsertRows(ROWCOL nRow, ROWCOL nCount) {
  if (nCount > GX_MAXROWCOL - std::min(m_nRows, GX_MAXROWCOL)) return FALSE;
  nRow = std::min(nRow, m_nRows + 1);
  if (!CanGrow(m_rowStyles.GetSize(), nRow, nCount) || !CanGrow(m_cells.GetSize(), nRow, nCount)) return FALSE;
  InsertEmpty(m_rowStyles, nRow, nCount);
  InsertEmpty(m_cells, nRow, nCount);
  m_nRows += nCount;
  return TRUE;
}

BOOL CGXData::InsertCols(ROWCOL nCol, ROWCOL nCount) {
  if (nCount > GX_MAXROWCOL - std::min(m_nCols, GX_MAXROWCOL)) return FALSE;
  nCol = std::min(nCol, m_nCols + 1);
  if (!CanGrow(m_colStyles.GetSize(), nCol, nCount)) return FALSE;
  for (INT_PTR r = 0; r < m_cells.GetSize(); ++r)
    if (const CGXStylePtrArray* row = m_cells.GetAt(r); row && !CanGrow(row->GetSize(), nCol, nCount)) return FALSE;
  InsertEmpty(m_colStyles, nCol, nCount);
  for (INT_PTR r = 0; r < m_cells.GetSize(); ++r)
    if (CGXStylePtrArray* row = m_cells.GetAt(r)) InsertEmpty(*row, nCol, nCount);
  m_nCols += nCount;
  return TRUE;
}

BOOL CGXData::RemoveRows(ROWCOL nFrom, ROWCOL nTo) {
  if (nFrom > m_nRows || nTo < nFrom) return TRUE;
  // Only the rows that exist: removing 5..9 from 7 rows removes 5..7.
  const ROWCOL last = std::min(nTo, m_nRows);
  const INT_PTR n = Index(last - nFrom + 1);
  m_rowStyles.DeleteAt(Index(nFrom), n);
  m_cells.DeleteAt(Index(nFrom), n);
  m_nRows -= last - nFrom + 1;
  return TRUE;
}

BOOL CGXData::RemoveCols(ROWCOL nFrom, ROWCOL nTo) {
  if (nFrom > m_nCols || nTo < nFrom) return TRUE;
  const ROWCOL last = std::min(nTo, m_nCols);
  const INT_PTR n = Index(last - nFrom + 1);
  m_colStyles.DeleteAt(Index(nFrom), n);
  for (INT_PTR r = 0; r < m_cells.GetSize(); ++r)
    if (CGXStylePtrArray* row = m_cells.GetAt(r)) row->DeleteAt(Index(nFrom), n);
  m_nCols -= last - nFrom + 1;
  return TRUE;
}

BOOL CGXData::MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) {
  if (nTo < nFrom) return TRUE;
  const INT_PTR n = Index(nTo - nFrom + 1);
  m_rowStyles.MoveElements(Index(nFrom), n, Index(nDest));
  m_cells.MoveElements(Index(nFrom), n, Index(nDest));
  return TRUE;
}

BOOL CGXData::MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) {
  if (nTo < nFrom) return TRUE;
  const INT_PTR n = Index(nTo - nFrom + 1);
  m_colStyles.MoveElements(Index(nFrom), n, Index(nDest));
  for (INT_PTR r = 0; r < m_cells.GetSize(); ++r)
    if (CGXStylePtrArray* row = m_cells.GetAt(r)) row->MoveElements(Index(nFrom), n, Index(nDest));
  return TRUE;
}

BOOL CGXData::StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* style, int mode, int nType) {
  m_nRows = std::max(m_nRows, nRow);
  m_nCols = std::max(m_nCols, nCol);
  if (nType == GX_BASESTYLE) {
    CGXStylePtrArray& arr = nRow != 0 ? m_rowStyles : m_colStyles;
    const INT_PTR i = Index(nRow != 0 ? nRow : nCol);
    CGXStyle* stored = arr.GetAt(i);
    if (!style) {
      if (stored) arr.SetAtGrow(i, nullptr);
    } else if (stored) {
      stored->MergeStyle(*style, mode);
    } else if (mode != gxExclude) {
      arr.SetAtGrow(i, style->Clone());
    }
    return TRUE;
  }
  if (!style) {
    if (CGXStylePtrArray* row = m_cells.GetAt(Index(nRow)); row && row->GetAt(Index(nCol)))
      row->SetAtGrow(Index(nCol), nullptr);
    return TRUE;
  }
  CGXStylePtrArray& row = m_cells.Row(Index(nRow));
  CGXStyle* stored = row.GetAt(Index(nCol));
  if (!stored && mode == gxExclude) return TRUE;
  // A value that the installed number recognition reads as a number is stored as a number.
  bool numeric = false;
  if (mode != gxExclude && nType == 1 && style->GetIncludeValue() && style->GetValueType() != GX_VT_NUMBER) {
    double d = 0;
    numeric = gx::ParseDisplayText(style->GetValue(), d) != FALSE;
  }
  if (stored) {
    stored->MergeStyle(*style, mode);
  } else {
    stored = style->Clone();
    row.SetAtGrow(Index(nCol), stored);
  }
  // Only a value that the given style put there is marked (mode 1 keeps a value already stored).
  if (numeric && stored->GetValue() == style->GetValue()) stored->SetValueType(GX_VT_NUMBER);
  return TRUE;
}

BOOL CGXData::GetStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType) const {
  if (nRow > m_nRows || nCol > m_nCols) return FALSE;
  const CGXStyle* stored = nullptr;
  if (nType == GX_BASESTYLE) {
    stored = nRow != 0 ? m_rowStyles.GetAt(Index(nRow)) : m_colStyles.GetAt(Index(nCol));
  } else if (const CGXStylePtrArray* row = m_cells.GetAt(Index(nRow))) {
    stored = row->GetAt(Index(nCol));
  }
  if (!stored) return FALSE;
  if (mode == gxCopy)
    style = *stored;
  else
    style.MergeStyle(*stored, mode);
  return TRUE;
}

BOOL CGXData::CopyCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol) {
  CGXAbstractDataCopyMoveCellsImp* imp = CGXGridGlobals::Get().m_pDataCopyMoveCellsImp;
  return imp ? imp->CopyCells(*this, range.top, range.left, range.bottom, range.right, destRow, destCol) : FALSE;
}

BOOL CGXData::MoveCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                        BOOL createUndoInfo) {
  CGXAbstractDataCopyMoveCellsImp* imp = CGXGridGlobals::Get().m_pDataCopyMoveCellsImp;
  return imp ? imp->MoveCells(*this, range, destRow, destCol, undoInfo, createUndoInfo) : FALSE;
}

BOOL CGXData::MoveDataRows(const CGXRange& sortRange, const CDWordArray& order) {
  CGXAbstractGridSortMoveDataImp* imp = CGXGridGlobals::Get().m_pSortMoveDataImp;
  return imp ? imp->MoveDataRows(*this, sortRange, order) : FALSE;
}

BOOL CGXData::MoveDataCols(const CGXRange& sortRange, const CDWordArray& order) {
  CGXAbstractGridSortMoveDataImp* imp = CGXGridGlobals::Get().m_pSortMoveDataImp;
  return imp ? imp->MoveDataCols(*this, sortRange, order) : FALSE;
}

// The plain store's hooks: nothing to compute, no message, no undo records and no names.
BOOL CGXData::IsCellChanged(ROWCOL, ROWCOL) const { return FALSE; }
void CGXData::SetCellChanged(ROWCOL, ROWCOL, BOOL) {}
void CGXData::SetRangeChanged(const CGXRange&) {}
void CGXData::Recalc(BOOL) {}
void CGXData::RequestMessage() {}
BOOL CGXData::GetMessage(CString&) { return FALSE; }
CObject* CGXData::DetachUndoInfo() { return nullptr; }
BOOL CGXData::ApplyUndoInfo(CObject*, BOOL, BOOL) { return FALSE; }
BOOL CGXData::EnableUndoRecording(BOOL) { return FALSE; }
BOOL CGXData::SetRangeName(LPCTSTR, const CGXRange&, CObject*) { return FALSE; }
BOOL CGXData::GetRangeName(LPCTSTR, CGXRange&) const { return FALSE; }
BOOL CGXData::DeleteRangeName(LPCTSTR, CObject*&, BOOL) { return FALSE; }
