#include "grid/features/CGXClearCellsImp.h"

#include <typeinfo>
#include <utility>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CDWordArray.h"
#include "platform/base/CException.h"

BOOL CGXClearCellsImp::CanClear(CGXGridCore* grid) {
  if (grid->IsReadOnly()) return FALSE;
  ROWCOL row = 0, col = 0;
  return grid->QueryCurrentCell(&row, &col);
}

BOOL CGXClearCellsImp::ClearCellsForward1(CGXGridCore* grid, BOOL ctrlHeld) {
  CGXLongOperationScope scope;
  CGXRangeList ranges;
  grid->CopyRangeList(ranges, TRUE);
  return grid->ClearCells(ranges, ctrlHeld);
}

namespace {

// Work styles for the compositions held while clearing: styles given back are kept for the next cells
// rather than returned to the grid's pool, which keeps a few hundred only (a step holds thousands).
class StyleStock {
 public:
  explicit StyleStock(CGXGridCore* grid) : m_grid(grid) {}
  ~StyleStock() {
    for (CGXStyle* s : m_spare) m_grid->ReleaseWorkStyle(s);
  }
  StyleStock(const StyleStock&) = delete;
  StyleStock& operator=(const StyleStock&) = delete;
  CGXGridCore* Grid() const { return m_grid; }
  CGXStyle* Get() {
    if (m_spare.empty()) return m_grid->NewWorkStyle();
    CGXStyle* s = m_spare.back();
    m_spare.pop_back();
    return s;
  }
  void Put(CGXStyle* s) {
    if (!s) return;
    s->Free();
    m_spare.push_back(s);
  }

 private:
  CGXGridCore* m_grid;
  std::vector<CGXStyle*> m_spare;
};

// The control a cell is drawn with: the current cell's own while it has one, else the one its composed style
// names (without composing again).
CGXControl* ControlOfComposed(CGXGridCore* grid, ROWCOL r, ROWCOL c, const CGXStyle& style) {
  return grid->MatchesCurrentCell(r, c)
             ? grid->ControlForCell(r, c)
             : grid->ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
}

// The cell's composed style when its control shows a text for it and the grid lets it be cleared
// (CGXGridCore::CanClearCell), else null: an empty text needs no clearing and records nothing, and a kept cell
// splits the runs around it, so that neither is in the step's undo. The style comes from the stock and goes
// back to it.
CGXStyle* ComposedIfClearable(StyleStock& stock, ROWCOL r, ROWCOL c) {
  CGXGridCore* grid = stock.Grid();
  CGXStyle* style = stock.Get();
  grid->ComposeCellStyle(r, c, *style);
  CString text;
  CGXControl* control = ControlOfComposed(grid, r, c, *style);
  if (!control || !control->GetDisplayText(text, r, c, nullptr, *style)) text = style->GetValue();
  if (!text.IsEmpty() && grid->CanClearCell(r, c, *style, control)) return style;
  stock.Put(style);
  return nullptr;
}

// Whether the grid composes a cell from nothing but the cell's own stored style and what all cells share
// (base styles, styles map, properties, the current cell), as the grid core does: then storing one cell
// changes no other cell's composition, and a composition made while looking at the cells still holds when
// they are stored. The grid window class itself does; a derived grid may compose otherwise (from other
// cells or state of its own) and is composed again at each store.
bool ComposesAsTheCore(CGXGridCore* grid) { return typeid(*grid) == typeid(CGXGridWnd); }

// Composed styles held from looking at the cells until they are stored, so that each cell is composed
// once; given back to the stock however the clearing ends.
class HeldStyles {
 public:
  explicit HeldStyles(StyleStock& stock) : m_stock(stock) {}
  ~HeldStyles() { Release(); }
  HeldStyles(const HeldStyles&) = delete;
  HeldStyles& operator=(const HeldStyles&) = delete;
  std::vector<CGXStyle*>& Styles() { return m_styles; }
  void Release() {
    for (CGXStyle* s : m_styles) m_stock.Put(s);
    m_styles.clear();
  }

