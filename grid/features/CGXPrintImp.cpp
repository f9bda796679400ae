#include "grid/features/CGXPrintImp.h"

#include <algorithm>
#include <cstring>

#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXSpanCellPool.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxwindowhelpers.h"
#include "platform/base/TimeFormat.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"

namespace {

CDC* DcOf(const GXForwardArgs& a) { return reinterpret_cast<CDC*>(a.v[0]); }
CPrintInfo* InfoOf(const GXForwardArgs& a) { return reinterpret_cast<CPrintInfo*>(a.v[1]); }

// The grid's print mode for one step; the previous mode comes back with the scope. The drawing caches, which the
// print mode keeps, are emptied as it ends: the composed style of every cell printed would otherwise stay (a
// thousand-page print held about 100 KB a page until the window's next paint).
class PrintModeScope {
 public:
  explicit PrintModeScope(CGXGridCore* g) : m_grid(g), m_old(g->IsPrinting()) {
    if (!m_old) m_grid->SetPrinting(TRUE);
  }
  ~PrintModeScope() {
    if (m_old) return;
    m_grid->SetPrinting(FALSE);
    m_grid->FreeDrawingCaches();
  }
  PrintModeScope(const PrintModeScope&) = delete;
  PrintModeScope& operator=(const PrintModeScope&) = delete;

 private:
  CGXGridCore* m_grid;
  BOOL m_old;
};

// The standard style's font selected into the printer for one step.
class StandardFontScope {
 public:
  StandardFontScope(CGXGridCore* g, CDC* dc) : m_dc(dc) {
    g->LookupBaseStyles();
    if (const CGXStyle* standard = g->GetStandardStyle()) m_old = g->SelectStyleFont(dc, *standard);
  }
  ~StandardFontScope() {
    if (m_old) m_dc->SelectObject(m_old);
  }
  StandardFontScope(const StandardFontScope&) = delete;
  StandardFontScope& operator=(const StandardFontScope&) = delete;

