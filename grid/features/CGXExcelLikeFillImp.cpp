#include "grid/features/CGXExcelLikeFillImp.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "grid/features/CGXDirectCopyMoveCellsImp.h"
#include "grid/features/CGXExcelLikeFrameImp.h"
#include "grid/features/gxexchangestrings.h"
#include "grid/features/gxfeaturedraw.h"
#include "platform/gdi/CDC.h"

namespace gx {

int FillDirection(const CRect& r, POINT p) {
  int dir = 4;
  const int midX = r.left + (r.right - r.left) / 2, midY = r.top + (r.bottom - r.top) / 2;
  const int up = r.top - p.y, down = p.y - r.bottom, left = r.left - p.x, right = p.x - r.right;
  if (p.y < r.top) dir = p.x <= midX ? (up <= left ? 1 : 0) : (up > right ? 0 : 3);
  if (p.y > r.bottom) dir = p.x <= midX ? (down > left ? 2 : 1) : (down > right ? 2 : 3);
  if (p.x > r.right) dir = p.y <= midY ? (right > up ? 3 : 0) : (right > down ? 3 : 2);
  if (p.x < r.left) dir = p.y <= midY ? (left > up ? 1 : 0) : (left > down ? 1 : 2);
  return dir;
}

}  // namespace gx

namespace {

BOOL IsEmptyTarget(const CGXRange& r) { return !r.IsValid() || (!r.top && !r.left && !r.bottom && !r.right); }

// The selected range that holds the cell: from the selection, or the current cell when nothing is selected.
BOOL SourceRange(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXRange& out) {
  const CGXRangeList& sel = grid->GetParam()->GetSelection();
  if (POSITION pos = sel.FindCell(row, col)) {
    out = *sel.GetAt(pos);
    return TRUE;
  }
  if (sel.IsEmpty() && grid->MatchesCurrentCell(row, col)) {
    out = CGXRange(row, col);
    return TRUE;
  }
  return FALSE;
}

// What a fill of values puts into (dr, dc) from (sr, sc), in `value` (given the source's value), `dest` being the
// destination's composed style: a value its control's rule (CGXControl::ConvertTextForCell) takes as it is goes
// in as it is, as does the value of a cell of the destination's own kind (the same control and choice list); any
// other cell takes the text the source shows, as a paste onto it does, through that rule (a list cell only one of
// its choices, as its own spelling, index or key). FALSE when the cell refuses it, or the value passes the cell's
// maximum length or bounds (as typing, a paste and Replace hold them). `source` is a work style.
BOOL FilledValue(CGXGridCore* grid, ROWCOL sr, ROWCOL sc, ROWCOL dr, ROWCOL dc, CString& value, const CGXStyle& dest,
                 CGXStyle& source) {
  CGXControl* to = grid->ControlForId(dest.GetControl());
  if (!to) return TRUE;
  CString taken = value;
  if (to->ConvertTextForCell(taken, dr, dc, dest) && taken == value) return to->WithinLimits(value, dest);
  source.Free();
  grid->ComposeCellStyle(sr, sc, source);
  CGXControl* from = grid->ControlForId(source.GetControl());
  if (to == from && (dest.GetSharedChoiceList() == source.GetSharedChoiceList() ||
                     dest.GetChoiceList() == source.GetChoiceList()))
    return to->WithinLimits(value, dest);
  if (!from || !from->GetDisplayText(value, sr, sc, nullptr, source)) value = source.GetValue();
  return to->ConvertTextForCell(value, dr, dc, dest) && to->WithinLimits(value, dest);
}

void DrawTwoFocusRects(CGXGridCore* grid, const CRect& rect) {
  if (rect.IsRectEmpty()) return;
  gxfeat::ClientDC dc(grid);
  if (!dc.Get()) return;
  CRect inner = rect;
  inner.DeflateRect(1, 1);
  dc.Get()->DrawFocusRect(&rect);
  if (!inner.IsRectEmpty()) dc.Get()->DrawFocusRect(&inner);
}

}  // namespace

void CGXExcelLikeFillImp::OnStartFill(CGXGridCore* grid, POINT, UINT, ROWCOL row, ROWCOL col) {
  CGXRange source;
  if (!grid->GetParam() || !SourceRange(grid, row, col, source)) return;
  // Only cell ranges in the scrolled part are filled: never from frozen rows or columns.
  if (!source.IsCells() || row < grid->GetTopRow() || col < grid->GetLeftCol()) return;
  if (source.top == 0 || source.left == 0) return;
  grid->CompleteCellEdit(TRUE);
  m_bFilling = TRUE;
  m_source = source;
  m_feedback.SetRectEmpty();
  m_target = CGXRange();
}

