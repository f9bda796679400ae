#include "grid/features/CGXUserSelectRangeImp.h"

#include <algorithm>
#include <vector>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/gxfeaturedraw.h"
#include "platform/window/windowapi.h"

namespace {

constexpr WORD kRows = 1, kCols = 2, kTable = 4, kCells = 8, kMultiple = 16, kShiftClick = 32, kShiftKey = 64,
               kAny = 255;

BOOL ListMode(CGXGridCore* g) { return g->GetParam()->TestClickFlags(3); }
BOOL SingleListMode(CGXGridCore* g) { return g->GetParam()->TestClickFlags(1); }
BOOL MultipleListMode(CGXGridCore* g) { return !SingleListMode(g) && g->GetParam()->TestClickFlags(2); }
BOOL Allowed(CGXGridCore* g, WORD mask) { return g->GetParam()->IsSelectionAllowed(mask); }

BOOL Holds(const CGXRangeList& list, POSITION pos) {
  if (!pos) return FALSE;
  for (POSITION p = list.GetHeadPosition(); p;) {
    if (p == pos) return TRUE;
    list.GetNext(p);
  }
  return FALSE;
}

// Inverts the shown data cells of `area` (a cell rectangle) for which `changes` answers TRUE. The current
// cell is left alone: the paint frames it the same way whether it is selected or not.
template <class Changes>
void InvertShownCells(CGXGridCore* g, CDC* dc, const CGXRange& area, Changes changes) {
  if (!dc || !area.IsValid()) return;
  const ROWCOL first = 1;
  const auto rows = gxfeat::ShownRows(g, std::max({area.top, g->GetHeaderRows() + 1, first}), area.bottom);
  if (rows.empty()) return;
  const auto cols = gxfeat::ShownCols(g, std::max({area.left, g->GetHeaderCols() + 1, first}), area.right);
  for (const gxfeat::ShownLine& r : rows)
    for (const gxfeat::ShownLine& c : cols) {
      if (!changes(r.index, c.index) || g->MatchesCurrentCell(r.index, c.index)) continue;
      const CRect rect(c.from, r.from, c.to, r.to);
      dc->InvertRect(&rect);
    }
}

BOOL DrawsSelection(CGXGridCore* g) { return g->ParamSettings().m_bInvertSelection && !g->IsPrinting(); }

}  // namespace

// ---- Helpers ------------------------------------------------------------------------------------------------

void CGXUserSelectRangeImp::SyncKeptFlag(CGXGridCore* g) const {
  g->GetParam()->m_bKeepsCurrentSelRange = !g->GetParam()->GetSelection().IsEmpty();
}

POSITION CGXUserSelectRangeImp::GetRangeBeingBuilt(CGXGridCore* g) const {
  return g->GetParam() && Holds(g->GetParam()->GetSelection(), m_posBuilt) ? m_posBuilt : nullptr;
}

POSITION CGXUserSelectRangeImp::AppendRange(CGXGridCore* g) {
  m_posBuilt = g->GetParam()->GetSelection().AddTail(new CGXRange);
  SyncKeptFlag(g);
  return m_posBuilt;
}

BOOL CGXUserSelectRangeImp::CtrlCounts(CGXGridCore* g, UINT flags) {
  if (!(flags & MK_CONTROL) || SingleListMode(g)) return FALSE;
  return MultipleListMode(g) || Allowed(g, kMultiple);
}

BOOL CGXUserSelectRangeImp::ShiftCounts(CGXGridCore* g, UINT flags, WORD mask) {
  if (!(flags & MK_SHIFT) || SingleListMode(g)) return FALSE;
  return MultipleListMode(g) || Allowed(g, mask);
}

