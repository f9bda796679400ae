// Rows and columns: counts, frozen and header rows, heights and widths in font units, the top row.
//
// Units: a height of h pixels is stored as h * (1000 / F), F the line height of the standard font, the
// division done first; a stored u reads back as u / (1000 / F). A font taller than 1000 pixels would make
// the step 0; the step is kept at least 1 so that no size ever divides by zero.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CObArray.h"
#include "platform/base/CObList.h"
#include "platform/framework/CWnd.h"

namespace {
int Step(int fontSize) { return std::max(1, 1000 / std::max(1, fontSize)); }

// Pixels of a size in stored units: whatever a layout stored, 0 to the largest line size.
int UnitsToPixels(long long units, int fontSize) {
  return static_cast<int>(std::clamp<long long>(units / Step(fontSize), 0, GX_MAXLINESIZE));
}
}  // namespace

ROWCOL CGXGridCore::GetRowCount() const {
  const CGXData* d = GetData();
  return d ? d->GetRowCount() : 0;
}

ROWCOL CGXGridCore::GetColCount() const {
  const CGXData* d = GetData();
  return d ? d->GetColCount() : 0;
}

BOOL CGXGridCore::StoreRowCount(ROWCOL rows) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  CGXData* d = GetData();
  if (!d || !d->StoreRowCount(rows)) return FALSE;
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreColCount(ROWCOL cols) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  CGXData* d = GetData();
  if (!d || !d->StoreColCount(cols)) return FALSE;
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::SetRowCount(ROWCOL rows, UINT flags) {
  ROWCOL count = GetRowCount();
  if (rows < count) return RemoveRows(rows + 1, count, flags, 0);
  if (rows > count) return InsertRows(count + 1, rows - count, nullptr, nullptr, nullptr, 0, flags, 0);
  return TRUE;
}

BOOL CGXGridCore::SetColCount(ROWCOL cols, UINT flags) {
  ROWCOL count = GetColCount();
  if (cols < count) return RemoveCols(cols + 1, count, flags, 0);
  if (cols > count) return InsertCols(count + 1, cols - count, nullptr, nullptr, nullptr, 0, flags, 0);
  return TRUE;
}

// The part of the window below (right of) the first row (column) whose existence changed is repainted when
// that row lies within the shown rows; rows past the window change nothing on screen.
void CGXGridCore::UpdateChangedRowCount(ROWCOL oldCount, UINT flags, BOOL createHint) {
  if (m_bCurrentValid && m_nCurrentRow > GetRowCount()) SaveCurrentCellEdit(FALSE);
  InvalidateShownCaches();
  if (!IsLockUpdate() && (flags & (GX_NOSCROLL | GX_UPDATENOW | GX_INVALIDATE))) {
    RefreshScrollBars(FALSE, FALSE);
    const ROWCOL first = std::min(oldCount, GetRowCount());
    if (IsInitialized() && first <= GetLastVisibleRow()) {
      const CRect below = CalcRectBelowRow(first);
      InvalidateRect(&below);
    }
    if (flags & GX_UPDATENOW) UpdateWindow();
  }
  if (m_pListener) m_pListener->OnGridStructureChanged(this);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintRowCount(this, oldCount, flags);
}

void CGXGridCore::UpdateChangedColCount(ROWCOL oldCount, UINT flags, BOOL createHint) {
  if (m_bCurrentValid && m_nCurrentCol > GetColCount()) SaveCurrentCellEdit(FALSE);
  InvalidateShownCaches();
  if (!IsLockUpdate() && (flags & (GX_NOSCROLL | GX_UPDATENOW | GX_INVALIDATE))) {
    RefreshScrollBars(FALSE, FALSE);
    const ROWCOL first = std::min(oldCount, GetColCount());
    if (IsInitialized() && first <= GetLastVisibleCol()) {
      const CRect right = CalcRectRightOfCol(first);
      InvalidateRect(&right);
    }
    if (flags & GX_UPDATENOW) UpdateWindow();
  }
  if (m_pListener) m_pListener->OnGridStructureChanged(this);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintColCount(this, oldCount, flags);
}

// ---- Store halves of insert and remove ------------------------------------------------------------------
// Besides the data object, everything keyed by row follows the rows: heights, the selection and covered
// ranges, the hide feature, and the span pools of floating and merged cells. The second merged pool is
// cleared from the first changed row to the last possible one (GX_MAXROWCOL, the "to the end" number) and
// the merged cells there are evaluated anew.
//
// The frozen and header counts are left alone when rows go, even when fewer rows remain than are frozen:
// grids are commonly emptied and filled again (SetRowCount(0), then the new rows), and their frozen header
// rows must survive that. While the count stays above the rows, every row is a frozen one and the top row
// is frozen + 1, the same value SetTopRow gives then; nothing scrolls.

BOOL CGXGridCore::StoreInsertRows(ROWCOL row, ROWCOL count, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->InsertRows(row, count)) force = TRUE;
  if (!force || !m_pParam) return FALSE;
  SetModifiedFlag(TRUE);
  if (m_pHideCellsImp) m_pHideCellsImp->OnInsertRows(this, row, count);
  m_pParam->GetRowHeights().InsertKeys(row, count);
  // Range edges at or after the insertion move on with the cells.
  m_pParam->GetSelection().AdjustForInsertedRows(row, count);
  m_pParam->GetCoveredCells().AdjustForInsertedRows(row, count);
  m_pParam->SyncCoveredCellPool();
  if (QueryFloatingMode() != 0) {
    if (m_pParam->m_pFloatSpans) m_pParam->m_pFloatSpans->InsertRows(row, count);
    if (m_pPrintFloatPool) m_pPrintFloatPool->InsertRows(row, count);
  }
  if ((QueryMergingMode() & 3) != 0) {
    if (m_pParam->m_pMergeSpansH) m_pParam->m_pMergeSpansH->InsertRows(row, count);
    if (m_pParam->m_pMergeSpansV) m_pParam->m_pMergeSpansV->RemoveRows(row, GX_MAXROWCOL);
    RecalcMergedCells(CGXRange(row, 0, std::max(row, GetRowCount()), GetColCount()), -1);
  }
  return TRUE;
}

BOOL CGXGridCore::StoreInsertCols(ROWCOL col, ROWCOL count, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->InsertCols(col, count)) force = TRUE;
  if (!force || !m_pParam) return FALSE;
  SetModifiedFlag(TRUE);
  if (m_pHideCellsImp) m_pHideCellsImp->OnInsertCols(this, col, count);
  m_pParam->GetColWidths().InsertKeys(col, count);
  m_pParam->GetSelection().AdjustForInsertedCols(col, count);
  m_pParam->GetCoveredCells().AdjustForInsertedCols(col, count);
  m_pParam->SyncCoveredCellPool();
  if (QueryFloatingMode() != 0) {
    if (m_pParam->m_pFloatSpans) m_pParam->m_pFloatSpans->InsertCols(col, count);
    if (m_pPrintFloatPool) m_pPrintFloatPool->InsertCols(col, count);
  }
  if ((QueryMergingMode() & 3) != 0) {
    // The column form swaps the pools' roles: the vertical pool follows, the horizontal one is rebuilt.
    if (m_pParam->m_pMergeSpansV) m_pParam->m_pMergeSpansV->InsertCols(col, count);
    if (m_pParam->m_pMergeSpansH) m_pParam->m_pMergeSpansH->RemoveCols(col, GX_MAXROWCOL);
    RecalcMergedCells(CGXRange(0, col, GetRowCount(), std::max(col, GetColCount())), -1);
  }
  return TRUE;
}