 private:
  StyleStock& m_stock;
  std::vector<CGXStyle*> m_styles;
};

// One store step of a clear: `style` applied to `range` in `mode` as one change of the grid (one undo command,
// one hint, one refresh). With `held`, the compositions it holds (row-major over `range`) stand for composing
// those cells again, and are given back to the stock after the step.
BOOL StoreStep(CGXGridCore* grid, const CGXRange& range, const CGXStyle* style, int mode, HeldStyles* held) {
  CGXGridCore::HeldCompositions compositions{range, held ? &held->Styles() : nullptr};
  struct Scope {
    CGXGridCore* grid;
    const CGXGridCore::HeldCompositions* old;
    ~Scope() { grid->m_pHeldCompositions = old; }
  } scope{grid, grid->m_pHeldCompositions};
  if (held) grid->m_pHeldCompositions = &compositions;
  const BOOL ok = grid->ApplyStyleToRange(range, style, mode, 0, nullptr, GX_INVALIDATE, 0);
  if (held) held->Release();
  return ok;
}

// The most rows one clearing step spans: the style-changing path keeps an undo copy only of blocks
// lower than 0x8000 rows.
constexpr ROWCOL kMaxStepRows = 0x4000;
// The most cells of a step whose compositions are held until it is stored (about 300 bytes each).
constexpr unsigned long long kMaxHeldCells = 0x4000;

// Clears the values of the block's cells that lie in a listed range; FALSE when a change was refused.
//
// Cells that show a text are cleared a run at a time: the runs of a row in one step each, and a run that
// spans the same columns as the rows above it joins their step. Each step is one change through the grid's
// style operation (one undo command, one hint, one refresh). A store that computes its cells shows texts
// that depend on other cells, so there every cell is looked at only after the cells before it were
// cleared, as typed one by one.
//
// Where the grid composes as the core does, the composition made while looking at a cell is held and
// handed to the store step (a step then holds at most kMaxHeldCells cells); other grids compose again.
BOOL ClearValues(CGXGridCore* grid, const CGXRangeList& cells, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                 CGXLongOperationScope& scope) {
  const CGXData* data = grid->GetData();
  const bool inRuns = data && data->GetRuntimeClass() == RUNTIME_CLASS(CGXData);
  const bool holding = inRuns && ComposesAsTheCore(grid) && right - left + 1ULL <= kMaxHeldCells;
  CGXStyle cleared;
  cleared.SetValue("");
  // The compositions of the row being looked at (a slot per column of the block) and of the pending step
  // (row-major over its range); empty when not holding.
  StyleStock stock(grid);
  HeldStyles rowHeld(stock), pendingHeld(stock), stepHeld(stock);
  if (holding) rowHeld.Styles().assign(right - left + 1, nullptr);
  auto store = [&](const CGXRange& range, HeldStyles* held) {
    return StoreStep(grid, range, &cleared, gxOverride, held);
  };
  // Moves the row's held compositions of columns [first, last] to the end of `to`.
  auto take = [&](ROWCOL first, ROWCOL last, HeldStyles& to) {
    if (!holding) return;
    for (ROWCOL c = first;; ++c) {
      CGXStyle*& slot = rowHeld.Styles()[c - left];
      to.Styles().push_back(slot);
      slot = nullptr;
      if (c == last) break;
    }
  };
  CGXRange pending;
  bool havePending = false;
  auto flush = [&]() -> BOOL {
    if (!havePending) return TRUE;
    havePending = false;
    return store(pending, holding ? &pendingHeld : nullptr);
  };
  // The runs of the row being looked at, as first and last column.
  std::vector<std::pair<ROWCOL, ROWCOL>> runs;
  // Stores the row's runs: a row's only run that spans the pending step's columns joins it.
  auto storeRuns = [&](ROWCOL r) -> BOOL {
    if (runs.size() == 1 && havePending && pending.left == runs[0].first && pending.right == runs[0].second &&
        pending.bottom + 1 == r && pending.bottom - pending.top + 1 < kMaxStepRows &&
        (!holding || (1ULL + pending.bottom - pending.top + 1) * (pending.right - pending.left + 1) <= kMaxHeldCells)) {
      pending.bottom = r;
      take(runs[0].first, runs[0].second, pendingHeld);
      runs.clear();
      return TRUE;
    }
    if (!flush()) return FALSE;
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
      take(runs[i].first, runs[i].second, stepHeld);
      if (!store(CGXRange(r, runs[i].first, r, runs[i].second), holding ? &stepHeld : nullptr)) return FALSE;
    }
    if (!runs.empty()) {
      pending = CGXRange(r, runs.back().first, r, runs.back().second);
      havePending = true;
      take(runs.back().first, runs.back().second, pendingHeld);
    }
    runs.clear();
    return TRUE;
  };
  for (ROWCOL r = top;; ++r) {
    for (ROWCOL c = left;; ++c) {
      if (cells.ContainsCell(r, c)) {
        if (CGXStyle* composed = ComposedIfClearable(stock, r, c)) {
          if (holding) {
            rowHeld.Styles()[c - left] = composed;
          } else {
            stock.Put(composed);
          }
          // A computing store changes the cell before the next one is looked at.
          if (!inRuns) {
            if (!store(CGXRange(r, c), nullptr)) return FALSE;
          } else if (!runs.empty() && runs.back().second + 1 == c) {
            runs.back().second = c;
          } else {
            runs.emplace_back(c, c);
          }
        }
      }
      BOOL abort = FALSE;
      scope.PollAbort(abort);
      if (abort) {
        // Kept (Abort): what was looked at so far is cleared, as a cell-by-cell clear would have left it.
        // A rollback undoes it all anyway; a store made now would open a scope, which forgets the request.
        if (!CGXLongOperationScope::IsRollbackRequested() && storeRuns(r)) flush();
        AfxThrowUserException();
      }
      if (c == right) break;
    }
    if (!storeRuns(r)) return FALSE;
    if (r == bottom) break;
  }
  return flush();
}