BOOL CGXExcelLikeFillImp::OnMoveFill(CGXGridCore* grid, POINT pt, UINT) {
  if (!m_bFilling) return FALSE;
  const ROWCOL topRow = grid->GetTopRow(), leftCol = grid->GetLeftCol();
  // 1. The source's rectangle, reaching beyond the window as far as the hidden part of the source.
  CRect r = grid->CalcRangeRect(std::max(m_source.top, topRow), std::max(m_source.left, leftCol), m_source.bottom,
                                m_source.right, TRUE);
  if (m_source.top < topRow) r.top -= grid->SumRowHeights(m_source.top, topRow - 1);
  if (m_source.left < leftCol) r.left -= grid->SumColWidths(m_source.left, leftCol - 1);
  // 2. The direction, 3. the target from the cell under the mouse.
  const int dir = gx::FillDirection(r, pt);
  ROWCOL row = 0, col = 0;
  CRect cell;
  grid->HitTest(pt, &row, &col, &cell);
  row = std::clamp(row, std::max<ROWCOL>(grid->GetHeaderRows() + 1, 1), std::max<ROWCOL>(grid->GetRowCount(), 1));
  col = std::clamp(col, std::max<ROWCOL>(grid->GetHeaderCols() + 1, 1), std::max<ROWCOL>(grid->GetColCount(), 1));
  const int h = cell.Height(), w = cell.Width();
  CGXRange t = m_source;
  switch (dir) {
    case 0:
      if (pt.y >= cell.bottom - h / 2) ++row;
      t.top = std::min(row, m_source.bottom);
      break;
    case 2:
      if (pt.y <= cell.bottom - h / 2) --row;
      t.bottom = std::max(row, m_source.top);
      break;
    case 1:
      if (pt.x >= cell.right - w / 2) ++col;
      t.left = std::min(col, m_source.right);
      break;
    case 3:
      if (pt.x <= cell.left + w / 2) --col;
      t.right = std::max(col, m_source.left);
      break;
    default: {
      // Inside: shrink toward the cell along the axis with the larger difference.
      const ROWCOL rr = std::clamp(row, m_source.top, m_source.bottom), cc = std::clamp(col, m_source.left, m_source.right);
      if (m_source.bottom - rr > m_source.right - cc)
        t.bottom = rr;
      else
        t.right = cc;
    }
  }
  // 4. The feedback.
  DrawFillFeedback(grid, t, TRUE, TRUE);
  return TRUE;
}

void CGXExcelLikeFillImp::DrawFillFeedback(CGXGridCore* grid, const CGXRange& range, BOOL erase, BOOL draw) {
  if (erase && draw && range == m_target) return;
  if (erase && !m_feedback.IsRectEmpty()) {
    DrawTwoFocusRects(grid, m_feedback);
    m_feedback.SetRectEmpty();
    m_target = CGXRange();
  }
  if (!draw) return;
  // The part shown: clipped to the first scrolled row and column, moved one pixel inward where grid lines are.
  const ROWCOL top = std::max(range.top, grid->GetTopRow()), left = std::max(range.left, grid->GetLeftCol());
  if (top > range.bottom || left > range.right) {
    m_target = range;
    return;
  }
  CRect rect = grid->CalcRangeRect(top, left, range.bottom, range.right);
  const BOOL atLeftTop = grid->GridLinesAtLeftTop();
  if (grid->DrawsVertLines()) (atLeftTop ? rect.left : rect.right) += atLeftTop ? 1 : -1;
  if (grid->DrawsHorzLines()) (atLeftTop ? rect.top : rect.bottom) += atLeftTop ? 1 : -1;
  DrawTwoFocusRects(grid, rect);
  m_feedback = rect;
  m_target = range;
}

void CGXExcelLikeFillImp::OnCancelFill(CGXGridCore* grid) {
  DrawFillFeedback(grid, CGXRange(), TRUE, FALSE);
  m_bFilling = FALSE;
}

void CGXExcelLikeFillImp::OnEndFill(CGXGridCore* grid, POINT, UINT) {
  if (!m_bFilling) return;
  const CGXRange target = m_target;
  DrawFillFeedback(grid, CGXRange(), TRUE, FALSE);
  m_bFilling = FALSE;
  if (IsEmptyTarget(target)) return;
  grid->SetSelection(nullptr, 0, 0, 0, 0);
  GXForwardArgs fill;
  fill.v = {reinterpret_cast<DWORD_PTR>(&m_source), reinterpret_cast<DWORD_PTR>(&target)};
  grid->FillForward5(fill);
  GXForwardArgs select;
  select.v[0] = reinterpret_cast<DWORD_PTR>(&target);
  grid->FillForward6(select);
  grid->RedrawAll(GX_INVALIDATE);
}