BOOL CGXGridCore::StoreRemoveRows(ROWCOL from, ROWCOL to, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->RemoveRows(from, to)) force = TRUE;
  if (!force || !m_pParam) return FALSE;
  SetModifiedFlag(TRUE);
  if (m_pHideCellsImp) m_pHideCellsImp->OnRemoveRows(this, from, to);
  m_pParam->GetRowHeights().RemoveKeys(from, to);
  m_pParam->GetSelection().AdjustForRemovedRows(from, to, GetRowCount());
  m_pParam->GetCoveredCells().AdjustForRemovedRows(from, to, GetRowCount());
  m_pParam->SyncCoveredCellPool();
  if (QueryFloatingMode() != 0) {
    if (m_pParam->m_pFloatSpans) m_pParam->m_pFloatSpans->RemoveRows(from, to);
    if (m_pPrintFloatPool) m_pPrintFloatPool->RemoveRows(from, to);
  }
  if ((QueryMergingMode() & 3) != 0) {
    if (m_pParam->m_pMergeSpansV) m_pParam->m_pMergeSpansV->RemoveRows(from, GX_MAXROWCOL);
    if (m_pParam->m_pMergeSpansH) m_pParam->m_pMergeSpansH->RemoveRows(from, to);
    RecalcMergedCells(CGXRange(from, 0, std::max(from, GetRowCount()), GetColCount()), -1);
  }
  return TRUE;
}

BOOL CGXGridCore::StoreRemoveCols(ROWCOL from, ROWCOL to, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->RemoveCols(from, to)) force = TRUE;
  if (!force || !m_pParam) return FALSE;
  SetModifiedFlag(TRUE);
  if (m_pHideCellsImp) m_pHideCellsImp->OnRemoveCols(this, from, to);
  m_pParam->GetColWidths().RemoveKeys(from, to);
  m_pParam->GetSelection().AdjustForRemovedCols(from, to, GetColCount());
  m_pParam->GetCoveredCells().AdjustForRemovedCols(from, to, GetColCount());
  m_pParam->SyncCoveredCellPool();
  if (QueryFloatingMode() != 0) {
    if (m_pParam->m_pFloatSpans) m_pParam->m_pFloatSpans->RemoveCols(from, to);
    if (m_pPrintFloatPool) m_pPrintFloatPool->RemoveCols(from, to);
  }
  if ((QueryMergingMode() & 3) != 0) {
    if (m_pParam->m_pMergeSpansH) m_pParam->m_pMergeSpansH->RemoveCols(from, GX_MAXROWCOL);
    if (m_pParam->m_pMergeSpansV) m_pParam->m_pMergeSpansV->RemoveCols(from, to);
    RecalcMergedCells(CGXRange(0, from, GetRowCount(), std::max(from, GetColCount())), -1);
  }
  return TRUE;
}

// ---- Undo plumbing ------------------------------------------------------------------------------------------

void GXFreeUndoArray(CObArray* array) {
  if (!array) return;
  for (INT_PTR i = 0; i < array->GetSize(); ++i) {
    CObject* o = array->GetAt(i);
    if (o && o->IsKindOf(RUNTIME_CLASS(CObList))) {
      auto* list = static_cast<CObList*>(o);
      for (POSITION p = list->GetHeadPosition(); p;) delete list->GetNext(p);
    }
    delete o;
  }
  delete array;
}

BOOL CGXGridCore::UndoApplies(int commandType) const {
  return m_pCommandFactory && commandType != 1 && m_pParam && m_pParam->m_bUndoEnabled;
}

void CGXGridCore::Record(CObject* command, int commandType) {
  if (command) AddCommand(command, commandType);
}

// Undo keeps sizes in the stored units, not in pixels: a size loaded from a layout (or stored under another
// font) is rarely a whole number of pixels, and a round trip through pixels would change it, and with it the
// saved layout. The commands therefore receive units (-1 where the default applied) and hand them back with
// command type 2 (undo) or 3 (redo); under those two types SetRowHeight, SetDefaultRowHeight and
// InsertRows (and the column forms) take their sizes as stored units.
namespace {
std::unique_ptr<int[]> StoredSizes(const CGXMapDWordToLong& map, ROWCOL from, ROWCOL to) {
  auto out = std::make_unique<int[]>(std::size_t{to} - from + 1);
  for (ROWCOL line = from;; ++line) {
    LONG units = 0;
    out[line - from] = map.Lookup(line, units) ? static_cast<int>(units) : -1;
    if (line == to) break;
  }
  return out;
}

BOOL SizesAreUnits(int commandType) { return commandType == 2 || commandType == 3; }

// Stores a size given in units (negative: the default applies again).
void StoreUnits(CGXMapDWordToLong& map, ROWCOL line, int units) {
  if (units < 0)
    map.RemoveKey(line);
  else
    map[line] = units;
}
}  // namespace

std::unique_ptr<int[]> CGXGridCore::SaveRowHeightsForUndo(ROWCOL from, ROWCOL to) const {
  if (!m_pParam) return StoredSizes(CGXMapDWordToLong(), from, to);
  return StoredSizes(m_pParam->GetRowHeights(), from, to);
}

std::unique_ptr<int[]> CGXGridCore::SaveColWidthsForUndo(ROWCOL from, ROWCOL to) const {
  if (!m_pParam) return StoredSizes(CGXMapDWordToLong(), from, to);
  return StoredSizes(m_pParam->GetColWidths(), from, to);
}

namespace {
struct ObArrayDeleter {
  void operator()(CObArray* a) const { GXFreeUndoArray(a); }
};
using ObArrayPtr = std::unique_ptr<CObArray, ObArrayDeleter>;

const CGXStyle* StyleAt(const CObArray* array, std::uint64_t i) {
  if (!array || i >= static_cast<std::uint64_t>(array->GetSize())) return nullptr;
  CObject* o = array->GetAt(static_cast<INT_PTR>(i));
  return o && o->IsKindOf(RUNTIME_CLASS(CGXStyle)) ? static_cast<const CGXStyle*>(o) : nullptr;
}

// The data object's undo information travels as the one element after the cells.
CObject* ExtraElement(const CObArray* cellStyles, ROWCOL count, ROWCOL otherCount) {
  const std::uint64_t at = std::uint64_t{count} * otherCount;
  if (!cellStyles || at >= static_cast<std::uint64_t>(cellStyles->GetSize())) return nullptr;
  return cellStyles->GetAt(static_cast<INT_PTR>(at));
}

// Puts what the data object recorded during a removal behind the collected cells (at count x otherCount).
void AppendDataUndoInfo(CObArray& cells, CObject* info, ROWCOL count, ROWCOL otherCount) {
  const std::uint64_t at = std::uint64_t{count} * otherCount;
  if (static_cast<std::uint64_t>(cells.GetSize()) < at) cells.SetSize(static_cast<INT_PTR>(at));
  if (static_cast<std::uint64_t>(cells.GetSize()) == at) {
    cells.Add(info);
  } else if (!cells.GetAt(static_cast<INT_PTR>(at))) {
    cells.SetAt(static_cast<INT_PTR>(at), info);
  } else {
    delete info;  // the place is taken by what the factory collected: the record cannot be kept
  }
}

// The hidden marks of lines from..to, one per line; null when none of them is hidden.
std::unique_ptr<BOOL[]> HiddenMarks(const CGXGridCore& g, BOOL rows, ROWCOL from, ROWCOL to) {
  std::unique_ptr<BOOL[]> marks;
  for (ROWCOL line = from;; ++line) {
    if (rows ? g.IsRowHidden(line) : g.IsColHidden(line)) {
      if (!marks) marks = std::make_unique<BOOL[]>(std::size_t{to} - from + 1);  // zeroed: shown
      marks[line - from] = TRUE;
    }
    if (line == to) break;
  }
  return marks;
}

// Polls once per step of a long loop; TRUE when the user asked to abort.
BOOL PollAborted(CGXLongOperationScope& scope) {
  BOOL abort = FALSE;
  scope.PollAbort(abort);
  return abort;
}
}  // namespace

