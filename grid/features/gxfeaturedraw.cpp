#include "grid/features/gxfeaturedraw.h"

#include <algorithm>

#include "platform/window/windowapi.h"

namespace gxfeat {

ClientDC::ClientDC(CGXGridCore* g, BOOL clipToArea) {
  m_hwnd = g->GridHwnd();
  if (!m_hwnd || g->IsLockUpdate() || !::IsWindowVisible(m_hwnd)) return;
  m_hdc = ::GetDC(m_hwnd);
  if (!m_hdc) return;
  m_dc.Attach(m_hdc);
  g->PrepareDC(&m_dc);
  if (clipToArea) {
    const CRect area = g->GetGridRect();
    m_dc.IntersectClipRect(&area);
  }
}

ClientDC::~ClientDC() {
  if (!m_hdc) return;
  m_dc.Detach();
  ::ReleaseDC(m_hwnd, m_hdc);
}

namespace {
// The shown lines of one direction: after the header lines, the frozen ones, then the scrolled ones from the
// first scrolled line to the last one the drawing area reaches.
template <class Size, class Span>
std::vector<ShownLine> Shown(ROWCOL first, ROWCOL last, ROWCOL headers, ROWCOL frozen, ROWCOL firstScrolled,
                             ROWCOL lastShown, Size size, Span span) {
  std::vector<ShownLine> out;
  auto add = [&](ROWCOL a, ROWCOL b) {
    a = std::max(a, first);
    b = std::min(b, last);
    for (ROWCOL i = a; i <= b && i >= a; ++i) {
      if (size(i) <= 0) continue;
      const auto [from, to] = span(i);
      if (to > from) out.push_back({i, from, to});
      if (i == GX_MAXROWCOL) break;
    }
  };
  if (frozen > headers) add(headers + 1, frozen);
  add(std::max(firstScrolled, frozen + 1), lastShown);
  return out;
}
}  // namespace

std::vector<ShownLine> ShownRows(CGXGridCore* g, ROWCOL first, ROWCOL last) {
  if (first > last) return {};
  const ROWCOL lastShown = std::min(g->CalcBottomRow(g->GetGridRect()), g->GetRowCount());
  return Shown(
      first, last, g->GetHeaderRows(), g->GetFrozenRows(), g->GetFirstScrolledRow(), lastShown,
      [g](ROWCOL r) { return g->GetRowHeight(r); },
      [g](ROWCOL r) {
        const CRect rc = g->CalcRangeRect(r, 0, r, 0);
        return std::pair<int, int>(rc.top, rc.bottom);
      });
}

std::vector<ShownLine> ShownCols(CGXGridCore* g, ROWCOL first, ROWCOL last) {
  if (first > last) return {};
  const ROWCOL lastShown = std::min(g->CalcRightmostCol(g->GetGridRect()), g->GetColCount());
  return Shown(
      first, last, g->GetHeaderCols(), g->GetFrozenCols(), g->GetFirstScrolledCol(), lastShown,
      [g](ROWCOL c) { return g->GetColWidth(c); },
      [g](ROWCOL c) {
        const CRect rc = g->CalcRangeRect(0, c, 0, c);
        return std::pair<int, int>(rc.left, rc.right);
      });
}

CGXRange AsCells(const CGXRange& r, ROWCOL rows, ROWCOL cols, ROWCOL first) {
  CGXRange out = r;
  if (out.IsValid()) out.ExpandToCells(first, first, rows, cols);
  return out;
}

}  // namespace gxfeat