 private:
  CDC* m_dc;
  CFont* m_old = nullptr;
};

// The print font: the standard font's line height and character width as the printer measures it (in
// logical units), the unit of the rows' and columns' stored sizes while printing. Without it the sizes would
// follow a fixed default instead of the printer's font (a 20-pixel row printed 25 units tall).
void MeasurePrintFont(CDC* dc, int* height, int* width) {
  TEXTMETRIC tm{};
  if (!dc->GetTextMetrics(&tm)) return;
  *height = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  // TMPF_FIXED_PITCH set means a variable-pitch font (the classic inverted bit), as on screen.
  *width = std::max<int>(1, (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? tm.tmAveCharWidth * 3 / 2 : tm.tmAveCharWidth);
}

// The device's page (HORZRES by VERTRES) in logical units.
CRect DevicePage(CDC* dc) {
  CRect page(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
  dc->DPtoLP(&page);
  return page;
}

BOOL AsksForSelection(const CPrintInfo* info) {
  return info && info->m_pPD && (info->m_pPD->m_pd.Flags & PD_SELECTION) != 0;
}

}  // namespace

// ---- Forwarders -------------------------------------------------------------------------------------------

void CGXPrintImp::PrintForward0(CGXGridCore* grid, const GXForwardArgs& a) {
  if (grid && DcOf(a) && InfoOf(a)) BeginPrinting(grid, DcOf(a), InfoOf(a));
}

void CGXPrintImp::PrintForward1(CGXGridCore* grid, const GXForwardArgs& a) {
  if (grid && DcOf(a) && InfoOf(a)) PrintPage(grid, DcOf(a), InfoOf(a));
}

void CGXPrintImp::PrintForward2(CGXGridCore* grid, const GXForwardArgs&) {
  if (grid) EndPrinting(grid);
}

namespace {

// The frozen lines' size on paper, summed no further than the grid's lines and one unit past `limit` (the page's
// size): a stored frozen count may exceed the lines the grid has by billions.
int FrozenRowsHeight(const CGXGridCore* g, int limit) {
  return g->SumRowHeights(0, std::min(g->GetFrozenRows(), g->GetRowCount()), std::max(limit, 0) + 1);
}
int FrozenColsWidth(const CGXGridCore* g, int limit) {
  return g->SumColWidths(0, std::min(g->GetFrozenCols(), g->GetColCount()), std::max(limit, 0) + 1);
}

}  // namespace

// ---- Pagination -------------------------------------------------------------------------------------------

void CGXPrintImp::Paginate(CGXGridCore* g, BOOL rows, ROWCOL first, ROWCOL last, const std::vector<DWORD>& stored,
                           ROWCOL remembered, std::vector<ROWCOL>& breaks, int* rememberedPage, std::size_t from) {
  // Manual breaks are kept ascending; a list read from a file may not be.
  std::vector<DWORD> manual = stored;
  std::sort(manual.begin(), manual.end());
  const CRect& rect = g->m_rectPrint;
  // The headers and frozen lines stand in front of every page.
  const int start = (rows ? rect.top : rect.left) + (rows ? FrozenRowsHeight(g, rect.Height()) : FrozenColsWidth(g, rect.Width()));
  const int end = rows ? rect.bottom : rect.right;
  auto size = [&](ROWCOL i) { return rows ? g->GetRowHeight(i) : g->GetColWidth(i); };
  breaks.resize(from);
  breaks.push_back(first);
  std::size_t m = 0;
  ROWCOL page = first;
  for (;;) {
    // The line that does not fit entirely any more (or one past the last line) starts the next page ...
    long long pos = start;
    ROWCOL next = page;
    while (next <= last && pos + size(next) <= end) pos += size(next++);
    next = std::max(next, page + 1);  // ... but every page holds at least one line
    // ... unless a manual break not yet taken comes first.
    while (m < manual.size() && manual[m] <= page) ++m;
    if (m < manual.size() && manual[m] <= next) next = static_cast<ROWCOL>(manual[m++]);
    if (rememberedPage && remembered >= page && remembered < next) *rememberedPage = static_cast<int>(breaks.size()) - 1;
    breaks.push_back(next);
    if (next > last) break;
    page = next;
  }
  breaks.back() = last + 1;
}

UINT CGXPrintImp::PageCount(const CGXGridCore* g) {
  if (g->m_awRowBreaks.size() < 2 || g->m_awColBreaks.size() < 2) return 0;
  const unsigned long long n =
      static_cast<unsigned long long>(g->m_awRowBreaks.size() - 1) * (g->m_awColBreaks.size() - 1);
  // The print information counts pages in 16 bits.
  return static_cast<UINT>(std::min<unsigned long long>(n, 0xFFFF));
}

BOOL CGXPrintImp::PageOrigin(const CGXGridCore* g, UINT page, ROWCOL* row, ROWCOL* col) {
  const UINT count = PageCount(g);
  if (page < 1 || page > count) return FALSE;
  const std::size_t p = page - 1, colPages = g->m_awColBreaks.size() - 1, rowPages = g->m_awRowBreaks.size() - 1;
  const CGXProperties* props = g->GetProperties();
  const BOOL acrossFirst = !props || props->m_nPageOrder == 0;
  const std::size_t rowPage = acrossFirst ? p / colPages : p % rowPages;
  const std::size_t colPage = acrossFirst ? p % colPages : p / rowPages;
  if (row) *row = g->m_awRowBreaks[rowPage];
  if (col) *col = g->m_awColBreaks[colPage];
  return TRUE;
}

void CGXPrintImp::PrintRect(CGXGridCore* g, CDC* dc, CPrintInfo* info) {
  info->m_rectDraw = DevicePage(dc);
  g->ApplyPrintMargins(dc, info);
  // The header runs down from its distance below the paper's top to the print rectangle: the rectangle starts
  // below its lines, so that they are not drawn over the grid when the top margin is smaller than the distance
  // and the lines. (The footer needs no room: it is drawn from the rectangle's bottom at the highest.)
  if (CGXProperties* props = g->GetProperties()) {
    CGXStylesMap* map = g->GetParam() ? g->GetParam()->GetStylesMap() : nullptr;
    if (const int header = CalcHeaderFooterHeight(dc, props->GetHeaderTable(), map); header > 0)
      info->m_rectDraw.top = std::max<LONG>(info->m_rectDraw.top, DevicePage(dc).top + props->m_nDistances[0] + header);
  }
  g->m_rectPrint = info->m_rectDraw;
}

void CGXPrintImp::BeginPrinting(CGXGridCore* g, CDC* dc, CPrintInfo* info) {
  gx::WaitCursor wait;
  // 1. Print mode (the device is prepared for printing), empty break lists, the shown top-left cell.
  g->m_awRowBreaks.clear();
  g->m_awColBreaks.clear();
  g->m_nTopRowPage = g->m_nLeftColPage = 0;
  const ROWCOL topRow = g->GetTopRow(), leftCol = g->GetLeftCol();
  PrintModeScope mode(g);
  g->PrepareDC(dc, info);
  // Floating cells are evaluated afresh for the printout, in their own pool.
  g->m_pPrintFloatPool.reset();
  if (g->GetFloatCellsImp()) g->m_pPrintFloatPool = std::make_unique<CGXSpanCellPool>();
  // 2. The print rectangle: the device's page less the margins.
  StandardFontScope font(g, dc);
  MeasurePrintFont(dc, &g->m_nPrintFontHeight, &g->m_nPrintFontWidth);
  g->InvalidateShownCaches();
  PrintRect(g, dc, info);
  const ROWCOL rowCount = g->GetRowCount(), colCount = g->GetColCount();
  // A stored frozen count beyond the grid's lines freezes the lines there are (one past them would wrap).
  const ROWCOL fr = std::min(g->GetFrozenRows(), rowCount), fc = std::min(g->GetFrozenCols(), colCount);
  const CGXRangeList* selection = g->GetParam() ? &g->GetParam()->GetSelection() : nullptr;
  const BOOL selectionAsked = AsksForSelection(info);
  g->m_bPrintSelectionOnly = selectionAsked;
  if (selectionAsked && (!selection || selection->IsEmpty())) {
    // 3. Nothing selected: the part the window shows, as one page: from the top row and left column to the
    // last row and column that fit entirely (at least one of each).
    g->m_nPrintTopRow = topRow;
    g->m_nPrintLeftCol = leftCol;
    static const std::vector<DWORD> none;
    std::vector<ROWCOL> rows, cols;
    Paginate(g, TRUE, topRow, std::max(topRow, rowCount), none, 0, rows, nullptr);
    Paginate(g, FALSE, leftCol, std::max(leftCol, colCount), none, 0, cols, nullptr);
    g->m_awRowBreaks = {topRow, rows[1]};
    g->m_awColBreaks = {leftCol, cols[1]};
  } else {
    // 4. The range: the first selected one, or the whole table, below and right of the frozen part.
    CGXRange range(fr + 1, fc + 1, std::max(rowCount, fr + 1), std::max(colCount, fc + 1));
    if (selectionAsked) {
      range = *selection->GetHead();
      range.ExpandToCells(fr + 1, fc + 1, rowCount, colCount);
      range.top = std::max(range.top, fr + 1);
      range.left = std::max(range.left, fc + 1);
    }
    const CGXProperties* props = g->GetProperties();
    static const std::vector<DWORD> none;
    // 5. and 6. Column breaks, then row breaks.
    Paginate(g, FALSE, range.left, std::max(range.left, range.right), props ? props->GetColBreaks() : none, leftCol,
             g->m_awColBreaks, &g->m_nLeftColPage);
    Paginate(g, TRUE, range.top, std::max(range.top, range.bottom), props ? props->GetRowBreaks() : none, topRow,
             g->m_awRowBreaks, &g->m_nTopRowPage);
  }
  // 7. The page count, shown with each page's number ("Page 2 / 6"), and the preview's first page: the one
  // that holds the grid's top-left cell.
  const UINT pages = PageCount(g);
  info->SetMaxPage(pages);
  CString count;
  count.Format(" / %u", pages);
  CString& desc = info->m_strPageDesc;
  const int nl = desc.Find('\n');
  if (nl < 0)
    desc += count;
  else
    desc = desc.Left(nl) + count + desc.Mid(nl);
  if (info->m_bPreview && pages) {
    const CGXProperties* props = g->GetProperties();
    const UINT colPages = static_cast<UINT>(g->m_awColBreaks.size() - 1), rowPages = static_cast<UINT>(g->m_awRowBreaks.size() - 1);
    const UINT rowPage = static_cast<UINT>(g->m_nTopRowPage), colPage = static_cast<UINT>(g->m_nLeftColPage);
    const UINT first = (!props || props->m_nPageOrder == 0) ? colPage + colPages * rowPage + 1 : rowPage + rowPages * colPage + 1;
    info->m_nCurPage = std::min(first, pages);
  }
  // 8. Font and print mode go back with their scopes.
}

void CGXPrintImp::PrintPage(CGXGridCore* g, CDC* dc, CPrintInfo* info) {
  // A job without a pagination (no begin step, or an empty table) prints nothing and ends.
  if (g->m_awRowBreaks.size() < 2 || g->m_awColBreaks.size() < 2) {
    info->m_bContinuePrinting = FALSE;
    return;
  }
  // 1. Fresh drawing caches (emptied before the print mode, which keeps them), print mode, the standard font, the
  // print rectangle.
  g->FreeDrawingCaches();
  PrintModeScope mode(g);
  g->PrepareDC(dc, info);
  StandardFontScope font(g, dc);
  MeasurePrintFont(dc, &g->m_nPrintFontHeight, &g->m_nPrintFontWidth);
  g->InvalidateShownCaches();
  PrintRect(g, dc, info);
  // 3. Rows or columns added since the pagination are laid out on the last pages.
  if (!g->m_bPrintSelectionOnly) {
    const CGXProperties* props = g->GetProperties();
    static const std::vector<DWORD> none;
    const ROWCOL rowCount = g->GetRowCount(), colCount = g->GetColCount();
    if (g->m_awRowBreaks.back() <= rowCount) {
      const std::size_t from = g->m_awRowBreaks.size() - 2;
      Paginate(g, TRUE, g->m_awRowBreaks[from], rowCount, props ? props->GetRowBreaks() : none, 0, g->m_awRowBreaks,
               nullptr, from);
    }
    if (g->m_awColBreaks.back() <= colCount) {
      const std::size_t from = g->m_awColBreaks.size() - 2;
      Paginate(g, FALSE, g->m_awColBreaks[from], colCount, props ? props->GetColBreaks() : none, 0, g->m_awColBreaks,
               nullptr, from);
    }
    info->SetMaxPage(PageCount(g));
  }
  // 2. The page's first row and column.
  ROWCOL top = 0, left = 0;
  if (!PageOrigin(g, info->m_nCurPage, &top, &left)) {
    info->m_bContinuePrinting = FALSE;
    return;
  }
  // 4. The page's last row and column, and the grid's size on it.
  const auto& rb = g->m_awRowBreaks;
  const auto& cb = g->m_awColBreaks;
  const ROWCOL bottom = *std::upper_bound(rb.begin(), rb.end(), top) - 1;
  const ROWCOL right = *std::upper_bound(cb.begin(), cb.end(), left) - 1;
  g->m_nPrintTopRow = top;
  g->m_nPrintLeftCol = left;
  const int width = GXAddSize(FrozenColsWidth(g, g->m_rectPrint.Width()), g->SumColWidths(left, right));
  const int height = GXAddSize(FrozenRowsHeight(g, g->m_rectPrint.Height()), g->SumRowHeights(top, bottom));
  // 5. Centred, then cut to the grid.
  CRect rect = g->m_rectPrint;
  if (const CGXProperties* props = g->GetProperties()) {
    if (props->m_bCenterHorizontal && rect.Width() > width) rect.left += (rect.Width() - width) / 2;
    if (props->m_bCenterVertical && rect.Height() > height) rect.top += (rect.Height() - height) / 2;
  }
  rect.right = std::min<LONG>(rect.right, rect.left + width);
  rect.bottom = std::min<LONG>(rect.bottom, rect.top + height);
  g->m_rectPrint = rect;
  g->InvalidateShownCaches();
  // 6. Header and footer (through the properties, which come back to PrintHeaderAndFooter).
  g->DrawPrintHeaderFooter(dc, info);
  // 8. The cells from the frozen area to the page's last row and column, clipped to the grid.
  {
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&rect);
    g->DrawCellBlock(0, 0, g->RowToClientRow(bottom), g->ColToClientCol(right), dc);
    dc->RestoreDC(saved);
  }
  // 7. The frame on the grid's edges, drawn after the cells: drawn before, the cells' interiors would cover it.
  const CGXProperties* props = g->GetProperties();
  if (props && props->m_bPrintFrame) {
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(rect.left, rect.top);
    dc->LineTo(rect.right, rect.top);
    dc->MoveTo(rect.left, rect.bottom - 1);
    dc->LineTo(rect.right, rect.bottom - 1);
    dc->MoveTo(rect.left, rect.top);
    dc->LineTo(rect.left, rect.bottom);
    dc->MoveTo(rect.right - 1, rect.top);
    dc->LineTo(rect.right - 1, rect.bottom);
    dc->SelectObject(old);
  }
  // 9. Done after the page at the last row and the last column.
  if (bottom + 1 >= rb.back() && right + 1 >= cb.back()) info->m_bContinuePrinting = FALSE;
  g->ReleaseCachedDC();
}

void CGXPrintImp::EndPrinting(CGXGridCore* g) {
  g->m_pPrintFloatPool.reset();
  g->m_bPrintSelectionOnly = FALSE;
  g->InvalidateRect(nullptr, FALSE);
}

// ---- Header and footer ------------------------------------------------------------------------------------

namespace {

enum Token { tokenF, tokenA, tokenP, tokenN, tokenD, tokenR };

// A line's style: its own, its base styles, then what the standard style adds.
CGXStyle LineStyle(const CGXData& table, ROWCOL row, ROWCOL col, CGXStylesMap* map) {
  CGXStyle s;
  table.GetStyle(row, col, s, gxCopy);
  if (map) {
    s.LoadBaseStyle(*map);
    CGXStyle* standard = nullptr;
    if (map->LookupStyle(map->GetStandardStyle(), standard) && standard) s.MergeStyle(*standard, gxApplyNew);
  }
  CGXStyle defaults;
  defaults.SetDefault();
  s.MergeStyle(defaults, gxApplyNew);
  return s;
}

// Selects a line's font while its LOGFONT differs from the one selected last; the fonts live as long as it.
class LineFonts {
 public:
  explicit LineFonts(CDC* dc) : m_dc(dc) {}
  ~LineFonts() {
    if (m_old) m_dc->SelectObject(m_old);
  }
  LineFonts(const LineFonts&) = delete;
  LineFonts& operator=(const LineFonts&) = delete;
  void Select(const CGXStyle& style) {
    LOGFONT lf{};
    if (const CGXFont* f = style.GetFontPtr()) lf = f->GetLogFont();
    if (m_font && std::memcmp(&lf, &m_lf, sizeof lf) == 0) return;
    auto font = std::make_unique<CFont>();
    if (!font->CreateFontIndirect(&lf)) return;
    CFont* previous = m_dc->SelectObject(font.get());
    if (!m_old) m_old = previous;
    m_lf = lf;
    if (m_font) m_spent.push_back(std::move(m_font));
    m_font = std::move(font);
  }
  int LineHeight() const { return m_dc->GetTextExtent(CString("X")).cy; }