// Writes what an insert command brings back into the new rows (rows) or columns (!rows): sizes, the cells'
// styles (otherCount per line, null entries store nothing) and the lines' own styles. Polls for messages
// after each cell; an abort keeps what was written (the lines themselves are in place already).
void CGXGridCore::StoreInsertedCells(ROWCOL first, ROWCOL count, const int* sizes, const CObArray* cellStyles,
                                     const CObArray* lineStyles, ROWCOL otherCount, BOOL rows,
                                     CGXLongOperationScope& scope) {
  // Only lines that something travels with are visited: sizes cover every line, the style arrays their own
  // length (a plain insert of three billion rows brings nothing and must not walk them).
  std::uint64_t lines = sizes ? count : 0;
  if (cellStyles && otherCount)
    lines = std::max<std::uint64_t>(
        lines, (static_cast<std::uint64_t>(cellStyles->GetSize()) + otherCount - 1) / otherCount);
  if (lineStyles) lines = std::max<std::uint64_t>(lines, static_cast<std::uint64_t>(lineStyles->GetSize()));
  lines = std::min<std::uint64_t>(lines, count);
  for (ROWCOL i = 0; i < lines; ++i) {
    const ROWCOL line = first + i;
    if (sizes) rows ? StoreRowHeight(line, sizes[i]) : StoreColWidth(line, sizes[i]);
    for (ROWCOL j = 0; cellStyles && j < otherCount; ++j) {
      if (const CGXStyle* style = StyleAt(cellStyles, std::uint64_t{i} * otherCount + j))
        rows ? WriteStoredStyle(line, j, style, gxCopy, m_nDefaultStorageType)
             : WriteStoredStyle(j, line, style, gxCopy, m_nDefaultStorageType);
      if (scope.IsWaitDelayElapsed())
        SetLongOperationPercentDone(static_cast<int>((std::uint64_t{i} * otherCount + j) * 100 /
                                                     (std::uint64_t{count} * otherCount)));
      if (PollAborted(scope)) return;
    }
    if (const CGXStyle* style = StyleAt(lineStyles, i))
      rows ? WriteStoredStyle(line, 0, style, gxCopy, -1) : WriteStoredStyle(0, line, style, gxCopy, -1);
  }
}

// ---- Insert and remove ------------------------------------------------------------------------------------
// Rows and columns share one implementation per operation (`rows` picks the axis); every path that opened
// a transaction closes it; the data object's undo recording is switched on only around the store half and
// its pending record is discarded when the store refuses. The long loops poll for messages through the
// long-operation scope, so a repaint may run between two cells: the frame lock and the completed cell edit
// come first, and the row count and stored sizes are consistent at every poll.

namespace {
// Switches the data object's undo recording for the store half and restores the previous state.
class DataUndoRecording {
 public:
  DataUndoRecording(CGXGridCore* grid, BOOL on) : m_pGrid(grid), m_bOld(grid->EnableDataUndoRecording(on)) {}
  ~DataUndoRecording() { m_pGrid->EnableDataUndoRecording(m_bOld); }
  DataUndoRecording(const DataUndoRecording&) = delete;
  DataUndoRecording& operator=(const DataUndoRecording&) = delete;

 private:
  CGXGridCore* m_pGrid;
  BOOL m_bOld;
};
}  // namespace

BOOL CGXGridCore::InsertRows(ROWCOL row, ROWCOL count, const int* heights, const CObArray* cellStyles,
                             const CObArray* rowStyles, ROWCOL colCount, UINT flags, int commandType) {
  return InsertLines(TRUE, row, count, heights, cellStyles, rowStyles, colCount, flags, commandType);
}

BOOL CGXGridCore::InsertCols(ROWCOL col, ROWCOL count, const int* widths, const CObArray* cellStyles,
                             const CObArray* colStyles, ROWCOL rowCount, UINT flags, int commandType) {
  return InsertLines(FALSE, col, count, widths, cellStyles, colStyles, rowCount, flags, commandType);
}

