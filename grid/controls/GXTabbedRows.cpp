#include "grid/controls/GXTabbedRows.h"

#include <algorithm>
#include <iterator>

#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "platform/base/StringApi.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

namespace {

// Widths beyond this are taken as this: no column text can make the layout overflow.
constexpr int kMaxColumnWidth = 0x7FFF;

}  // namespace

std::vector<CString> SplitTabbedFields(const CString& row) {
  std::vector<CString> fields;
  int start = 0;
  for (;;) {
    const int tab = row.Find('\t', start);
    if (tab < 0) {
      fields.push_back(row.Mid(start));
      return fields;
    }
    fields.push_back(row.Mid(start, tab - start));
    start = tab + 1;
  }
}

namespace {

// The fields a row draws: the front field dropped when every column is shown under a text column above 0.
std::vector<CString> DrawnFields(const CString& row, BOOL singleColumn, BOOL textColumnAboveZero) {
  std::vector<CString> fields = SplitTabbedFields(row);
  if (!singleColumn && textColumnAboveZero && !fields.empty()) fields.erase(fields.begin());
  return fields;
}

bool StartsWithNoCase(const CString& s, const CString& prefix) {
  return s.GetLength() >= prefix.GetLength() && s.Left(prefix.GetLength()).CompareNoCase(prefix) == 0;
}

}  // namespace

HGLOBAL GetTabbedBitmap(const CString& field) {
  if (field.Find("#BMP(") < 0) return nullptr;
  return GetDIBPool().GetDIB(field);
}

CSize GetTabbedBitmapSize(HGLOBAL dib) {
  CGXDIB info;
  if (!dib || !info.Attach(dib)) return CSize(0, 0);
  const CSize size(info.GetWidth(), info.GetHeight());
  info.Detach();
  return size;
}

CSize MeasureTabbedDisplayFields(CDC* dc, const std::vector<CString>& lines, BOOL titles, int textColumn) {
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  CSize size(0, tm.tmHeight + tm.tmExternalLeading + 1);
  for (size_t i = titles ? 1 : 0; i < lines.size(); ++i) {
    const CString field = GetTabField(lines[i], textColumn);
    const HGLOBAL dib = GetTabbedBitmap(field);
    const CSize need = dib ? GetTabbedBitmapSize(dib) : dc->GetTextExtent(field);
    size.cx = std::max(size.cx, need.cx);
    size.cy = std::max(size.cy, need.cy);
  }
  return size;
}

CString GetTabField(const CString& line, int n) { return GetTabField(line.View(), n); }

CString GetTabField(std::string_view line, int n) {
  if (n < 0) return CString();
  size_t start = 0;
  for (int i = 0; i < n; ++i) {
    const size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) return CString();
    start = tab + 1;
  }
  return CString(line.substr(start, line.find('\t', start) - start));
}

CString MakeTabbedRowText(const CString& line, int textColumn) {
  if (textColumn <= 0) return line;
  return GetTabField(line, textColumn) + "\t" + line;
}

namespace {

template <class Lines>
int FindTabbedLineIn(const Lines& lines, size_t first, const CString& text, int column, BOOL prefix) {
  size_t i = 0;
  for (const auto& line : lines) {
    if (i++ < first) continue;
    const CString field = GetTabField(line, column);
    if (prefix ? StartsWithNoCase(field, text) : field == text) return static_cast<int>(i - 1 - first);
  }
  return -1;
}

}  // namespace

int FindTabbedLine(const std::vector<CString>& lines, size_t first, const CString& text, int column, BOOL prefix) {
  return FindTabbedLineIn(lines, first, text, column, prefix);
}

int FindTabbedLine(const GXChoiceLines& lines, size_t first, const CString& text, int column, BOOL prefix) {
  return FindTabbedLineIn(lines, first, text, column, prefix);
}

std::vector<CString> SortTabbedLines(std::vector<CString> lines, int column, BOOL keepFirst) {
  auto from = lines.begin() + (keepFirst && !lines.empty() ? 1 : 0);
  std::stable_sort(from, lines.end(), [column](const CString& a, const CString& b) {
    return GetTabField(a, column).CompareNoCase(GetTabField(b, column)) < 0;
  });
  return lines;
}

void MeasureTabbedColumns(CDC* dc, const CString& line, int maxColumns, int* widths) {
  if (!dc || !widths) return;
  const std::vector<CString> fields = SplitTabbedFields(line);
  const int n = std::min({maxColumns, GX_MAX_TABBED_COLUMNS, static_cast<int>(fields.size())});
  for (int k = 0; k < n; ++k) {
    const CString& field = fields[static_cast<size_t>(k)];
    int w = 0;
    if (HGLOBAL dib = GetTabbedBitmap(field))
      w = GetTabbedBitmapSize(dib).cx;
    else
      w = dc->GetTextExtent(field).cx;
    widths[k] = std::max(widths[k], std::min(w, kMaxColumnWidth));
  }
}