BOOL CGXUserSelectRangeImp::SetBetweenHooks(CGXGridCore* g, POSITION pos, const CGXRange& b, BOOL dragging,
                                            BOOL byKey) {
  if (!pos) return FALSE;
  CGXRange next;
  next.AssignCells(b.top, b.left, b.bottom, b.right);
  if (!g->OnPrepareSelectionChange(&next, dragging, byKey)) return FALSE;
  SetRangeBeingBuilt(g, pos, b.top, b.left, b.bottom, b.right);
  g->OnSelectionChanged(g->GetParam()->GetSelection().GetAt(pos), dragging, byKey);
  return TRUE;
}

BOOL CGXUserSelectRangeImp::Clear(CGXGridCore* g, BOOL dragging, BOOL byKey) {
  if (!g->GetParam()) return FALSE;
  if (!g->OnPrepareSelectionChange(nullptr, dragging, byKey)) return FALSE;
  SetRangeBeingBuilt(g, nullptr, 0, 0, 0, 0);
  g->OnSelectionChanged(nullptr, dragging, byKey);
  return TRUE;
}

// ---- Operation 0: keyboard moves -------------------------------------------------------------------------

BOOL CGXUserSelectRangeImp::OnMoveCurrentCell(CGXGridCore* g, int direction, ROWCOL count) {
  if (!g->GetParam()) return g->MoveCurrentCellBy(direction, count, TRUE);
  const BOOL shiftKey = ::GetKeyState(VK_SHIFT) < 0;
  ROWCOL row = 0, col = 0;
  CGXRangeList& list = g->GetParam()->GetSelection();
  // Decision: the moves below that build a range run with the selection left alone (FALSE): a joining
  // move would otherwise clear the list under the range being built.
  if (ListMode(g) && g->QueryCurrentCell(&row, &col)) {
    const BOOL shift = MultipleListMode(g) && shiftKey;
    if (!(shift && GetRangeBeingBuilt(g))) {
      if (!Clear(g, FALSE, TRUE)) return FALSE;
      AppendRange(g);
      m_nAnchorRow = row;
      m_nAnchorCol = col;
    }
    const BOOL moved = g->MoveCurrentCellBy(direction, count, FALSE);
    g->QueryCurrentCell(&row, &col);
    SetBetweenHooks(g, m_posBuilt, CGXRange(shift ? m_nAnchorRow : row, 0, row, 0), FALSE, TRUE);
    m_nLastRow = row;
    m_nLastCol = col;
    if (!shift) {
      m_nAnchorRow = row;
      m_nAnchorCol = col;
    }
    return moved;
  }
  if (!shiftKey || !Allowed(g, kShiftKey)) {
    const BOOL moved = g->MoveCurrentCellBy(direction, count, TRUE);
    m_posBuilt = nullptr;
    return moved;
  }
  if (!g->QueryCurrentCell(&row, &col)) return FALSE;
  if (!GetRangeBeingBuilt(g)) {
    if (!g->CanStartSelection(row, col) || !Clear(g, FALSE, TRUE)) return FALSE;
    AppendRange(g);
    m_nAnchorRow = row;
    m_nAnchorCol = col;
  }
  if (!g->MoveCurrentCellBy(direction, count, FALSE)) return FALSE;
  g->QueryCurrentCell(&row, &col);
  if (!g->OnPrepareSelectionChange(list.GetAt(m_posBuilt), FALSE, TRUE)) return FALSE;
  SetRangeBeingBuilt(g, m_posBuilt, m_nAnchorRow, m_nAnchorCol, row, col);
  m_nLastRow = row;
  m_nLastCol = col;
  g->OnSelectionChanged(list.GetAt(m_posBuilt), FALSE, TRUE);
  return TRUE;
}

// ---- Operations 1 to 3: the mouse ------------------------------------------------------------------------