// A count that would take the lines past GX_MAXROWCOL is refused before anything happens (no edit completed,
// no transaction). A place past the end is taken as count + 1: the lines are appended, as the data object
// always did with such a place, but now everything keyed by line (sizes, ranges, pools) and the recorded
// undo command name the lines where they really are, so that undoing the insert removes them again.
BOOL CGXGridCore::InsertLines(BOOL rows, ROWCOL first, ROWCOL count, const int* sizes, const CObArray* cellStyles,
                              const CObArray* lineStyles, ROWCOL otherCount, UINT flags, int commandType) {
  if (count == 0 || first == 0) return FALSE;
  if (GetData()) {
    const ROWCOL lines = rows ? GetRowCount() : GetColCount();
    if (lines >= GX_MAXROWCOL || count > GX_MAXROWCOL - lines) return FALSE;
    first = std::min(first, lines + 1);
  }
  CGXLongOperationScope scope;
  const CString text = gx::LoadGridString(rows ? 20164 : 20165);
  scope.SetStatusText(text);
  if (!CompleteCellEdit(TRUE, 2, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameLock(this);
  if (commandType == 0) BeginTransaction(text);
  CObject* extra = ExtraElement(cellStyles, count, otherCount);
  BOOL changedCells = extra ? ApplyDataUndoInfo(extra, commandType != 1, TRUE) : FALSE;
  BOOL ok = FALSE;
  {
    DataUndoRecording recording(this, m_pParam && m_pParam->m_bUndoEnabled && commandType != 1);
    ok = rows ? StoreInsertRows(first, count, FALSE) : StoreInsertCols(first, count, FALSE);
  }
  if (!ok) {
    DiscardDataUndoInfo();
  } else {
    if (extra) ApplyDataUndoInfo(extra, commandType != 1, FALSE);
    const BOOL units = SizesAreUnits(commandType) && sizes && m_pParam;
    StoreInsertedCells(first, count, units ? nullptr : sizes, cellStyles, lineStyles, otherCount, rows, scope);
    if (units) {
      // Sizes an undo brings back are the stored units of the removed lines.
      CGXMapDWordToLong& map = rows ? m_pParam->GetRowHeights() : m_pParam->GetColWidths();
      for (ROWCOL i = 0; i < count; ++i) StoreUnits(map, first + i, sizes[i]);
      SetModifiedFlag(TRUE);
    }
    rows ? UpdateInsertRows(first, count, flags, TRUE) : UpdateInsertCols(first, count, flags, TRUE);
    if (UndoApplies(commandType)) {
      const ROWCOL last = first + count - 1;
      Record(rows ? m_pCommandFactory->CreateRemoveRowsCmd(first, last)
                  : m_pCommandFactory->CreateRemoveColsCmd(first, last),
             commandType);
      if (commandType == 2 || commandType == 3)
        rows ? RestoreCurrentCell(first, GetFirstScrolledCol(), TRUE)
             : RestoreCurrentCell(GetFirstScrolledRow(), first, TRUE);
    }
    if (changedCells) RedrawChangedCells(TRUE, nullptr, TRUE);
  }
  if (commandType == 0) CommitTransaction();
  return ok;
}

BOOL CGXGridCore::RemoveRows(ROWCOL from, ROWCOL to, UINT flags, int commandType) {
  return RemoveLines(TRUE, from, to, flags, commandType);
}

BOOL CGXGridCore::RemoveCols(ROWCOL from, ROWCOL to, UINT flags, int commandType) {
  return RemoveLines(FALSE, from, to, flags, commandType);
}

// A removal reaching past the last line removes up to it; nothing to remove (or the header line) is refused.
// The undo command receives the stored sizes (-1 for the default); the optimized redraw the shown ones.
BOOL CGXGridCore::RemoveLines(BOOL rows, ROWCOL from, ROWCOL to, UINT flags, int commandType) {
  if (from == 0 || to < from) return FALSE;
  if (GetData()) {
    const ROWCOL lines = rows ? GetRowCount() : GetColCount();
    if (from > lines) return FALSE;
    to = std::min(to, lines);
  }
  if (!CompleteCellEdit(TRUE, 2, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameLock(this);
  CGXLongOperationScope scope;
  // The removal's status text also names its transaction (the grid's string table has no separate name).
  const CString text = gx::LoadGridString(rows ? 20145 : 20146);
  scope.SetStatusText(text);
  const ROWCOL count = to - from + 1;
  const BOOL undo = UndoApplies(commandType);
  CObArray* cellsRaw = nullptr;
  CObArray* linesRaw = nullptr;
  const BOOL allowed =
      !undo || (rows ? m_pCommandFactory->SaveRemovedRowsData(this, from, to, cellsRaw, linesRaw)
                     : m_pCommandFactory->SaveRemovedColsData(this, from, to, cellsRaw, linesRaw));
  ObArrayPtr cells(cellsRaw), lineStyles(linesRaw);
  if (!allowed) return FALSE;
  if (commandType == 0) BeginTransaction(text);
  // The covered-cells feature may ask for a different redraw of the removal.
  if (m_pCoveredCellsImp)
    rows ? m_pCoveredCellsImp->OnRemoveRows(this, from, to, &flags, commandType)
         : m_pCoveredCellsImp->OnRemoveCols(this, from, to, &flags, commandType);
  const ROWCOL lines = rows ? GetRowCount() : GetColCount();
  std::unique_ptr<int[]> oldSizes;
  if ((flags == GX_UPDATENOW && !IsLockUpdate() && lines > to + 1) || undo) {
    oldSizes = std::make_unique<int[]>(count);
    rows ? GetRowHeights(from, to, oldSizes.get()) : GetColWidths(from, to, oldSizes.get());
  }
  std::unique_ptr<int[]> undoSizes;
  if (undo) undoSizes = rows ? SaveRowHeightsForUndo(from, to) : SaveColWidthsForUndo(from, to);
  // The insert command brings back the lines' sizes and styles but not their hidden marks: a command that
  // restores the marks is recorded before it in the removal's transaction, so that undo runs it after the
  // lines are back (and redo shows them before it removes them again).
  std::unique_ptr<BOOL[]> hidden;
  if (undo && commandType == 0 && m_pHideCellsImp) hidden = HiddenMarks(*this, rows, from, to);
  // The removed area on screen is read only by the optimized redraw, and only where it has no old sizes:
  // under locked updates (an undo of many steps removes line after line) nothing is measured.
  if (!IsLockUpdate() && m_bOptimizedUpdate && !oldSizes) {
    const CRect shown = rows ? CalcRangeRect(from, 0, to, 0) : CalcRangeRect(0, from, 0, to);
    m_bRemovedShown = !shown.IsRectNull();
    m_nRemovedExtent = rows ? shown.Height() : shown.Width();
  }
  BOOL ok = FALSE;
  {
    DataUndoRecording recording(this, m_pParam && m_pParam->m_bUndoEnabled && commandType != 1);
    ok = rows ? StoreRemoveRows(from, to, FALSE) : StoreRemoveCols(from, to, FALSE);
  }
  if (!ok) {
    DiscardDataUndoInfo();
    m_nRemovedExtent = 0;
    m_bRemovedShown = TRUE;
  } else {
    rows ? UpdateRemoveRows(from, to, oldSizes.get(), flags, TRUE)
         : UpdateRemoveCols(from, to, oldSizes.get(), flags, TRUE);
    if (!undo) {
      DiscardDataUndoInfo();
    } else {
      const ROWCOL otherCount = (rows ? GetColCount() : GetRowCount()) + 1;
      if (!cells)
        DiscardDataUndoInfo();
      else if (CObject* info = DetachDataUndoInfo())
        AppendDataUndoInfo(*cells, info, count, otherCount);
      if (hidden) {
        if (CObject* marks = rows ? m_pCommandFactory->CreateHideRowsCmd(from, to, hidden.get())
                                  : m_pCommandFactory->CreateHideColsCmd(from, to, hidden.get())) {
          hidden.release();  // the command owns the marks now
          Record(marks, commandType);
        }
      }
      CObject* command =
          rows ? m_pCommandFactory->CreateInsertRowsCmd(from, count, undoSizes.get(), cells.get(),
                                                        lineStyles.get(), otherCount)
               : m_pCommandFactory->CreateInsertColsCmd(from, count, undoSizes.get(), cells.get(),
                                                        lineStyles.get(), otherCount);
      if (command) {
        // The command owns the arrays now.
        undoSizes.release();
        cells.release();
        lineStyles.release();
        Record(command, commandType);
      }
      if (commandType == 2 || commandType == 3)
        rows ? RestoreCurrentCell(from, GetFirstScrolledCol(), TRUE)
             : RestoreCurrentCell(GetFirstScrolledRow(), from, TRUE);
    }
    SetSelection(nullptr, 0, 0, 0, 0);
    RedrawChangedCells(TRUE, nullptr, TRUE);
  }
  if (commandType == 0) CommitTransaction();
  return ok;
}

// ---- Update halves of insert and remove -------------------------------------------------------------------

namespace {
// Keeps the first scrolled line (top row, left column) on a line that exists, 1 in an empty grid, and
// never inside the frozen lines; TRUE when it moved.
BOOL KeepFirstLineInRange(ROWCOL& first, ROWCOL count, ROWCOL frozen) {
  const ROWCOL old = first;
  first = std::max(std::min(first, std::max<ROWCOL>(count, 1)), frozen + 1);
  return first != old;
}
}  // namespace

void CGXGridCore::UpdateInsertRows(ROWCOL row, ROWCOL count, UINT flags, BOOL createHint) {
  InvalidateShownCaches();
  if (m_bCurrentValid && m_nCurrentRow >= row) {
    StoreCurrentCell(TRUE, m_nCurrentRow + count, m_nCurrentCol);
    if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
  }
  if (m_nTopRow == GetFrozenRows()) ++m_nTopRow;
  RefreshExcelLikeFrame();
  if (!IsLockUpdate()) {
    {
      // Scroll-bar updates wait for the redraw; the switch gets its value back also when a paint throws.
      CGXFlagScope suspend(m_bSuspendScrollBars, TRUE);
      if (m_bOptimizedUpdate)
        OptimizedInsertRows(row, count, flags);
      else
        RedrawAll(flags, FALSE);
    }
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) RefreshScrollBars(FALSE, FALSE);
  }
  if (m_pListener) m_pListener->OnGridStructureChanged(this);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintInsertRows(this, row, count, flags);
}

void CGXGridCore::UpdateInsertCols(ROWCOL col, ROWCOL count, UINT flags, BOOL createHint) {
  InvalidateShownCaches();
  if (m_bCurrentValid && m_nCurrentCol >= col) {
    StoreCurrentCell(TRUE, m_nCurrentRow, m_nCurrentCol + count);
    if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
  }
  if (m_nLeftCol == GetFrozenCols()) ++m_nLeftCol;
  RefreshExcelLikeFrame();
  if (!IsLockUpdate()) {
    {
      // Scroll-bar updates wait for the redraw; the switch gets its value back also when a paint throws.
      CGXFlagScope suspend(m_bSuspendScrollBars, TRUE);
      if (m_bOptimizedUpdate)
        OptimizedInsertCols(col, count, flags);
      else
        RedrawAll(flags, FALSE);
    }
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) RefreshScrollBars(FALSE, FALSE);
  }
  if (m_pListener) m_pListener->OnGridStructureChanged(this);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintInsertCols(this, col, count, flags);
}

// The old heights are the removed rows' heights in pixels when the caller measured them (null otherwise);
// without them the optimized redraw works from the removed area measured before the store half ran.
void CGXGridCore::UpdateRemoveRows(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags,
                                   BOOL createHint) {
  InvalidateShownCaches();
  if (m_bCurrentValid) {
    if (m_nCurrentRow >= from && m_nCurrentRow <= to) {
      StoreCurrentCell(FALSE);
    } else if (m_nCurrentRow > to) {
      StoreCurrentCell(TRUE, m_nCurrentRow - (to - from + 1), m_nCurrentCol);
      if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
    }
  }
  RefreshExcelLikeFrame();
  // The top row may have stood on a removed row. The optimized redraw moves it along with its rows; on the
  // other paths (updates locked, no optimized redraw) it is kept within the rows here, before anything is
  // painted from it, and after the optimized redraw once more, which leaves it alone where it falls back
  // to a full redraw (then painted again from the right row).
  if (IsLockUpdate() || !m_bOptimizedUpdate) KeepFirstLineInRange(m_nTopRow, GetRowCount(), GetFrozenRows());
  if (!IsLockUpdate()) {
    {
      // Scroll-bar updates wait for the redraw; the switch gets its value back also when a paint throws.
      CGXFlagScope suspend(m_bSuspendScrollBars, TRUE);
      if (m_bOptimizedUpdate) {
        OptimizedRemoveRows(from, to, oldHeights, flags);
        if (KeepFirstLineInRange(m_nTopRow, GetRowCount(), GetFrozenRows())) RedrawAll(flags, FALSE);
      } else {
        RedrawAll(flags, FALSE);
      }
    }
    if (flags) RefreshScrollBars(!(flags & GX_UPDATENOW), FALSE);
  }
  m_nRemovedExtent = 0;
  m_bRemovedShown = TRUE;
  if (m_pListener) m_pListener->OnGridStructureChanged(this);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintRemoveRows(this, from, to, oldHeights, flags);
}

void CGXGridCore::UpdateRemoveCols(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags,
                                   BOOL createHint) {
  InvalidateShownCaches();
  if (m_bCurrentValid) {
    if (m_nCurrentCol >= from && m_nCurrentCol <= to) {
      StoreCurrentCell(FALSE);
    } else if (m_nCurrentCol > to) {
      StoreCurrentCell(TRUE, m_nCurrentRow, m_nCurrentCol - (to - from + 1));
      if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
    }
  }
  RefreshExcelLikeFrame();
  // The left column as the top row in the row form.
  if (IsLockUpdate() || !m_bOptimizedUpdate) KeepFirstLineInRange(m_nLeftCol, GetColCount(), GetFrozenCols());
  if (!IsLockUpdate()) {
    {
      // Scroll-bar updates wait for the redraw; the switch gets its value back also when a paint throws.
      CGXFlagScope suspend(m_bSuspendScrollBars, TRUE);
      if (m_bOptimizedUpdate) {
        OptimizedRemoveCols(from, to, oldWidths, flags);
        if (KeepFirstLineInRange(m_nLeftCol, GetColCount(), GetFrozenCols())) RedrawAll(flags, FALSE);
      } else {
        RedrawAll(flags, FALSE);
      }
    }
    if (flags) RefreshScrollBars(!(flags & GX_UPDATENOW), FALSE);
  }
  m_nRemovedExtent = 0;
  m_bRemovedShown = TRUE;
  if (m_pListener) m_pListener->OnGridStructureChanged(this);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintRemoveCols(this, from, to, oldWidths, flags);
}

ROWCOL CGXGridCore::GetFrozenRows() const {
  if (!m_pParam) return 0;
  const BOOL screenRule = !m_bPrinting || m_bPrintFrozenLikeScreen;
  return screenRule && m_bIgnoreFrozenRows ? 0 : m_pParam->m_nFrozenRows;
}

ROWCOL CGXGridCore::GetFrozenCols() const {
  if (!m_pParam) return 0;
  const BOOL screenRule = !m_bPrinting || m_bPrintFrozenLikeScreen;
  return screenRule && m_bIgnoreFrozenCols ? 0 : m_pParam->m_nFrozenCols;
}

ROWCOL CGXGridCore::GetHeaderRows() const { return m_pParam ? m_pParam->m_nHeaderRows : 0; }
ROWCOL CGXGridCore::GetHeaderCols() const { return m_pParam ? m_pParam->m_nHeaderCols : 0; }

BOOL CGXGridCore::StoreFrozenRows(ROWCOL frozen, ROWCOL header) {
  if (!m_pParam || (m_pParam->m_bReadOnlyEnforced && IsReadOnly())) return FALSE;
  m_pParam->m_nFrozenRows = frozen;
  m_pParam->m_nHeaderRows = header;
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreFrozenCols(ROWCOL frozen, ROWCOL header) {
  if (!m_pParam || (m_pParam->m_bReadOnlyEnforced && IsReadOnly())) return FALSE;
  m_pParam->m_nFrozenCols = frozen;
  m_pParam->m_nHeaderCols = header;
  SetModifiedFlag(TRUE);
  return TRUE;
}

void CGXGridCore::UpdateFrozenRows(ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags, BOOL createHint) {
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  HideCurrentCellWindow();
  const ROWCOL frozen = m_pParam ? m_pParam->m_nFrozenRows : 0;
  RecalcMergedCells(CGXRange(std::min(oldFrozen, frozen), 0, std::max(oldFrozen, frozen) + 1, GetColCount()), -1);
  if (!IsLockUpdate()) RedrawAll(flags, FALSE);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintFrozenRows(this, oldFrozen, oldHeader, flags);
}

// Unlike the row form, the column form also evaluates floating cells anew: text floats across columns.
void CGXGridCore::UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags, BOOL createHint) {
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  HideCurrentCellWindow();
  const ROWCOL frozen = m_pParam ? m_pParam->m_nFrozenCols : 0;
  const CGXRange affected(0, std::min(oldFrozen, frozen), GetRowCount(), std::max(oldFrozen, frozen) + 1);
  RecalcFloatCells(affected, -1);
  RecalcMergedCells(affected, -1);
  if (!IsLockUpdate()) RedrawAll(flags, FALSE);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintFrozenCols(this, oldFrozen, oldHeader, flags);
}

// The old counts are the stored ones (not those the ignore switches report), so that undo restores them.
BOOL CGXGridCore::SetFrozenRows(ROWCOL frozen, ROWCOL header, UINT flags, int commandType) {
  if (!m_pParam) return FALSE;
  const ROWCOL oldFrozen = m_pParam->m_nFrozenRows, oldHeader = m_pParam->m_nHeaderRows;
  if (!StoreFrozenRows(frozen, header)) return FALSE;
  UpdateFrozenRows(oldFrozen, oldHeader, flags, TRUE);
  if (UndoApplies(commandType)) Record(m_pCommandFactory->CreateSetFrozenRowsCmd(oldFrozen, oldHeader), commandType);
  return TRUE;
}

BOOL CGXGridCore::SetFrozenCols(ROWCOL frozen, ROWCOL header, UINT flags, int commandType) {
  if (!m_pParam) return FALSE;
  const ROWCOL oldFrozen = m_pParam->m_nFrozenCols, oldHeader = m_pParam->m_nHeaderCols;
  if (!StoreFrozenCols(frozen, header)) return FALSE;
  UpdateFrozenCols(oldFrozen, oldHeader, flags, TRUE);
  if (UndoApplies(commandType)) Record(m_pCommandFactory->CreateSetFrozenColsCmd(oldFrozen, oldHeader), commandType);
  return TRUE;
}

int CGXGridCore::GetFontHeight() const { return m_bPrinting ? m_nPrintFontHeight : m_dyHeight; }
int CGXGridCore::GetFontWidth() const { return m_bPrinting ? m_nPrintFontWidth : m_dxWidth; }

// The default sizes are one pixel at the least, as their setters keep them: a layout storing less (or a
// font change rounding it down) would otherwise give every line without a size of its own none, and each
// walk that fills the window with lines would go on to the grid's last line, up to 2^32 - 2 of them.
// The stored value itself is kept as read.
int CGXGridCore::GetDefaultRowHeight() const {
  return m_pParam ? std::max(1, UnitsToPixels(m_pParam->m_nDefaultRowHeight, GetFontHeight())) : 0;
}

int CGXGridCore::GetDefaultColWidth() const {
  return m_pParam ? std::max(1, UnitsToPixels(m_pParam->m_nDefaultColWidth, GetFontWidth())) : 0;
}

BOOL CGXGridCore::StoreDefaultRowHeight(int pixels) {
  if (pixels < 1 || !m_pParam) return FALSE;
  pixels = std::min(pixels, GX_MAXLINESIZE);
  m_pParam->m_nDefaultRowHeight = static_cast<DWORD>(pixels * Step(GetFontHeight()));
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreDefaultColWidth(int pixels) {
  if (pixels < 1 || !m_pParam) return FALSE;
  pixels = std::min(pixels, GX_MAXLINESIZE);
  m_pParam->m_nDefaultColWidth = static_cast<DWORD>(pixels * Step(GetFontWidth()));
  SetModifiedFlag(TRUE);
  return TRUE;
}

int CGXGridCore::GetRowHeight(ROWCOL row) const {
  if (!m_pParam || IsRowHidden(row)) return 0;
  LONG units = 0;
  int h = m_pParam->GetRowHeights().Lookup(row, units) ? UnitsToPixels(units, GetFontHeight()) : GetDefaultRowHeight();
  if (m_bLimitRowHeight && !m_bPrinting && row > GetFrozenRows()) {
    HWND wnd = GridHwnd();
    if ((wnd && ::IsWindowVisible(wnd)) || m_pFixedArea) {
      int limit = GetGridRect().Height() - SumFrozenRowHeights();
      if (limit > 0) h = std::min(h, limit);
    }
  }
  return h;
}

int CGXGridCore::GetColWidth(ROWCOL col) const {
  if (!m_pParam || IsColHidden(col)) return 0;
  LONG units = 0;
  int w = m_pParam->GetColWidths().Lookup(col, units) ? UnitsToPixels(units, GetFontWidth()) : GetDefaultColWidth();
  if (m_bLimitColWidth && !m_bPrinting && col > GetFrozenCols()) {
    HWND wnd = GridHwnd();
    if ((wnd && ::IsWindowVisible(wnd)) || m_pFixedArea) {
      int limit = GetGridRect().Width() - SumFrozenColWidths();
      if (limit > 0) w = std::min(w, limit);
    }
  }
  return w;
}

BOOL CGXGridCore::RowHasSize(ROWCOL row) {
  const CGXFlagScope unlimited(m_bLimitRowHeight, FALSE);
  return GetRowHeight(row) != 0;
}

BOOL CGXGridCore::ColHasSize(ROWCOL col) {
  const CGXFlagScope unlimited(m_bLimitColWidth, FALSE);
  return GetColWidth(col) != 0;
}

BOOL CGXGridCore::StoreRowHeight(ROWCOL row, int pixels) {
  if (!m_pParam) return FALSE;
  if (pixels < 0)
    m_pParam->GetRowHeights().RemoveKey(row);
  else
    m_pParam->GetRowHeights()[row] = std::min(pixels, GX_MAXLINESIZE) * Step(GetFontHeight());
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreColWidth(ROWCOL col, int pixels) {
  if (!m_pParam) return FALSE;
  if (pixels < 0)
    m_pParam->GetColWidths().RemoveKey(col);
  else
    m_pParam->GetColWidths()[col] = std::min(pixels, GX_MAXLINESIZE) * Step(GetFontWidth());
  SetModifiedFlag(TRUE);
  return TRUE;
}

void CGXGridCore::GetRowHeights(ROWCOL from, ROWCOL to, int* out) const {
  for (ROWCOL r = from; r <= to; ++r) {
    out[r - from] = GetRowHeight(r);
    if (r == GX_MAXROWCOL) break;
  }
}

void CGXGridCore::GetColWidths(ROWCOL from, ROWCOL to, int* out) const {
  for (ROWCOL c = from; c <= to; ++c) {
    out[c - from] = GetColWidth(c);
    if (c == GX_MAXROWCOL) break;
  }
}

void CGXGridCore::UpdateChangedRowHeights(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags,
                                          BOOL createHint) {
  InvalidateShownCaches();
  if (GetRowHeight(from) == 0 && m_bCurrentValid && m_nCurrentRow >= from && m_nCurrentRow <= to)
    SaveCurrentCellEdit(TRUE);
  if (!IsLockUpdate()) {
    if (m_bOptimizedUpdate)
      OptimizedRowHeights(from, to, oldHeights, flags);
    else
      RedrawAll(flags, TRUE);
  }
  if (auto* h = createHint ? HintSender() : nullptr) h->HintRowHeights(this, from, to, oldHeights, flags);
}

void CGXGridCore::UpdateChangedColWidths(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags,
                                         BOOL createHint) {
  InvalidateShownCaches();
  if (GetColWidth(from) == 0 && m_bCurrentValid && m_nCurrentCol >= from && m_nCurrentCol <= to)
    SaveCurrentCellEdit(TRUE);
  if (!IsLockUpdate()) {
    if (m_bOptimizedUpdate)
      OptimizedColWidths(from, to, oldWidths, flags);
    else
      RedrawAll(flags, TRUE);
  }
  if (auto* h = createHint ? HintSender() : nullptr) h->HintColWidths(this, from, to, oldWidths, flags);
}

BOOL CGXGridCore::SetRowHeight(ROWCOL from, ROWCOL to, int height, const int* heights, UINT flags,
                               int commandType) {
  return SetLineSizes(TRUE, from, to, height, heights, flags, commandType);
}

BOOL CGXGridCore::SetColWidth(ROWCOL from, ROWCOL to, int width, const int* widths, UINT flags, int commandType) {
  return SetLineSizes(FALSE, from, to, width, widths, flags, commandType);
}

// The undo command receives each line's stored size, or -1 where the default applied, rather than the
// shown size: a hidden row (shown as 0) or a row cut to the window would otherwise come back with the
// shown height instead of its own. The optimized redraw receives the shown sizes. An abort while the
// sizes are stored keeps the lines done, which are then refreshed and recorded as the whole change.
// Sizes apply to lines that exist: a range reaching past the last line is cut to it, one starting past it
// is refused with nothing changed (a range up to GX_MAXROWCOL would otherwise walk and store four billion
// lines, and sizes stored past the end would turn up on lines inserted later). Without a data object the
// count is unknown and the range is taken as given.
BOOL CGXGridCore::SetLineSizes(BOOL rows, ROWCOL from, ROWCOL to, int size, const int* sizes, UINT flags,
                               int commandType) {
  if (to == 0) to = from;
  if (to < from) return FALSE;
  if (GetData()) {
    const ROWCOL lines = rows ? GetRowCount() : GetColCount();
    if (from > lines) return FALSE;
    to = std::min(to, lines);
  }
  const BOOL units = SizesAreUnits(commandType) && m_pParam;
  CGXLongOperationScope scope;
  const std::size_t n = std::size_t{to} - from + 1;
  auto shown = std::make_unique<int[]>(n);
  rows ? GetRowHeights(from, to, shown.get()) : GetColWidths(from, to, shown.get());
  std::unique_ptr<int[]> saved;
  if (UndoApplies(commandType)) saved = rows ? SaveRowHeightsForUndo(from, to) : SaveColWidthsForUndo(from, to);
  BOOL changed = FALSE;
  for (ROWCOL line = from;; ++line) {
    const int value = sizes ? sizes[line - from] : size;
    if (units) {
      StoreUnits(rows ? m_pParam->GetRowHeights() : m_pParam->GetColWidths(), line, value);
      SetModifiedFlag(TRUE);
      changed = TRUE;
    } else {
      changed |= rows ? StoreRowHeight(line, value) : StoreColWidth(line, value);
    }
    if (line == to) break;
    if (scope.IsWaitDelayElapsed()) SetLongOperationPercentDone(static_cast<int>((line - from) * 100 / n));
    if (PollAborted(scope)) {
      to = line;
      break;
    }
  }
  if (!changed) return FALSE;
  if (rows) {
    RecalcFloatCells(CGXRange(from, 0, to, GetColCount()), -1);
    UpdateChangedRowHeights(from, to, shown.get(), flags, TRUE);
  } else {
    RecalcFloatCells(CGXRange(0, from, GetRowCount(), to), -1);
    UpdateChangedColWidths(from, to, shown.get(), flags, TRUE);
  }
  if (saved) {
    CObject* command = rows ? m_pCommandFactory->CreateSetRowHeightCmd(from, to, saved.get())
                            : m_pCommandFactory->CreateSetColWidthCmd(from, to, saved.get());
    if (command) {
      saved.release();
      Record(command, commandType);
    }
    if (commandType == 2 || commandType == 3)
      rows ? RestoreCurrentCell(from, GetFirstScrolledCol(), TRUE)
           : RestoreCurrentCell(GetFirstScrolledRow(), from, TRUE);
  }
  return TRUE;
}

// The undo command receives the old default in stored units; under undo and redo the value given is such
// a stored value (at least 1) and is stored as it is.
BOOL CGXGridCore::SetDefaultRowHeight(int height, UINT flags, int commandType) {
  if (!m_pParam) return FALSE;
  const int old = static_cast<int>(m_pParam->m_nDefaultRowHeight);
  if (SizesAreUnits(commandType)) {
    if (height < 1) return FALSE;
    m_pParam->m_nDefaultRowHeight = static_cast<DWORD>(height);
    SetModifiedFlag(TRUE);
  } else if (!StoreDefaultRowHeight(height)) {
    return FALSE;
  }
  const CGXRange table(0, 0, GetRowCount(), GetColCount());
  RecalcFloatCells(table, -1);
  RecalcMergedCells(table, -1);
  UpdateChangedRowHeights(1, GetRowCount(), nullptr, flags, TRUE);
  if (UndoApplies(commandType)) Record(m_pCommandFactory->CreateSetDefaultRowHeightCmd(old), commandType);
  return TRUE;
}

BOOL CGXGridCore::SetDefaultColWidth(int width, UINT flags, int commandType) {
  if (!m_pParam) return FALSE;
  const int old = static_cast<int>(m_pParam->m_nDefaultColWidth);
  if (SizesAreUnits(commandType)) {
    if (width < 1) return FALSE;
    m_pParam->m_nDefaultColWidth = static_cast<DWORD>(width);
    SetModifiedFlag(TRUE);
  } else if (!StoreDefaultColWidth(width)) {
    return FALSE;
  }
  const CGXRange table(0, 0, GetRowCount(), GetColCount());
  RecalcFloatCells(table, -1);
  RecalcMergedCells(table, -1);
  UpdateChangedColWidths(1, GetColCount(), nullptr, flags, TRUE);
  if (UndoApplies(commandType)) Record(m_pCommandFactory->CreateSetDefaultColWidthCmd(old), commandType);
  return TRUE;
}

namespace {
// A walk takes this many lines one by one before it measures runs: most walks end within the window.
constexpr ROWCOL kLinesOneByOne = 256;

// `sum` after `count` more lines of `size` (at least 0), each added with GXAddSize.
int AddRun(int sum, int size, unsigned long long count) {
  if (size == 0 || count == 0) return sum;
  const long long room = static_cast<long long>(GX_MAXSIZESUM) - sum;
  if (room < 0 || count > static_cast<unsigned long long>(room) / static_cast<unsigned>(size)) return GX_MAXSIZESUM;
  return static_cast<int>(sum + static_cast<long long>(count) * size);
}
}  // namespace

// Runs of hidden lines are jumped (they have no size). A run of lines that are shown, have no size of their
// own and lie on one side of the frozen lines all have the size of its first (the default, limited alike),
// so that after the first lines it is added in one step.
BOOL CGXGridCore::AddLineSizes(BOOL rows, ROWCOL first, ROWCOL last, int& sum, int limit) const {
  last = std::min(last, GX_MAXROWCOL);
  const ROWCOL frozen = rows ? GetFrozenRows() : GetFrozenCols();
  std::vector<ROWCOL> own;  // the lines of a size of their own from the walk's place to `last`, ascending
  std::size_t nextOwn = 0;
  BOOL runs = FALSE;
  ROWCOL oneByOne = 0;
  for (ROWCOL l = rows ? NextShownRow(first) : NextShownCol(first); l != GX_INVALID && l <= last;) {
    if (!runs && oneByOne != GX_INVALID && ++oneByOne > kLinesOneByOne) {
      // Finding the lines of a size of their own takes a pass over all of them: only for a longer rest.
      oneByOne = GX_INVALID;
      const CGXMapDWordToLong* stored = !m_pParam ? nullptr : rows ? &m_pParam->GetRowHeights() : &m_pParam->GetColWidths();
      if (stored && static_cast<unsigned long long>(last - l) > static_cast<unsigned long long>(stored->GetCount())) {
        runs = TRUE;
        for (POSITION pos = stored->GetStartPosition(); pos;) {
          DWORD key = 0;
          LONG value = 0;
          stored->GetNextAssoc(pos, key, value);
          if (key >= l && key <= last) own.push_back(key);
        }
        std::sort(own.begin(), own.end());
      }
    }
    ROWCOL end = l;
    if (runs && l != 0) {
      while (nextOwn < own.size() && own[nextOwn] < l) ++nextOwn;
      const ROWCOL hidden = rows ? NextHiddenRow(l) : NextHiddenCol(l);
      ROWCOL bound = last;
      if (nextOwn < own.size()) bound = std::min(bound, own[nextOwn] - 1);
      if (hidden != GX_INVALID) bound = std::min(bound, hidden - 1);
      if (l <= frozen) bound = std::min(bound, frozen);
      end = std::max(end, bound);
    }
    const int size = rows ? GetRowHeight(l) : GetColWidth(l);
    if (end == l || size < 0) {
      end = l;
      sum = GXAddSize(sum, size);
    } else {
      const unsigned long long count = static_cast<unsigned long long>(end - l) + 1;
      if (limit && size > 0) {
        // The line that takes the sum past the limit ends the walk there.
        const unsigned long long past = sum > limit ? 1 : static_cast<unsigned long long>(limit - sum) / size + 1;
        if (past <= count && AddRun(sum, size, past) > limit) {
          sum = AddRun(sum, size, past);
          return TRUE;
        }
      }
      sum = AddRun(sum, size, count);
    }
    if (limit && sum > limit) return TRUE;
    if (end >= last) break;
    l = rows ? NextShownRow(end + 1) : NextShownCol(end + 1);
  }
  return FALSE;
}

int CGXGridCore::SumRowHeights(ROWCOL from, ROWCOL to, int limit) const {
  int sum = 0;
  if (from <= to) AddLineSizes(TRUE, from, to, sum, limit);
  return sum;
}

int CGXGridCore::SumColWidths(ROWCOL from, ROWCOL to, int limit) const {
  int sum = 0;
  if (from <= to) AddLineSizes(FALSE, from, to, sum, limit);
  return sum;
}

// A layout may freeze more lines than the grid has (up to 2^32 - 2): the sums stop at the last line and at
// the window's size, so that showing such a layout costs no more than showing the lines that fit.
int CGXGridCore::SumFrozenRowHeights() const {
  const int height = std::max(GetGridRect().Height(), 0);
  return SumRowHeights(0, std::min(GetFrozenRows(), GetRowCount()), height + 1);
}

int CGXGridCore::SumFrozenColWidths() const {
  const int width = std::max(GetGridRect().Width(), 0);
  return SumColWidths(0, std::min(GetFrozenCols(), GetColCount()), width + 1);
}

// The hint is built at the end of every path that changed (or scrolled to) the top row; a refusal by
// AllowTopRowChange ends the operation without one.
void CGXGridCore::SetTopRow(ROWCOL row, UINT flags, BOOL createHint) {
  row = std::min(row, GetRowCount());
  if (row == 0) row = 1;
  InvalidateShownCaches();
  if (m_bPrinting) {
    m_nPrintTopRow = row;
  } else if (IsLockUpdate()) {
    if (!AllowTopRowChange(row)) return;
    m_nTopRow = std::max(row, GetFrozenRows() + 1);
    TopRowChanged();
  } else {
    // The top row is the first scrolled row: it never lies inside the frozen rows.
    row = std::max(row, GetFrozenRows() + 1);
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
      if (row < m_nTopRow)
        ScrollByCells(GX_UP, m_nTopRow - row);
      else if (row > m_nTopRow)
        ScrollByCells(GX_DOWN, row - m_nTopRow);
      if (flags & GX_UPDATENOW) UpdateWindow();
    } else {
      if (!AllowTopRowChange(row)) return;
      m_nTopRow = row;
      if (flags & GX_NOSCROLL) {
        RefreshScrollBars(FALSE, FALSE);
        const CRect area = GetGridRect();
        InvalidateRect(&area);
      }
      TopRowChanged();
    }
  }
  if (auto* h = createHint ? HintSender() : nullptr) h->HintTopRow(this, row, flags);
}

void CGXGridCore::SetLeftCol(ROWCOL col, UINT flags, BOOL createHint) {
  col = std::min(col, GetColCount());
  if (col == 0) col = 1;
  InvalidateShownCaches();
  if (m_bPrinting) {
    m_nPrintLeftCol = col;
  } else if (IsLockUpdate()) {
    if (!AllowLeftColChange(col)) return;
    m_nLeftCol = std::max(col, GetFrozenCols() + 1);
    LeftColChanged();
  } else {
    col = std::max(col, GetFrozenCols() + 1);
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
      if (col < m_nLeftCol)
        ScrollByCells(GX_LEFT, m_nLeftCol - col);
      else if (col > m_nLeftCol)
        ScrollByCells(GX_RIGHT, col - m_nLeftCol);
      if (flags & GX_UPDATENOW) UpdateWindow();
    } else {
      if (!AllowLeftColChange(col)) return;
      m_nLeftCol = col;
      if (flags & GX_NOSCROLL) {
        RefreshScrollBars(FALSE, FALSE);
        const CRect area = GetGridRect();
        InvalidateRect(&area);
      }
      LeftColChanged();
    }
  }
  if (auto* h = createHint ? HintSender() : nullptr) h->HintLeftCol(this, col, flags);
}
