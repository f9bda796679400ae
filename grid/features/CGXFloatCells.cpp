#include "grid/features/CGXFloatCells.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXSpanCellPool.h"
#include "grid/features/CGXSpanCellPoolImp.h"
#include "grid/features/CGXSpannedCellsDrawing.h"
#include "grid/features/gxspanevaluation.h"
#include "platform/gdi/CDC.h"

namespace {
// The data area: below the header rows, right of the header columns, within the counts.
BOOL ClampToData(CGXGridCore* g, const CGXRange& in, CGXRange& out) {
  CGXRange r = in;
  r.ExpandToCells(0, 0, g->GetRowCount(), g->GetColCount());
  const ROWCOL top = std::max(r.top, g->GetHeaderRows() + 1), left = std::max(r.left, g->GetHeaderCols() + 1);
  const ROWCOL bottom = std::min(r.bottom, g->GetRowCount()), right = std::min(r.right, g->GetColCount());
  if (top > bottom || left > right) return FALSE;
  out = CGXRange(top, left, bottom, right);
  return TRUE;
}

void Widen(CGXRange* changed, const CGXRange& r) {
  if (!changed) return;
  if (!changed->IsValid())
    *changed = r;
  else
    changed->SetUnion(*changed, r);
}
}  // namespace

CGXSpanCellPool* CGXFloatCells::Pool(CGXGridCore* g) {
  CGXGridParam* p = g->GetParam();
  if (!p || p->m_wFloatingMode == 0) return nullptr;
  if (g->IsPrinting()) return g->GetFloatCellsPool();
  if (!p->m_pFloatSpans) p->m_pFloatSpans = std::make_unique<CGXSpanCellPool>();
  return p->m_pFloatSpans.get();
}

CGXDelayedRangePool* CGXFloatCells::Delayed(CGXGridCore* g) {
  CGXGridParam* p = g->GetParam();
  if (!p || p->m_wFloatingMode != 1) return nullptr;
  if (!p->m_pFloatDelayed) {
    // A layout in delayed mode without its pool: everything is evaluated when drawn.
    p->m_pFloatDelayed = std::make_unique<CGXDelayedRangePool>();
    p->m_pFloatDelayed->ResetToWholeGrid();
  }
  return p->m_pFloatDelayed.get();
}

void CGXFloatCells::SetFloatCellsMode(CGXGridCore* g, WORD mode, BOOL redraw) {
  CGXGridParam* p = g->GetParam();
  if (!p) return;
  if (p->m_wFloatingMode != mode) {
    p->m_pFloatSpans.reset();
    p->m_pFloatDelayed.reset();
    p->m_wFloatingMode = mode;
    if (mode != 0) p->m_pFloatSpans = std::make_unique<CGXSpanCellPool>();
    if (mode == 1) {
      p->m_pFloatDelayed = std::make_unique<CGXDelayedRangePool>();
      p->m_pFloatDelayed->ResetToWholeGrid();
    }
  }
  if (redraw) g->RedrawAll(GX_INVALIDATE);
}

void CGXFloatCells::RecalcFloatCells(CGXGridCore* g, const CGXRange& range, int) {
  CGXDelayedRangePool* pool = Delayed(g);
  CGXRange area;
  if (!pool || g->IsPrinting() || !ClampToData(g, range, area)) return;
  pool->AddRange(area);
}

BOOL CGXFloatCells::CalcFloatCellsInRange(CGXGridCore* g, const CGXRange& range) {
  CGXRange changed;
  const BOOL any = EvaluateFloatCellsInRange(g, range, FALSE, &changed);
  if (any) gx::InvalidateChangedSpans(g, changed);
  return any;
}

BOOL CGXFloatCells::EvaluateFloatCellsInRange(CGXGridCore* g, const CGXRange& range, BOOL noLock, CGXRange* changed) {
  CGXGridParam* p = g->GetParam();
  if (!p || p->m_wFloatingMode == 0 || g->m_bSuspendFloating) return FALSE;
  CGXRange area;
  if (!ClampToData(g, range, area)) return FALSE;
  // Delayed mode evaluates only what is pending (immediately while printing: no print pool is kept).
  CGXDelayedRangePool* delayed = g->IsPrinting() ? nullptr : Delayed(g);
  return gx::EvaluateSpanCells(g, area, delayed, FALSE, noLock,
                               [&](ROWCOL row, ROWCOL col) { return EvaluateFloatCell(g, row, col, changed); });
}

