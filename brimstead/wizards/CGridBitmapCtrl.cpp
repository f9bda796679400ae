#include "brimstead/wizards/CGridBitmapCtrl.h"

#include "brimstead/wizards/CWizardGridWnd.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/features/CGXCellTipWnd.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CWnd.h"

#include <algorithm>
#include <optional>

const CGXControlClass CGridBitmapCtrl::classCGridBitmapCtrl = {"CGridBitmapCtrl", &CGXStatic::classCGXStatic};
const CGXControlClass CGridBitmapEdit::classCGridBitmapEdit = {"CGridBitmapEdit",
                                                               &CGridBitmapCtrl::classCGridBitmapCtrl};
const CGXControlClass CGridBitmapBtn::classCGridBitmapBtn = {"CGridBitmapBtn",
                                                             &CGXBitmapButton::classCGXBitmapButton};

namespace {
constexpr int kButtonGap = 3;

// The lines of a text, split at line feeds (an empty text is one empty line).
std::vector<CString> Lines(const CString& text) {
  std::vector<CString> lines;
  int start = 0;
  for (;;) {
    const int lf = text.Find('\n', start);
    if (lf < 0) {
      lines.push_back(text.Mid(start));
      return lines;
    }
    lines.push_back(text.Mid(start, lf - start));
    start = lf + 1;
  }
}

// A measuring device, the one given or else one on the grid window, with the style's font selected for the
// measure's lifetime (on the given one, not again when the `previous` style's font, selected there, is the same).
class CMeasure {
public:
  CMeasure(CGXControl& control, const CGXStyle& style, CDC* dc, const CGXStyle* previous = nullptr)
      : m_dc(dc ? *dc : m_own.emplace(control.GetGridWnd())) {
    m_pOld = control.SelectCellFont(&m_dc, style, dc ? previous : nullptr);
    m_dc.GetTextMetrics(&m_tm);
  }
  ~CMeasure() {
    if (m_pOld)
      m_dc.SelectObject(m_pOld);
  }
  int Width(const CString& text) const { return Width(text.GetString(), text.GetLength()); }
  int Width(const char* text, int length) const { return length == 0 ? 0 : m_dc.GetTextExtent(text, length).cx; }
  const TEXTMETRIC& Metrics() const { return m_tm; }

private:
  std::optional<CClientDC> m_own;
  CDC& m_dc;
  CFont* m_pOld = nullptr;
  TEXTMETRIC m_tm{};
};
}  // namespace

namespace brimwiz {

CString FitLineWithEllipsis(const CString& line, int width, const std::function<int(const CString&)>& measure) {
  if (measure(line) <= width)
    return line;
  if (measure("W...") > width)
    return CString();
  // The widths grow with the length: the longest start that fits is found by bisection.
  int lo = 0, hi = line.GetLength();
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (measure(line.Left(mid) + "...") <= width)
      lo = mid;
    else
      hi = mid - 1;
  }
  return line.Left(lo) + "...";
}

void PlaceCellTip(CWnd* grid, CRect rect, const CString& text, CWnd* tip, const CGXStyle& style) {
  if (!tip || !tip->GetSafeHwnd())
    return;
  if (grid)
    grid->ClientToScreen(&rect);
  CRect textArea(0, 0, rect.Width(), rect.Height());
  textArea.DeflateRect(4, 2);
  if (auto* textTip = dynamic_cast<CGXTextCellTipWnd*>(tip)) {
    textTip->SetText(text);
    LOGFONT font{};
    style.GetFont().GetLogFontZoomed(font, 100);
    textTip->SetFont(font);
    textTip->SetTextRect(textArea);
    textTip->SetWindowRect(rect);
    return;
  }
  tip->SetWindowText(text);
  tip->SetWindowPos(&CWnd::wndTop, rect.left, rect.top, rect.Width(), rect.Height(),
                    SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW);
}

}  // namespace brimwiz

CGridBitmapCtrl::CGridBitmapCtrl(CGXGridCore* grid, UINT bitmapId)
    : CGXStatic(grid), m_pButton(new CGXBitmapButtonChild(this)) {
  AppendChild(m_pButton);
  m_pButton->LoadBitmaps(bitmapId, bitmapId);
  const CSize size = m_pButton->GetBitmapSize();
  m_nButtonWidth = size.cx;
  m_nButtonHeight = size.cy;
}

CGridBitmapCtrl::~CGridBitmapCtrl() = default;

CRect CGridBitmapCtrl::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXStatic::ComputeInnerRect(cell, style);
  r.right -= m_nButtonWidth + kButtonGap;
  return r;
}

CSize CGridBitmapCtrl::AddBordersToSize(CSize size, const CGXStyle& style) const {
  CSize s = CGXStatic::AddBordersToSize(size, style);
  s.cx += m_nButtonWidth + kButtonGap;
  s.cy = std::max<LONG>(s.cy, m_nButtonHeight);
  return s;
}

CSize CGridBitmapCtrl::MultiLineExtent(const CString& text, const CGXStyle& style, CDC* dc,
                                       const CGXStyle* previous) const {
  CMeasure measure(const_cast<CGridBitmapCtrl&>(*this), style, dc, previous);
  const TEXTMETRIC& tm = measure.Metrics();
  int width = tm.tmMaxCharWidth, lines = 1;
  // The lines as Lines splits them, measured in place.
  const char* s = text.GetString();
  for (int start = 0, n = text.GetLength();; ++lines) {
    const int lf = text.Find('\n', start);
    width = std::max(width, measure.Width(s + start, (lf < 0 ? n : lf) - start));
    if (lf < 0)
      break;
    start = lf + 1;
  }
  const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
  return CSize(width, lineHeight * lines + 1);
}