// Removes the stored styles of the block's cells that lie in a listed range, a run of cells at a time. A cell
// without a stored style has nothing to remove (no undo entry for it) and is not judged, so that a large clear
// of few styles composes few cells; one whose style the grid does not let be cleared (CGXGridCore::CanClearCell)
// keeps it. Either ends a run. The composition each judged cell was judged with is held for the run's store, as
// for the values, where the grid composes as the core does.
BOOL ClearStyles(CGXGridCore* grid, const CGXRangeList& cells, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  const CGXData* data = grid->GetData();
  const bool holding = data && data->GetRuntimeClass() == RUNTIME_CLASS(CGXData) && ComposesAsTheCore(grid) &&
                       right - left + 1ULL <= kMaxHeldCells;
  StyleStock stock(grid);
  HeldStyles held(stock);
  CGXStyle stored;
  // Whether the cell's stored style goes; its composition then joins the run's held ones.
  auto removed = [&](ROWCOL r, ROWCOL c) {
    if (!cells.ContainsCell(r, c)) return false;
    stored.Free();
    if (!grid->ReadStoredStyle(r, c, stored, gxCopy, 0)) return false;
    CGXStyle* composed = stock.Get();
    grid->ComposeCellStyle(r, c, *composed);
    if (!grid->CanClearCell(r, c, *composed, ControlOfComposed(grid, r, c, *composed))) {
      stock.Put(composed);
      return false;
    }
    if (holding)
      held.Styles().push_back(composed);
    else
      stock.Put(composed);
    return true;
  };
  for (ROWCOL r = top;; ++r) {
    ROWCOL c = left;
    for (;;) {
      while (c <= right && !removed(r, c)) ++c;
      if (c > right) break;
      const ROWCOL start = c;
      while (c < right && removed(r, c + 1)) ++c;
      StoreStep(grid, CGXRange(r, start, r, c), nullptr, gxRemove, holding ? &held : nullptr);
      if (c == right) break;
      // The cell after the run was judged a kept one (or none to remove): the next run starts past it.
      c += 2;
      if (c > right || c < 2) break;
    }
    if (r == bottom) break;
  }
  return TRUE;
}

}  // namespace

BOOL CGXClearCellsImp::ClearCells(CGXGridCore* grid, const CGXRangeList& ranges, UINT flags) {
  const BOOL styles = flags != 0;
  const CString name = gx::LoadGridString(20180);
  grid->BeginTransaction(name);
  CGXLongOperationScope scope;
  scope.SetStatusText(name, TRUE);
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  CGXLongOperationScope::IgnoreNestedLongOperations(TRUE);

  // Whole rows, columns or the table become the cells below and right of the headers.
  const ROWCOL rows = grid->GetRowCount(), cols = grid->GetColCount();
  CGXRangeList cells;
  for (POSITION p = ranges.GetHeadPosition(); p;) {
    CGXRange range = *ranges.GetNext(p);
    if (!range.IsValid()) continue;
    range.ExpandToCells(grid->GetHeaderRows() + 1, grid->GetHeaderCols() + 1, rows, cols);
    if (range.top > rows || range.left > cols) continue;
    if (range.bottom > rows) range.bottom = rows;
    if (range.right > cols) range.right = cols;
    if (range.top == 0 || range.left == 0 || range.bottom < range.top || range.right < range.left) continue;
    cells.AddTail(new CGXRange(range));
  }
  CDWordArray rowStarts, rowEnds, colStarts, colEnds;
  cells.GetRowIntervals(rows, rowStarts, rowEnds);
  cells.GetColIntervals(cols, colStarts, colEnds);

  BOOL ok = TRUE;
  try {
    for (INT_PTR i = 0; ok && i < rowStarts.GetSize(); ++i)
      for (INT_PTR j = 0; ok && j < colStarts.GetSize(); ++j) {
        const ROWCOL top = rowStarts[i], bottom = rowEnds[i], left = colStarts[j], right = colEnds[j];
        ok = styles ? ClearStyles(grid, cells, top, left, bottom, right)
                    : ClearValues(grid, cells, top, left, bottom, right, scope);
        if (ok && styles) {
          BOOL abort = FALSE;
          scope.PollAbort(abort);
          if (abort) AfxThrowUserException();
        }
      }
  } catch (CUserException* e) {
    e->Delete();
    // Retry in the abort question asks to undo what was cleared; Abort keeps it.
    if (CGXLongOperationScope::IsRollbackRequested())
      grid->RollbackTransaction();
    else
      grid->CommitTransaction();
    CGXLongOperationScope::SetRollbackOffered(FALSE);
    return FALSE;
  }
  grid->CommitTransaction();
  CGXLongOperationScope::SetRollbackOffered(FALSE);
  grid->RefreshScrollBars();
  grid->UpdateWindow();
  return ok;
}

void CGXGridCore::InstallClearCellsImp() {
  if (!GetClearCellsImp()) SetFeature(new CGXClearCellsImp);
}