 private:
  CDC* m_dc;
  CFont* m_old = nullptr;
  LOGFONT m_lf{};
  std::unique_ptr<CFont> m_font;
  std::vector<std::unique_ptr<CFont>> m_spent;
};

}  // namespace

void CGXPrintImp::PrintHeaderAndFooter(CGXProperties& props, CDC* dc, CPrintInfo* info, CDocument* document,
                                       CGXGridParam* param) {
  if (!dc || !info) return;
  // 1. The token values; "$D" is formatted where it is used.
  CString v;
  props.SetTokenValue(tokenF, document ? document->GetTitle() : CString());
  props.SetTokenValue(tokenA, AfxGetAppName() ? CString(AfxGetAppName()) : CString());
  v.Format("%u", info->GetMaxPage());
  props.SetTokenValue(tokenN, v);
  const long page = props.m_nFirstPage == -1
                        ? static_cast<long>(info->m_nCurPage)
                        : static_cast<long>(info->m_nCurPage) - static_cast<long>(info->GetFromPage()) + props.m_nFirstPage;
  v.Format("%ld", page);
  props.SetTokenValue(tokenP, v);
  props.SetTokenValue(tokenR, param ? param->m_sName : CString());
  CGXStylesMap* map = param ? param->GetStylesMap() : nullptr;
  // 2. The header: from its distance below the paper's top down to the print rectangle.
  const CRect paper = DevicePage(dc);
  const CRect& print = info->m_rectDraw;
  CRect header(print.left, paper.top + props.m_nDistances[0], print.right, print.top);
  DrawHeaderFooter(props, dc, info, header, props.GetHeaderTable(), map);
  // 3. The footer: up from its distance above the paper's bottom, never into the print rectangle.
  CRect footer(print.left, 0, print.right, paper.bottom - props.m_nDistances[1]);
  footer.top = std::max<LONG>(footer.bottom - CalcHeaderFooterHeight(dc, props.GetFooterTable(), map), print.bottom);
  DrawHeaderFooter(props, dc, info, footer, props.GetFooterTable(), map);
}

int CGXPrintImp::CalcHeaderFooterHeight(CDC* dc, const CGXData& table, CGXStylesMap* map) {
  if (!dc) return 0;
  LineFonts fonts(dc);
  int tallest = 0;
  for (ROWCOL col = 1; col <= 3; ++col) {
    int sum = 0;
    for (ROWCOL row = 1; row <= 10; ++row) {
      const CGXStyle s = LineStyle(table, row, col, map);
      if (!s.GetIncludeValue() || s.GetValue().IsEmpty()) continue;
      fonts.Select(s);
      sum += fonts.LineHeight();
    }
    tallest = std::max(tallest, sum);
  }
  return tallest;
}

void CGXPrintImp::DrawHeaderFooter(CGXProperties& props, CDC* dc, CPrintInfo*, const CRect& rect,
                                   const CGXData& table, CGXStylesMap* map) {
  if (!dc) return;
  LineFonts fonts(dc);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColor = dc->SetTextColor(RGB(0, 0, 0));
  static constexpr UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  for (ROWCOL col = 1; col <= 3; ++col) {
    int top = rect.top;
    for (ROWCOL row = 1; row <= 10; ++row) {
      const CGXStyle s = LineStyle(table, row, col, map);
      if (!s.GetIncludeValue() || s.GetValue().IsEmpty()) continue;
      fonts.Select(s);
      const CString text = SubstituteTokens(props, s.GetValue());
      const int h = fonts.LineHeight();
      CRect line(rect.left + 8, top, rect.right - 8, top + h);
      dc->DrawText(text, &line, kAlign[col - 1] | DT_NOPREFIX | DT_NOCLIP);
      top += h;
    }
  }
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
}

CString CGXPrintImp::SubstituteTokens(CGXProperties& props, const CString& text) {
  const std::vector<CString>& tokens = props.GetTokens();
  CString out;
  CString rest = text;
  while (!rest.IsEmpty()) {
    bool matched = false;
    for (std::size_t i = 0; i < tokens.size() && !matched; ++i) {
      const int n = tokens[i].GetLength();
      if (n == 0 || rest.GetLength() < n || rest.Left(n).CompareNoCase(tokens[i]) != 0) continue;
      rest = rest.Mid(n);
      out += GetTokenValue(props, static_cast<int>(i), rest);
      matched = true;
    }
    if (!matched) {
      out += rest[0];
      rest = rest.Mid(1);
    }
  }
  return out;
}

CString CGXPrintImp::GetTokenValue(CGXProperties& props, int token, CString& rest) {
  const std::vector<CString>& tokens = props.GetTokens();
  if (token < 0 || static_cast<std::size_t>(token) >= tokens.size()) return CString();
  if (tokens[static_cast<std::size_t>(token)].CompareNoCase("$D") != 0) return props.GetTokenValue(token);
  // The local time now (the virtual clock's), in the format in braces or "%c"; unknown conversions are
  // copied as written, and a text longer than 255 characters does not fit and gives nothing.
  CString format = SplitFormatPart(rest);
  if (format.IsEmpty()) format = "%c";
  const std::time_t now = plat::time(nullptr);
  const std::string formatted = plat::FormatTime(plat::LocalTm(static_cast<std::int64_t>(now)), format.GetString());
  return formatted.size() > 255 ? CString() : CString(formatted.c_str());
}

CString CGXPrintImp::SplitFormatPart(CString& text) {
  if (text.IsEmpty() || text[0] != '{') return CString();
  const int close = text.Find('}');
  if (close < 0) return CString();
  CString part = text.Mid(1, close - 1);
  text = text.Mid(close + 1);
  return part;
}

// ---- Installer and frame helpers ------------------------------------------------------------------------

void CGXGridCore::InstallPrintImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (!g.m_pfnGetGridPrintImp)
    g.m_pfnGetGridPrintImp = [](CGXGridCore* grid) -> CGXAbstractGridPrintImp* {
      return grid ? dynamic_cast<CGXPrintImp*>(grid->GetPrintImp()) : nullptr;
    };
  if (!GetPrintImp()) SetFeature(static_cast<CGXGridPrintImp*>(new CGXPrintImp));
}