CSize CGridBitmapCtrl::ComputeCellSize(CDC* dc, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle* previous,
                                       BOOL) {
  return AddBordersToSize(MultiLineExtent(style.GetValue(), style, dc, previous), style);
}

CRect CGridBitmapCtrl::CellRect(ROWCOL row, ROWCOL col) const {
  CGXRange covered(row, col);
  m_pGrid->GetCoveredCellsRowCol(row, col, covered);
  return m_pGrid->CalcRangeRect(covered.top, covered.left, covered.bottom, covered.right);
}

void CGridBitmapCtrl::LayOutChildren(ROWCOL row, ROWCOL col, const CRect&) {
  const CRect cell = CellRect(row, col);
  CRect button(cell.right - m_nButtonWidth - kButtonGap, cell.top, cell.right - kButtonGap,
               cell.top + m_nButtonHeight);
  button.IntersectRect(button, cell);
  m_pButton->SetRect(button);
}

CGridBitmapEdit::~CGridBitmapEdit() = default;

BOOL CGridBitmapEdit::GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                                     const CGXStyle& style) const {
  const BOOL result = CGridBitmapCtrl::GetDisplayText(out, row, col, value, style);
  if (out.IsEmpty() || !GetGridWnd() || !GetGridWnd()->GetSafeHwnd())
    return result;
  const int width = ComputeInnerRect(CellRect(row, col), style).Width();
  CMeasure measure(const_cast<CGridBitmapEdit&>(*this), style, nullptr);
  const auto measureWidth = [&measure](const CString& s) { return measure.Width(s); };
  CString shown;
  const std::vector<CString> lines = Lines(out);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i)
      shown += '\n';
    shown += brimwiz::FitLineWithEllipsis(lines[i], width, measureWidth);
  }
  out = shown;
  return result;
}

void CGridBitmapEdit::OnChildClicked(CGXChild*) {
  const ROWCOL row = m_nRow, col = m_nCol;
  CGXGridCore* grid = m_pGrid;
  CGXStyle clicked;
  grid->ComposeCellStyle(row, col, clicked);
  const bool expand = clicked.GetControl() != IDC_GRID_BITMAP_EXPANDED;
  const WORD newId = expand ? IDC_GRID_BITMAP_EXPANDED : IDC_GRID_BITMAP_COLLAPSED;
  grid->SetStyleRange(CGXRange(row, col), CGXStyle().SetControl(newId), gxOverride, 0, GX_INVALIDATE);
  grid->ComposeCellStyle(row, col, clicked);
  CGXControl* clickedControl = grid->ControlForId(newId);
  const int height = clickedControl ? clickedControl->ComputeCellSize(nullptr, row, col, clicked, nullptr, TRUE).cy
                                    : grid->GetRowHeight(row);
  for (ROWCOL c = 1; c <= grid->GetColCount(); ++c) {
    if (c == col)
      continue;
    CGXStyle other;
    grid->ComposeCellStyle(row, c, other);
    const WORD id = other.GetControl();
    if (id != IDC_GRID_BITMAP_COLLAPSED && id != IDC_GRID_BITMAP_EXPANDED)
      continue;
    WORD target = IDC_GRID_BITMAP_COLLAPSED;
    if (expand) {
      CGXControl* own = grid->ControlForId(id);
      const int needed = own ? own->ComputeCellSize(nullptr, row, c, other, nullptr, TRUE).cy : height + 1;
      target = needed <= height ? IDC_GRID_BITMAP_EXPANDED : IDC_GRID_BITMAP_COLLAPSED;
    }
    if (target != id)
      grid->SetStyleRange(CGXRange(row, c), CGXStyle().SetControl(target), gxOverride, 0, GX_INVALIDATE);
  }
  grid->SetRowHeight(row, row, height);
  grid->RedrawAll();
  grid->RefreshScrollBars();
}

BOOL CGridBitmapEdit::NeedsCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  const CSize extent = MultiLineExtent(style.GetValue(), style);
  const CRect space = ComputeInnerRect(CellRect(row, col), style);
  return extent.cx > space.Width() || extent.cy > space.Height();
}

int CGridBitmapEdit::GetCellTipKind(ROWCOL, ROWCOL, const CGXStyle&) { return 1; }

void CGridBitmapEdit::ShowCellTip(ROWCOL row, ROWCOL col, const CGXStyle& styleRef, CWnd* tipWnd) {
  const CGXStyle* style = &styleRef;
  CRect r = CellRect(row, col);
  r.right -= 1;
  r.bottom -= 1;
  const CSize text = AddBordersToSize(MultiLineExtent(style->GetValue(), *style), *style);
  r.right = std::max<LONG>(r.right, r.left + text.cx - m_nButtonWidth);
  r.bottom = std::max<LONG>(r.bottom, r.top + text.cy);
  brimwiz::PlaceCellTip(GetGridWnd(), r, style->GetValue(), tipWnd, *style);
}

CGridBitmapBtn::~CGridBitmapBtn() = default;

void CGridBitmapBtn::OnChildClicked(CGXChild*) {
  if (auto* grid = dynamic_cast<CWizardGridWnd*>(m_pGrid))
    if (grid->m_pListener)
      grid->m_pListener->OnCellButtonClicked(grid, m_nRow, m_nCol);
}
