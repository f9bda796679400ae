#include "grid/features/CGXExcelLikeFrameImp.h"

#include <algorithm>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/gxfeaturedraw.h"
#include "platform/gdi/CDC.h"

namespace {

BOOL FrameOn(CGXGridCore* grid) { return grid->GetParam() && grid->GetParam()->m_bSelectionFrame; }

struct Span {
  ROWCOL first, last;
  BOOL startsHere, endsHere;  // whether the range's own edge lies in this pane
};

// The part of [first, last] shown in a pane of lines [paneFirst, paneLast].
bool PanePart(ROWCOL first, ROWCOL last, ROWCOL paneFirst, ROWCOL paneLast, Span& out) {
  if (paneFirst > paneLast || last < paneFirst || first > paneLast) return false;
  out = {std::max(first, paneFirst), std::min(last, paneLast), first >= paneFirst, last <= paneLast};
  return true;
}

}  // namespace

void CGXExcelLikeFrameImp::DrawFrameRect(CGXGridCore* grid, CDC* dc, const CRect& frame, const CRect& clip,
                                         UINT sides) {
  if (!dc || (grid->GetParam() && grid->IsLockUpdate())) return;
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(&clip);
  // Each band from one pixel outside the edge to two inside; the top and bottom bands take the corners.
  const int l = frame.left - 1, t = frame.top - 1, r = frame.right + 1, b = frame.bottom + 1;
  const int top = (sides & 1) ? t + 3 : t, bottom = (sides & 4) ? b - 3 : b;
  if (sides & 1) dc->PatBlt(l, t, r - l, 3, DSTINVERT);
  if (sides & 4) dc->PatBlt(l, b - 3, r - l, 3, DSTINVERT);
  if ((sides & 2) && bottom > top) dc->PatBlt(l, top, 3, bottom - top, DSTINVERT);
  if ((sides & 8) && bottom > top) dc->PatBlt(r - 3, top, 3, bottom - top, DSTINVERT);
  dc->RestoreDC(saved);
}

void CGXExcelLikeFrameImp::UpdateFrame(CGXGridCore* grid, CDC* dc, const CGXRange& range) {
  if (!dc || !range.IsValid() || range.top > range.bottom || range.left > range.right) return;
  const ROWCOL hr = grid->GetHeaderRows(), hc = grid->GetHeaderCols();
  const ROWCOL fr = std::max(grid->GetFrozenRows(), hr), fc = std::max(grid->GetFrozenCols(), hc);
  const ROWCOL lastRow = grid->GetLastVisibleRow(), lastCol = grid->GetLastVisibleCol();
  const CRect area = grid->GetGridRect();
  // The panes: frozen rows (below the header rows) over scrolled ones, frozen columns beside scrolled ones.
  const ROWCOL rowPanes[2][2] = {{hr + 1, fr}, {std::max(grid->GetTopRow(), fr + 1), lastRow}};
  const ROWCOL colPanes[2][2] = {{hc + 1, fc}, {std::max(grid->GetLeftCol(), fc + 1), lastCol}};
  for (const auto& rp : rowPanes) {
    Span rows{};
    if (!PanePart(range.top, range.bottom, rp[0], rp[1], rows)) continue;
    for (const auto& cp : colPanes) {
      Span cols{};
      if (!PanePart(range.left, range.right, cp[0], cp[1], cols)) continue;
      CRect frame = grid->CalcRangeRect(rows.first, cols.first, rows.last, cols.last, TRUE);
      if (grid->GetParam() && grid->ParamSettings().m_nGridLinePosition != 0) frame.OffsetRect(1, 1);
      // The pane's own rectangle: the frame never reaches into another pane.
      CRect pane = grid->CalcRangeRect(rp[0], cp[0], std::min(rp[1], lastRow), std::min(cp[1], lastCol), TRUE);
      pane.IntersectRect(pane, area);
      // A side is drawn in the pane that holds the range's own edge.
      const UINT sides = (rows.startsHere ? 1u : 0u) | (cols.startsHere ? 2u : 0u) | (rows.endsHere ? 4u : 0u) |
                         (cols.endsHere ? 8u : 0u);
      const CRect clip = pane;
      DrawFrameRect(grid, dc, frame, clip, sides);
    }
  }
}