const CGXStyle& CGXFloatCells::StyleOf(CGXGridCore* g, ROWCOL row, ROWCOL col) {
  if (g->MatchesCurrentCell(row, col) && g->CurrentCellIsActive()) {
    // The text being typed floats as it would once stored.
    g->ComposeCellStyle(row, col, m_edited, TRUE);
    if (CGXControl* c = g->ControlOfCurrentCell()) c->ApplyEditedValueToStyle(row, col, m_edited);
    return m_edited;
  }
  return *g->GetCachedCellStyle(row, col);
}

BOOL CGXFloatCells::CanFloatText(CGXGridCore*, ROWCOL, ROWCOL, const CGXStyle& style, BOOL asSource) {
  const BOOL empty = !style.GetIncludeValue() || style.GetValue().IsEmpty();
  if (!asSource) return empty;
  if (const CGXFont* font = style.GetFontPtr(); font && font->GetIncludeOrientation() && font->GetOrientation() != 0)
    return FALSE;  // rotated text never floats
  return !empty;
}

BOOL CGXFloatCells::CanFloatCell(CGXGridCore* g, CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style,
                                 int direction) {
  if (g->QueryFloatingMode() == 0) return FALSE;
  CGXRange r;
  if (g->GetCoveredCellsRowCol(row, col, r) || g->GetMergedCellsRange(row, col, r, -1)) return FALSE;
  if (direction == 0) {
    if (col == g->GetFrozenCols() + 1) return FALSE;  // the scrolled columns start here
    if (!style.IsIncluded(GX_IN_FLOODCELL) || !style.GetFloodCell()) return FALSE;
  } else if (!style.IsIncluded(GX_IN_FLOATCELL) || !style.GetFloatCell()) {
    return FALSE;
  }
  return control ? control->CanFloatText(row, col, style, direction == 1)
                 : CanFloatText(g, row, col, style, direction == 1);
}