void CGXUserSelectRangeImp::OnStartSelection(CGXGridCore* g, UINT flags, ROWCOL row, ROWCOL col) {
  CGXGridParam* p = g->GetParam();
  if (!p) return;
  CGXRangeList& list = p->GetSelection();
  if (row == 0 && col == 0) {
    // The corner cell toggles the whole table.
    if (!Allowed(g, kTable) || !g->CanStartSelection(0, 0)) return;
    CGXRange table;
    table.AssignTable();
    if (!list.ContainsCell(0, 0)) {
      if (!Clear(g)) return;
      SelectRange(g, table, TRUE, TRUE);
    } else {
      SelectRange(g, table, FALSE, TRUE);
    }
    return;
  }
  const ROWCOL hr = g->GetHeaderRows(), hc = g->GetHeaderCols();
  const BOOL colHeader = row <= hr && col > hc, rowHeader = col <= hc && row > hr, cell = row > hr && col > hc;
  if (!Allowed(g, kAny) || !g->CanStartSelection(row, col)) return;
  const BOOL ctrl = CtrlCounts(g, flags), shift = ShiftCounts(g, flags, kShiftClick);
  m_bCtrlAtPress = ctrl;
  if (!shift) {
    ROWCOL cr = 0, cc = 0;
    if (!ctrl) {
      if (!Clear(g, TRUE)) return;
    } else if (list.IsEmpty() && !ListMode(g) && g->QueryCurrentCell(&cr, &cc) && (cr != row || cc != col)) {
      // Ctrl+click keeps the cell the user was in.
      SelectRange(g, CGXRange(cr, cc), TRUE, TRUE);
    }
  }
  if (!((rowHeader && Allowed(g, kRows)) || (colHeader && Allowed(g, kCols)) || (cell && Allowed(g, kCells))))
    return;
  if (shift) {
    POSITION pos = list.GetTailPosition();
    if (!pos) {
      pos = AppendRange(g);
      ROWCOL cr = 1, cc = 1;
      if (!g->QueryCurrentCell(&cr, &cc)) cr = cc = 1;
      m_nAnchorRow = cr;
      m_nAnchorCol = cc;
    }
    m_posBuilt = pos;
    SetBetweenHooks(g, pos, CGXRange(m_nAnchorRow, m_nAnchorCol, row, col), TRUE, FALSE);
    m_nLastRow = row;
    m_nLastCol = col;
    m_bMouseSelecting = TRUE;
    return;
  }
  POSITION pos = AppendRange(g);
  m_nAnchorRow = m_nLastRow = row;
  m_nAnchorCol = m_nLastCol = col;
  m_bMouseSelecting = TRUE;
  if (cell && !ListMode(g)) return;  // bounds come with the first move
  CGXRange bounds;
  if (SingleListMode(g))
    bounds = CGXRange(row, 0, row, 0);
  else if (colHeader)
    bounds = CGXRange(0, m_nAnchorCol, 0, col);
  else if (rowHeader)
    bounds = CGXRange(m_nAnchorRow, 0, row, 0);
  else
    bounds = CGXRange(row, col, row, col);
  SetBetweenHooks(g, pos, bounds, TRUE, FALSE);
}

BOOL CGXUserSelectRangeImp::OnMoveSelection(CGXGridCore* g, ROWCOL* row, ROWCOL* col) {
  if (!m_bMouseSelecting || !g->GetParam() || !Allowed(g, kAny)) return FALSE;
  const ROWCOL hr = g->GetHeaderRows(), hc = g->GetHeaderCols();
  CGXRange bounds;
  if (SingleListMode(g)) {
    bounds = CGXRange(*row, 0, *row, 0);
  } else if (m_nAnchorRow <= hr) {
    bounds = CGXRange(0, m_nAnchorCol, 0, *col);
  } else if (m_nAnchorCol > hc) {
    *row = std::max(*row, hr + 1);
    *col = std::max(*col, hc + 1);
    bounds = CGXRange(m_nAnchorRow, m_nAnchorCol, *row, *col);
  } else {
    bounds = CGXRange(m_nAnchorRow, 0, *row, 0);
  }
  m_nLastRow = *row;
  m_nLastCol = *col;
  SetBetweenHooks(g, GetRangeBeingBuilt(g), bounds, TRUE, FALSE);
  return TRUE;
}