void CGXExcelLikeFrameImp::DrawFrame(CGXGridCore* grid, CDC* dc, BOOL eraseOld, const CGXRange* newRange) {
  if (!FrameOn(grid) || m_bLocked || grid->IsLockUpdate()) return;
  if (grid->m_bFramePaintPass && !newRange) {
    // A block painted: the shown frame goes back in where the paint wiped it (inverting it again within the
    // block; in changed-cells mode the block's frame was taken out before it was painted).
    if (m_bShown && dc) UpdateFrame(grid, dc, m_range);
    return;
  }
  if (eraseOld && m_bShown) {
    if (dc) UpdateFrame(grid, dc, m_range);
    m_bShown = FALSE;
  }
  if (!newRange) return;
  CGXRange range = *newRange;
  // A cell range starting at row 0 stands for columns, at column 0 for rows.
  const BOOL cols = range.IsCols() || (range.IsCells() && range.top == 0 && range.left != 0);
  const BOOL rows = range.IsRows() || (range.IsCells() && range.left == 0 && range.top != 0);
  m_nKind = rows ? 2 : cols ? 7 : 0;
  range.ExpandToCells(grid->GetHeaderRows() + 1, grid->GetHeaderCols() + 1, grid->GetRowCount(), grid->GetColCount());
  range.top = std::max(range.top, grid->GetHeaderRows() + 1);
  range.left = std::max(range.left, grid->GetHeaderCols() + 1);
  range.bottom = std::min(range.bottom, grid->GetRowCount());
  range.right = std::min(range.right, grid->GetColCount());
  m_range = range;
  if (dc && range.top <= range.bottom && range.left <= range.right) {
    UpdateFrame(grid, dc, m_range);
    m_bShown = TRUE;
  }
}

void CGXExcelLikeFrameImp::RedrawFrame(CGXGridCore* grid) {
  if (!FrameOn(grid) || !m_bShown) return;
  gxfeat::ClientDC dc(grid);
  UpdateFrame(grid, dc.Get(), m_range);
}

BOOL CGXExcelLikeFrameImp::LockFrame(CGXGridCore* grid, BOOL lock, BOOL hint) {
  if (!FrameOn(grid)) return FALSE;
  const BOOL old = m_bLocked;
  if (lock != old && !grid->IsLockUpdate() && grid->GridHwnd() && ::IsWindowVisible(grid->GridHwnd())) {
    gxfeat::ClientDC dc(grid);
    if (lock) {
      if (m_bShown) UpdateFrame(grid, dc.Get(), m_range);
      m_bShown = FALSE;
    } else {
      m_bLocked = FALSE;
      if (const CGXRange* first = grid->GetParam()->GetSelection().GetHead()) DrawFrame(grid, dc.Get(), FALSE, first);
    }
  }
  m_bLocked = lock;
  if (auto* h = hint ? grid->HintSender() : nullptr) h->HintExcelLikeFrame(grid, lock);
  return old;
}

void CGXExcelLikeFrameImp::SelectionFrameForward0(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* dc = reinterpret_cast<CDC*>(a.v[0]);
  auto* frame = reinterpret_cast<const CRect*>(a.v[1]);
  auto* clip = reinterpret_cast<const CRect*>(a.v[2]);
  if (dc && frame && clip) DrawFrameRect(grid, dc, *frame, *clip, static_cast<UINT>(a.v[3]));
}

void CGXExcelLikeFrameImp::UpdateFrame(CGXGridCore* grid, const GXForwardArgs&) {
  if (!FrameOn(grid) || !m_bShown || m_bLocked) return;
  // Scrolling moves the frame's pixels of the scrolled panes but not those of the frozen ones: the whole
  // grid repaints, and every painted block puts the frame back where it belongs.
  if (HWND h = grid->GridHwnd()) {
    const CRect area = grid->GetGridRect();
    ::InvalidateRect(h, &area, FALSE);
  }
}