void CGXExcelLikeFillImp::FillCells(CGXGridCore* grid, const CGXRange& s, const CGXRange& t) {
  CGXGridParam* param = grid->GetParam();
  const int flags = param ? param->m_bFillEnabled : 0;
  if (t == s || (flags & 3) == 0) return;
  // One undo step; a fill that changes nothing leaves no empty entry (an empty transaction leaves none).
  grid->BeginTransaction(nullptr);
  const BOOL styles = (flags & 2) != 0;
  BOOL refused = FALSE;
  CString report;  // the first refused value's message
  // Whether the destination is left as it is: a cell the user may not change (CGXGridCore::CanChangeCell:
  // read-only, disabled) whatever the source holds, and a cell the grid keeps under every clear
  // (CGXGridCore::CanClearCell) that writing the source cell would empty. A removal of the style clears it
  // whatever value it shows.
  auto keeps = [grid](ROWCOL sr, ROWCOL sc, ROWCOL dr, ROWCOL dc, BOOL removal) -> BOOL {
    if (!grid->CanChangeCell(dr, dc)) return TRUE;
    if (!removal && (!grid->GetCellValue(sr, sc).IsEmpty() || grid->GetCellValue(dr, dc).IsEmpty())) return FALSE;
    return !grid->CanClearCell(dr, dc);
  };
  // Shrunk: the cells left out are cleared (the clear keeps what it may not clear).
  CGXRangeList clear;
  if (t.bottom < s.bottom) clear.AddTail(new CGXRange(t.bottom + 1, t.left, s.bottom, t.right));
  if (t.right < s.right) clear.AddTail(new CGXRange(t.top, t.right + 1, s.bottom, s.right));
  if (!clear.IsEmpty()) grid->ClearCells(clear, styles);
  // Grown: the new cells repeat the source, wrapping after its last row (column).
  const BOOL vertical = t.left == s.left && t.right == s.right;
  ROWCOL first = 0, last = 0;
  if (vertical) {
    first = t.bottom > s.bottom ? s.bottom + 1 : t.top;
    last = t.bottom > s.bottom ? t.bottom : (t.top < s.top ? s.top - 1 : 0);
  } else {
    first = t.right > s.right ? s.right + 1 : t.left;
    last = t.right > s.right ? t.right : (t.left < s.left ? s.left - 1 : 0);
  }
  if (last >= first && last != 0 && grid->m_nDefaultStorageType == 1) {
    // A store of expressions copies the cells themselves, line by line, so that relative references follow
    // (a formula filled down names the row beside it, as typed there).
    const ROWCOL srcFirst = vertical ? s.top : s.left, srcLast = vertical ? s.bottom : s.right;
    ROWCOL src = srcFirst;
    for (ROWCOL line = first;; ++line) {
      const CGXRange from = vertical ? CGXRange(src, t.left, src, t.right) : CGXRange(t.top, src, t.bottom, src);
      const ROWCOL otherFirst = vertical ? t.left : t.top, otherLast = vertical ? t.right : t.bottom;
      BOOL anyKept = FALSE;
      for (ROWCOL other = otherFirst; !anyKept; ++other) {
        anyKept = vertical ? keeps(src, other, line, other, FALSE) : keeps(other, src, other, line, FALSE);
        if (other == otherLast) break;
      }
      if (!anyKept) {
        GXCopyCells(grid, from, vertical ? line : t.top, vertical ? t.left : line, GX_UPDATENOW);
      } else {
        // Cell by cell around the kept cells.
        for (ROWCOL other = otherFirst;; ++other) {
          const ROWCOL dr = vertical ? line : other, dc = vertical ? other : line;
          const ROWCOL sr = vertical ? src : other, sc = vertical ? other : src;
          if (!keeps(sr, sc, dr, dc, FALSE)) GXCopyCells(grid, CGXRange(sr, sc), dr, dc, GX_UPDATENOW);
          if (other == otherLast) break;
        }
      }
      src = src == srcLast ? srcFirst : src + 1;
      if (line == last) break;
    }
  } else if (last >= first && last != 0) {
    const ROWCOL srcFirst = vertical ? s.top : s.left, srcLast = vertical ? s.bottom : s.right;
    ROWCOL src = srcFirst;
    CGXStyle* style = grid->NewWorkStyle();
    CGXStyle* source = grid->NewWorkStyle();
    grid->SetWarningText(nullptr);
    // A value the cell does not take (no choice of a list cell, past its bounds) is left out, and the end says so
    // with the first refusal's own word (the bounds').
    auto refuse = [&] {
      if (!refused) report = grid->GetWarningText();
      refused = TRUE;
    };
    for (ROWCOL line = first;; ++line) {
      const ROWCOL otherFirst = vertical ? t.left : t.top, otherLast = vertical ? t.right : t.bottom;
      for (ROWCOL other = otherFirst;; ++other) {
        const ROWCOL dr = vertical ? line : other, dc = vertical ? other : line;
        const ROWCOL sr = vertical ? src : other, sc = vertical ? other : src;
        style->Free();
        // A cell that already holds what it would receive is left alone (no undo entry for it).
        if (styles) {
          CGXStyle current;
          const BOOL hasSource = grid->ReadStoredStyle(sr, sc, *style, gxCopy, 0);
          const BOOL hasCurrent = grid->ReadStoredStyle(dr, dc, current, gxCopy, 0);
          // The source's style goes in whole; the bounds the cell keeps from its row, column or grid judge its
          // value as they judge a filled value.
          if (hasSource && !keeps(sr, sc, dr, dc, FALSE)) {
            if (CGXControl::StoredCellBreaksLimits(grid, dr, dc, style, *source, FALSE))
              refuse();
            else
              grid->SetStyleRange(CGXRange(dr, dc), *style, gxCopy, 0, GX_UPDATENOW);
          } else if (!hasSource && hasCurrent && !keeps(sr, sc, dr, dc, TRUE))
            grid->ApplyStyleToRange(CGXRange(dr, dc), nullptr, gxRemove, 0, nullptr, GX_UPDATENOW, 0);
        } else {
          CString value = grid->GetCellValue(sr, sc);
          grid->ComposeCellStyle(dr, dc, *style);
          const CString current = style->GetIncludeValue() ? style->GetValue() : CString();
          if (current != value && !keeps(sr, sc, dr, dc, FALSE)) {
            // The value goes in as the cell's own store takes it (a number read as a number).
            if (!FilledValue(grid, sr, sc, dr, dc, value, *style, *source)) {
              refuse();
            } else if (current != value) {
              if (CGXControl* to = grid->ControlForId(style->GetControl()))
                to->StoreTakenValue(dr, dc, value, *style, GX_UPDATENOW);
              else
                grid->SetCellValue(dr, dc, value, GX_UPDATENOW);
            }
          }
        }
        if (other == otherLast) break;
      }
      src = src == srcLast ? srcFirst : src + 1;
      if (line == last) break;
    }
    grid->ReleaseWorkStyle(source);
    grid->ReleaseWorkStyle(style);
  }
  grid->CommitTransaction();
  if (refused) {
    grid->SetWarningText(report.IsEmpty() ? gx::LoadGridString(GX_IDS_FILL_REFUSED) : report);
    grid->ShowWarningText();
  }
}