GXTabbedLayout ApplyTabbedColumnWidths(const int* measured, const CString& widthsText, BOOL showAll, int textColumn) {
  GXTabbedLayout layout;
  int pos = 0;
  const int length = widthsText.GetLength();
  auto digit = [&](int at) { return at < length && widthsText[at] >= '0' && widthsText[at] <= '9'; };
  for (int i = 0; i < GX_MAX_TABBED_COLUMNS && measured[i] != -1; ++i) {
    int width = 0;
    if (digit(pos)) {
      long long number = 0;
      while (digit(pos)) number = std::min<long long>(number * 10 + (widthsText[pos++] - '0'), kMaxColumnWidth);
      while (pos < length && !digit(pos)) ++pos;
      width = static_cast<int>(number);
    } else {
      width = showAll || i == textColumn ? std::min(measured[i] + 4, kMaxColumnWidth) : 0;
    }
    layout.widths.push_back(width);
    layout.totalWidth += width;
  }
  layout.separators = std::max(0, static_cast<int>(layout.widths.size()) - 1);
  int edge = 0;
  for (int k = 0; k < layout.separators; ++k) layout.rightEdges.push_back(edge += layout.widths[static_cast<size_t>(k)]);
  layout.totalWidth += GetSystemMetrics(SM_CXVSCROLL);
  return layout;
}

GXTabbedRows MakeTabbedRows(CDC* dc, const std::vector<CString>& lines, const CString& widthsText, BOOL showAll,
                            int textColumn, BOOL titles) {
  int measured[GX_MAX_TABBED_COLUMNS];
  std::fill(std::begin(measured), std::end(measured), -1);
  for (const CString& line : lines) MeasureTabbedColumns(dc, line, GX_MAX_TABBED_COLUMNS, measured);
  GXTabbedRows out;
  out.layout = ApplyTabbedColumnWidths(measured, widthsText, showAll, textColumn);
  for (size_t i = 0; i < lines.size(); ++i) {
    CString row = MakeTabbedRowText(lines[i], textColumn);
    if (i == 0 && titles)
      out.title = row;
    else
      out.rows.push_back(row);
  }
  return out;
}

void DrawTabbedRow(CDC* dc, const CRect& rect, const CString& row, BOOL singleColumn, int textColumn, int separators,
                   const std::vector<int>& rightEdges, COLORREF separator, COLORREF back, COLORREF text) {
  if (!dc) return;
  const std::vector<CString> fields = DrawnFields(row, singleColumn, textColumn > 0);
  const int n = singleColumn ? 0 : std::min(separators, static_cast<int>(rightEdges.size()));
  dc->FillSolidRect(&rect, back);
  for (int k = 0; k < n; ++k)
    dc->FillSolidRect(rect.left + rightEdges[static_cast<size_t>(k)] - 2, rect.top, 1, rect.Height(), separator);
  dc->SetBkColor(back);
  dc->SetTextColor(text);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  for (int k = 0; k <= n && k < static_cast<int>(fields.size()); ++k) {
    const int left = rect.left + (k == 0 ? 0 : rightEdges[static_cast<size_t>(k - 1)]);
    const int right = k == n ? rect.right : rect.left + rightEdges[static_cast<size_t>(k)];
    if (right <= left) continue;
    CRect span(left, rect.top, right, rect.bottom);
    const CString& field = fields[static_cast<size_t>(k)];
    if (HGLOBAL dib = GetTabbedBitmap(field)) {
      CGXDIB::Draw(dc, dib, &span, CGXDIB::natural, CGXDIB::vCenter);
    } else {
      const int saved = dc->SaveDC();
      dc->IntersectClipRect(&span);
      dc->DrawText(field, &span, DT_VCENTER | DT_SINGLELINE);
      dc->RestoreDC(saved);
    }
  }
  dc->SetBkMode(oldMode);
}

void MeasureTabbedRowHeight(const CString& row, int& height, BOOL singleColumn, BOOL textColumnAboveZero,
                            int separators) {
  const std::vector<CString> fields = DrawnFields(row, singleColumn, textColumnAboveZero);
  const int n = singleColumn ? 1 : std::max(0, separators) + 1;
  for (int k = 0; k < n && k < static_cast<int>(fields.size()); ++k)
    if (HGLOBAL dib = GetTabbedBitmap(fields[static_cast<size_t>(k)])) height = std::max<int>(height, GetTabbedBitmapSize(dib).cy);
}