void CGXUserSelectRangeImp::OnEndSelection(CGXGridCore* g) {
  if (!m_bMouseSelecting || !g->GetParam() || !Allowed(g, kAny)) return;
  if (m_nAnchorRow == 0 && m_nAnchorCol == 0) return;
  POSITION pos = GetRangeBeingBuilt(g);
  CGXRangeList& list = g->GetParam()->GetSelection();
  if (!ListMode(g) && m_nAnchorRow == m_nLastRow && m_nAnchorCol == m_nLastCol && m_nAnchorRow > 0 &&
      m_nAnchorCol > 0) {
    if (m_bCtrlAtPress) {
      // Ctrl+clicks collect single cells.
      SetBetweenHooks(g, pos, CGXRange(m_nAnchorRow, m_nAnchorCol), FALSE, FALSE);
    } else if (g->ParamSettings().m_bCurrentCellFrame) {
      // Decision: the click leaves no range without bounds behind, and the rest of the list as it was.
      if (pos && !list.GetAt(pos)->IsValid()) {
        list.DeleteAt(pos);
        m_posBuilt = nullptr;
        SyncKeptFlag(g);
        g->RedrawCurrentCellOfEmptySelection();
      }
    } else {
      Clear(g);
    }
  } else {
    g->OnSelectionChanged(pos ? list.GetAt(pos) : nullptr, FALSE, FALSE);
  }
  m_bMouseSelecting = FALSE;
}

// ---- Operations 4 and 5: selecting and deselecting ranges --------------------------------------------------

void CGXUserSelectRangeImp::SelectRange(CGXGridCore* g, const CGXRange& range, BOOL select, BOOL update) {
  if (!g->GetParam() || !range.IsValid()) return;
  if (!g->OnPrepareSelectionChange(&range, FALSE, FALSE)) return;
  // Pending paint first: the paint shows the old list, the inversion below turns it into the new one.
  if (update) g->UpdateWindow();
  CGXRangeList old;
  g->CopyRangeList(old, FALSE);
  if (!ChangeSelectionList(g, range, select)) return;
  g->OnSelectionChanged(&range, FALSE, FALSE);
  if (update) InvertRange(g, range, old, TRUE);
}

BOOL CGXUserSelectRangeImp::ChangeSelectionList(CGXGridCore* g, const CGXRange& range, BOOL select) {
  CGXRangeList& list = g->GetParam()->GetSelection();
  if (select) {
    list.AddTail(new CGXRange(range));
    SyncKeptFlag(g);
    return TRUE;
  }
  const ROWCOL rows = g->GetRowCount(), cols = g->GetColCount();
  const CGXRange removed = gxfeat::AsCells(range, rows, cols);
  // The list is rebuilt in order: a range that the removed one cuts is replaced by its pieces in place.
  std::vector<CGXRange> kept;
  for (POSITION p = list.GetHeadPosition(); p;) {
    const CGXRange& listed = *list.GetNext(p);
    const CGXRange cells = gxfeat::AsCells(listed, rows, cols);
    CGXRange cut;
    if (!listed.IsValid() || !cut.SetIntersection(cells, removed)) {
      kept.push_back(listed);
      continue;
    }
    const BOOL wholeRows = range.IsRows() && (listed.IsRows() || listed.IsTable());
    const BOOL wholeCols = range.IsCols() && (listed.IsCols() || listed.IsTable());
    auto rowsPiece = [&](ROWCOL top, ROWCOL bottom) {
      if (top > bottom) return;
      kept.push_back(wholeRows ? CGXRange().AssignRows(top, bottom)
                               : CGXRange().AssignCells(top, cells.left, bottom, cells.right));
    };
    auto colsPiece = [&](ROWCOL left, ROWCOL right) {
      if (left > right) return;
      kept.push_back(wholeCols ? CGXRange().AssignCols(left, right)
                               : CGXRange().AssignCells(cells.top, left, cells.bottom, right));
    };
    if (cut.top > cells.top) rowsPiece(cells.top, cut.top - 1);
    if (cut.bottom < cells.bottom) rowsPiece(cut.bottom + 1, cells.bottom);
    if (cut.left > cells.left) colsPiece(cells.left, cut.left - 1);
    if (cut.right < cells.right) colsPiece(cut.right + 1, cells.right);
  }
  list.DeleteAll();
  m_posBuilt = nullptr;
  for (const CGXRange& r : kept) list.AddTail(new CGXRange(r));
  SyncKeptFlag(g);
  return TRUE;
}