void CGXExcelLikeFillImp::SelectFilledRange(CGXGridCore* grid, const CGXRange& range) {
  CGXRangeList& sel = grid->GetParam()->GetSelection();
  sel.AddTail(new CGXRange(range));
  grid->SetSelection(sel.GetTailPosition(), range.top, range.left, range.bottom, range.right);
}

void CGXExcelLikeFillImp::BeforeScrollWindow(CGXGridCore* grid) {
  // The feedback's pixels would move with the window contents: it is taken away and drawn at the next move.
  if (!m_feedback.IsRectEmpty()) {
    DrawTwoFocusRects(grid, m_feedback);
    m_feedback.SetRectEmpty();
    m_target = CGXRange();
  }
}

void CGXExcelLikeFillImp::FillForward5(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* s = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* t = reinterpret_cast<const CGXRange*>(a.v[1]);
  if (s && t) FillCells(grid, *s, *t);
}

void CGXExcelLikeFillImp::FillForward6(CGXGridCore* grid, const GXForwardArgs& a) {
  if (auto* r = reinterpret_cast<const CGXRange*>(a.v[0])) SelectFilledRange(grid, *r);
}

void CGXGridCore::InstallExcelLikeFrameImp() {
  if (!GetExcelLikeFrameImp()) SetFeature(new CGXExcelLikeFrameImp);
}

void CGXGridCore::InstallExcelLikeFillImp() {
  InstallExcelLikeFrameImp();
  if (!GetExcelLikeFillImp()) SetFeature(new CGXExcelLikeFillImp);
}