int CGXFloatCells::TextWidth(CGXGridCore* g, CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CDC* dc = g->GetCachedDC();
  if (!dc) return 0;
  if (g->GetCalcSizeImp() && control)
    return control->ComputeCellSize(dc, row, col, style, g->GetStandardStyle(), FALSE).cx;
  // Without the size calculation: the text on one line in the cell's font, with the control's margins.
  CString text;
  if (control)
    control->GetDisplayText(text, row, col, nullptr, style);
  else
    text = style.GetValue();
  CFont* old = g->CreateZoomedFont(dc, style.GetFont());
  CRect r(0, 0, 0, 0);
  dc->DrawText(text, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (old) dc->SelectObject(old);
  return control ? control->AddBordersToSize(CSize(r.Width(), 0), style).cx : r.Width();
}

BOOL CGXFloatCells::EvaluateFloatCell(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange* changed) {
  if (row <= g->GetHeaderRows() || col <= g->GetHeaderCols()) return FALSE;
  const CGXStyle& style = StyleOf(g, row, col);
  CGXControl* control = g->ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
  const BOOL canFloat = CanFloatCell(g, control, row, col, style, 1);
  // The start of the span the cell's left neighbour lies in: the cell may stop or free that span.
  ROWCOL leftStart = col - 1;
  CGXRange span(row, col - 1);
  if (GetFloatedCellsRange(g, row, col - 1, span)) leftStart = span.left;
  const BOOL hasLeft = leftStart > g->GetHeaderCols();
  BOOL any = FALSE;
  if (!canFloat) {
    any |= FloatCellRowCol(g, row, col, changed);
    if (hasLeft) any |= FloatCellRowCol(g, row, leftStart, changed);
  } else {
    if (hasLeft) any |= FloatCellRowCol(g, row, leftStart, changed);
    any |= FloatCellRowCol(g, row, col, changed);
  }
  return any;
}

BOOL CGXFloatCells::FloatCellRowCol(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange* changed) {
  // 1. The span's start and what it holds.
  CGXRange old(row, col);
  const BOOL inSpan = GetFloatedCellsRange(g, row, col, old);
  const ROWCOL start = inSpan ? old.left : col;
  const ROWCOL oldLast = inSpan ? old.right : col;
  const CGXStyle& style = StyleOf(g, row, start);
  CGXControl* control = g->ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
  ROWCOL last = start;
  // 2. How far the text reaches over neighbours that accept it.
  if (CanFloatCell(g, control, row, start, style, 1)) {
    int width = TextWidth(g, control, row, start, style);
    const ROWCOL count = g->GetColCount();
    while (last < count) {
      const int own = g->GetColWidth(last);
      if (width <= own) break;
      const ROWCOL next = last + 1;
      const CGXStyle& target = StyleOf(g, row, next);
      CGXControl* targetControl = g->ControlForId(target.IsIncluded(GX_IN_CONTROLID) ? target.GetControl() : 0);
      if (!CanFloatCell(g, targetControl, row, next, target, 0)) break;
      width -= own;
      last = next;
    }
  }
  // 3. A new extent is stored.
  if (last == oldLast) return FALSE;
  if (!SetFloatedRange(g, row, start, row, last, TRUE)) return FALSE;
  Widen(changed, CGXRange(row, start, row, std::max(last, oldLast)));
  return TRUE;
}

BOOL CGXFloatCells::SetFloatedRange(CGXGridCore* g, ROWCOL row, ROWCOL col, ROWCOL toRow, ROWCOL toCol, BOOL hint) {
  CGXSpanCellPool* pool = Pool(g);
  if (!pool) return FALSE;
  CGXRange old(row, col);
  GetFloatedCellsRange(g, row, col, old);
  const BOOL larger = toRow != row || toCol != col;
  // A span that shrinks to its cell is cleared from its start; a larger one overwrites the old extent.
  if (!larger && !(old.left == col && old.right != col)) return TRUE;
  if (!pool->SetSpanCellsRowCol(row, col, toRow, toCol, larger)) return FALSE;
  if (!g->IsLockUpdate()) {
    const CGXRange area(row, col, std::max(toRow, old.bottom), std::max(toCol, old.right));
    g->RedrawRange(area.top, area.left, area.bottom, area.right, GX_INVALIDATE, FALSE);
    if (auto* h = hint ? g->HintSender() : nullptr)
      h->HintFloatCells(g, area.top, area.left, area.bottom, area.right, GX_INVALIDATE);
  }
  return TRUE;
}

BOOL CGXFloatCells::GetFloatedCellsRange(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& out) {
  out = CGXRange(row, col);
  CGXGridParam* p = g->GetParam();
  if (!p || p->m_wFloatingMode == 0) return FALSE;
  const CGXSpanCellPool* pool = g->IsPrinting() ? g->GetFloatCellsPool() : p->m_pFloatSpans.get();
  return pool && pool->GetSpanCellsRowCol(row, col, &out) && out.left != out.right;
}

void CGXFloatCells::RedrawFloatCells(CGXGridCore* g, const CGXRange& range, UINT flags) {
  if (g->IsLockUpdate()) return;
  CGXRange area = range;
  area.ExpandToCells(0, 0, g->GetRowCount(), g->GetColCount());
  WidenRangeByFloatCells(g, area);
  g->RedrawRange(area.top, area.left, area.bottom, area.right, flags, FALSE);
}

void CGXFloatCells::WidenRangeByFloatCells(CGXGridCore* g, CGXRange& range) {
  if (g->QueryFloatingMode() == 0 || !range.IsCells() || !range.IsValid()) return;
  const ROWCOL bottom = std::min(range.bottom, g->GetRowCount());
  for (ROWCOL row = range.top; row <= bottom; ++row) {
    // Each row left to right, past each span found (the range grows while it is scanned).
    for (ROWCOL col = range.left; col <= range.right && col <= g->GetColCount();) {
      CGXRange span;
      if (GetFloatedCellsRange(g, row, col, span)) {
        range.left = std::min(range.left, span.left);
        range.right = std::max(range.right, span.right);
        col = span.right + 1;
      } else {
        ++col;
      }
    }
    if (row == bottom) break;
  }
}

void CGXGridCore::InstallFloatCellsImp() {
  if (!GetFloatCellsImp()) SetFeature(new CGXFloatCells);
  InstallSpanCellPoolImp();
  InstallDelayedRangePoolImp();
  InstallDrawSpannedCellsImp();
}

void CGXGridCore::SetFloatCellsMode(WORD mode, BOOL redraw) {
  InstallFloatCellsImp();
  if (auto* imp = dynamic_cast<CGXFloatCells*>(GetFloatCellsImp())) imp->SetFloatCellsMode(this, mode, redraw);
}