// ---- Operations 6 to 9: the range being built and the redrawing ------------------------------------------

void CGXUserSelectRangeImp::InvertRange(CGXGridCore* g, const CGXRange& range, const CGXRangeList& old, BOOL hint) {
  CGXRangeList& list = g->GetParam()->GetSelection();
  const CGXRange area = gxfeat::AsCells(range, g->GetRowCount(), g->GetColCount());
  {
    gxfeat::ClientDC dc(g);
    if (dc.Get() && DrawsSelection(g)) {
      g->DrawExcelLikeFrame(dc.Get(), TRUE, list.GetHead());
      InvertShownCells(g, dc.Get(), area, [&](ROWCOL r, ROWCOL c) {
        return old.ContainsCell(r, c) != list.ContainsCell(r, c);
      });
    }
  }
  m_posBuilt = list.GetHeadPosition();
  if (const CGXRange* first = list.GetHead()) {
    m_nAnchorRow = m_nLastRow = first->top;
    m_nAnchorCol = m_nLastCol = first->left;
  }
  if (hint)
    if (auto* h = g->HintSender()) h->HintSelectionChanged(g, 0, area.top, area.left, area.bottom, area.right);
}

void CGXUserSelectRangeImp::SetRangeBeingBuilt(CGXGridCore* g, POSITION pos, ROWCOL top, ROWCOL left,
                                               ROWCOL bottom, ROWCOL right) {
  if (!g->GetParam()) return;
  if (!pos) {
    const BOOL had = !g->GetParam()->GetSelection().IsEmpty();
    SyncKeptFlag(g);  // the grid redraws the listed ranges before it empties the list while this is set
    g->SetSelection(nullptr, 0, 0, 0, 0);
    m_posBuilt = nullptr;
    if (had)
      if (auto* h = g->HintSender()) h->HintSelectionCleared(g);
    return;
  }
  if (ListMode(g)) left = right = 0;
  g->UpdateWindow();
  m_posRedraw = pos;
  g->SetSelection(pos, top, left, bottom, right);
  m_posRedraw = nullptr;
  m_posBuilt = pos;
  SyncKeptFlag(g);
}

void CGXUserSelectRangeImp::SelectRangeForward8(CGXGridCore* g, const CGXRange& range, BOOL hint) {
  POSITION pos = m_posRedraw;
  if (!pos) {
    // The grid's SetSelection called by others: the range is about to replace the one being built.
    pos = GetRangeBeingBuilt(g);
  }
  RedrawRangeChange(g, pos, range, hint);
}

void CGXUserSelectRangeImp::RedrawRangeChange(CGXGridCore* g, POSITION pos, const CGXRange& range, BOOL hint) {
  CGXRangeList& list = g->GetParam()->GetSelection();
  if (!Holds(list, pos)) return;
  const ROWCOL rows = g->GetRowCount(), cols = g->GetColCount();
  const CGXRange before = gxfeat::AsCells(*list.GetAt(pos), rows, cols);
  const CGXRange after = gxfeat::AsCells(range, rows, cols);
  CGXRange area;
  if (!before.IsValid())
    area = after;
  else if (!after.IsValid())
    area = before;
  else
    area.SetUnion(before, after);
  gxfeat::ClientDC dc(g);
  if (!dc.Get() || !DrawsSelection(g)) return;
  g->DrawExcelLikeFrame(dc.Get(), TRUE, &range);
  InvertShownCells(g, dc.Get(), area, [&](ROWCOL r, ROWCOL c) -> bool {
    if (list.ContainsCell(r, c, pos)) return false;  // another range keeps it selected
    return before.ContainsCell(r, c) != after.ContainsCell(r, c);
  });
  if (hint)
    if (auto* h = g->HintSender()) h->HintSelectionChanged(g, 0, area.top, area.left, area.bottom, area.right);
}