namespace {

GXForwardArgs Args(CDC* dc, CPrintInfo* info) {
  GXForwardArgs a;
  a.v[0] = reinterpret_cast<DWORD_PTR>(dc);
  a.v[1] = reinterpret_cast<DWORD_PTR>(info);
  return a;
}

}  // namespace

CPrintSteps GXGridPrintSteps(CGXGridCore* grid, BOOL direct, LPCSTR title, LPCSTR output) {
  CPrintSteps steps;
  steps.prepare = [grid, direct](CPrintInfo* info) -> BOOL {
    CPrintDialog& pd = *info->m_pPD;
    pd.m_pd.Flags |= PD_RETURNDC;
    CGXPrintDevice* device = grid->GetParam() ? grid->GetParam()->GetPrintDevice() : nullptr;
    if (device) {
      device->NeedDeviceInfo();
      device->CopyToAppDevice();
    }
    CWinApp* app = AfxGetApp();
    if (direct || info->m_bPreview) {
      if (app) app->GetPrinterDeviceDefaults(&pd.m_pd);
      if (!pd.m_pd.hDevNames && !pd.GetDefaults()) return FALSE;
    } else {
      const INT_PTR answer = app ? app->DoPrintDialog(&pd) : pd.DoModal();
      if (answer != IDOK) return FALSE;
      if (device && !device->IsSameDevice(pd.m_pd.hDevNames, pd.m_pd.hDevMode))
        device->SetDeviceHandles(pd.m_pd.hDevNames, pd.m_pd.hDevMode);
    }
    if (!pd.m_pd.hDC) pd.m_pd.hDC = pd.CreatePrinterDC();
    return TRUE;  // a printer was chosen: without its DC the print says why
  };
  steps.begin = [grid](CDC* dc, CPrintInfo* info) { grid->PrintForward0(Args(dc, info)); };
  steps.print = [grid](CDC* dc, CPrintInfo* info) { grid->PrintForward1(Args(dc, info)); };
  steps.end = [grid](CDC* dc, CPrintInfo* info) { grid->PrintForward2(Args(dc, info)); };
  steps.title = title ? title : "Grid";
  if (output) steps.output = output;
  return steps;
}

BOOL GXPrintGrid(CGXGridCore* grid, BOOL direct, LPCSTR title, LPCSTR output) {
  if (!grid) return FALSE;
  grid->InstallPrintImp();
  CPrintInfo info;
  info.m_bDirect = direct;
  return AfxRunPrintLoop(GXGridPrintSteps(grid, direct, title, output), info);
}

CPrintPreviewWnd* GXPrintPreviewGrid(CGXGridCore* grid, CWnd* owner, LPCSTR title) {
  if (!grid) return nullptr;
  grid->InstallPrintImp();
  return CPrintPreviewWnd::Open(GXGridPrintSteps(grid, TRUE, title, nullptr), owner);
}