void CGXUserSelectRangeImp::RedrawAllSelections(CGXGridCore* g, BOOL) {
  if (!g->GetParam()) return;
  CGXRangeList& list = g->GetParam()->GetSelection();
  if (list.IsEmpty()) return;
  g->UpdateWindow();
  gxfeat::ClientDC dc(g);
  if (!dc.Get() || !DrawsSelection(g)) return;
  g->DrawExcelLikeFrame(dc.Get(), TRUE, nullptr);
  const CGXRange all(1, 1, g->GetRowCount(), g->GetColCount());
  InvertShownCells(g, dc.Get(), all, [&](ROWCOL r, ROWCOL c) { return list.ContainsCell(r, c); });
}

// ---- Operation 10 and the engine's argument blocks -------------------------------------------------------

BOOL CGXUserSelectRangeImp::OnCtrlClickHeader(CGXGridCore* g, ROWCOL row, ROWCOL col, UINT flags) {
  if (!g->GetParam() || !(flags & MK_CONTROL) || ::GetKeyState(VK_CONTROL) >= 0) return FALSE;
  CGXRangeList& list = g->GetParam()->GetSelection();
  const ROWCOL hr = g->GetHeaderRows(), hc = g->GetHeaderCols();
  POSITION skip = GetRangeBeingBuilt(g);
  CGXRange whole;
  if (col <= hc && row > hr && list.ContainsCell(row, 0, skip))
    whole.AssignRows(row, row);
  else if (row <= hr && col > hc && list.ContainsCell(0, col, skip))
    whole.AssignCols(col, col);
  else
    return FALSE;
  m_posBuilt = nullptr;
  SelectRange(g, whole, FALSE, TRUE);
  return TRUE;
}

void CGXUserSelectRangeImp::SelectRangeForward4(CGXGridCore* g, const GXForwardArgs& a) {
  if (const auto* range = reinterpret_cast<const CGXRange*>(a.v[0]))
    SelectRange(g, *range, static_cast<BOOL>(a.v[1]), static_cast<BOOL>(a.v[2]));
}

LRESULT CGXUserSelectRangeImp::SelectRangeForward5(CGXGridCore* g, const GXForwardArgs& a) {
  const auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  return range && g->GetParam() ? ChangeSelectionList(g, *range, static_cast<BOOL>(a.v[1])) : FALSE;
}

void CGXUserSelectRangeImp::SelectRangeForward6(CGXGridCore* g, const GXForwardArgs& a) {
  const auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  const auto* old = reinterpret_cast<const CGXRangeList*>(a.v[1]);
  if (range && old && g->GetParam()) InvertRange(g, *range, *old, static_cast<BOOL>(a.v[2]));
}

void CGXUserSelectRangeImp::OnSelectionChangedHint(CGXGridCore* g, DWORD_PTR, ROWCOL top, ROWCOL left,
                                                   ROWCOL bottom, ROWCOL right) {
  g->RedrawRange(top, left, bottom, right, GX_INVALIDATE, FALSE);
}

void CGXUserSelectRangeImp::OnSelectionClearedHint(CGXGridCore* g) {
  m_posBuilt = nullptr;
  g->RedrawAll(GX_INVALIDATE, FALSE);
}

void CGXUserSelectRangeImp::OnRangeChangedHint(CGXGridCore* g, const CGXRange& range, DWORD) {
  g->RedrawHintRange(range, GX_INVALIDATE, FALSE);
}

void CGXGridCore::InstallUserSelectRangeImp() {
  if (!GetUserSelectRangeImp()) SetFeature(new CGXUserSelectRangeImp);
}
