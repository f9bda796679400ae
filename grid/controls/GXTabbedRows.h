// What the two tabbed drop-down cells share: the fields of a tab-separated choice line, measuring the
// columns of the lines, the rule that turns measured widths and the "TabList: Column Widths" text into
// column widths and right edges, drawing and measuring one row, and the lookup of choice lines by field.
//
// A row text is a choice line, or, when the owner's text column is above 0, that column's field, a TAB and
// the whole line (the shown text first); drawing all columns then skips the front field. A field naming a
// bitmap of the grid's bitmap pool ("#BMP(...)") is measured and drawn as that bitmap.
//
// Fields are taken whole, whatever their length.
#pragma once

#include <string_view>
#include <vector>

#include "grid/controls/GXChoiceLines.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/gdi/gdiapi.h"

class CDC;

// At most this many columns are measured and given widths.
constexpr int GX_MAX_TABBED_COLUMNS = 10;

// The column layout of a tabbed list: widths, right edges (edge k = width 0 + ... + width k, for k below
// the separator count), separator count (columns - 1, at least 0) and the total width (all widths plus a
// vertical scroll bar).
struct GXTabbedLayout {
  std::vector<int> widths;
  std::vector<int> rightEdges;
  int separators = 0;
  int totalWidth = 0;
};

// Every tab-separated field of a line (one empty field for an empty line).
std::vector<CString> SplitTabbedFields(const CString& line);
// The n-th tab-separated field (from 0), empty when the line has fewer fields.
CString GetTabField(const CString& line, int n);
CString GetTabField(std::string_view line, int n);
// The row text of a choice line for an owner with that text column.
CString MakeTabbedRowText(const CString& line, int textColumn);
// The index (from `first`) of the first line whose field `column` equals the text exactly, or, with
// `prefix`, begins with it ignoring case; -1 when none.
int FindTabbedLine(const std::vector<CString>& lines, size_t first, const CString& text, int column, BOOL prefix);
int FindTabbedLine(const GXChoiceLines& lines, size_t first, const CString& text, int column, BOOL prefix);
// The lines sorted by field `column` ignoring case (stable), the first line kept in place when asked.
std::vector<CString> SortTabbedLines(std::vector<CString> lines, int column, BOOL keepFirst);

// The bitmap a field names in the grid's bitmap pool ("#BMP(...)"), or null; and a bitmap's size.
HGLOBAL GetTabbedBitmap(const CString& field);
CSize GetTabbedBitmapSize(HGLOBAL dib);
// The widest and tallest display field of a style's choice list (a bitmap's size, or the text's extent in
// the DC's font), at least one line of the font high; the title line skipped when `titles`.
CSize MeasureTabbedDisplayFields(CDC* dc, const std::vector<CString>& lines, BOOL titles, int textColumn);

// Widens widths[k] (k below maxColumns, at most GX_MAX_TABBED_COLUMNS) to each field's text extent in the
// DC's font, or its bitmap's width.
void MeasureTabbedColumns(CDC* dc, const CString& line, int maxColumns, int* widths);
// The column-width rule over the measured widths (-1 ends the columns): a number of the widths text, taken
// in order and separated by any non-digits, or the measured width + 4 (0 for a column other than the text
// column when not every column is shown).
GXTabbedLayout ApplyTabbedColumnWidths(const int* measured, const CString& widthsText, BOOL showAll, int textColumn);
// A tabbed list made from its choice lines: the layout of the lines' columns measured in the DC's font (the
// rule above), the first line's row text as the title when `titles`, and the other lines' row texts in order.
struct GXTabbedRows {
  GXTabbedLayout layout;
  CString title;
  std::vector<CString> rows;
};
GXTabbedRows MakeTabbedRows(CDC* dc, const std::vector<CString>& lines, const CString& widthsText, BOOL showAll,
                            int textColumn, BOOL titles);
// Draws a row in the rectangle: background, separators at each right edge - 2, then the fields clipped to
// their columns (one field across the whole width when `singleColumn`).
void DrawTabbedRow(CDC* dc, const CRect& rect, const CString& row, BOOL singleColumn, int textColumn, int separators,
                   const std::vector<int>& rightEdges, COLORREF separator, COLORREF back, COLORREF text);
// Raises the height to the tallest bitmap among the fields DrawTabbedRow would draw.
void MeasureTabbedRowHeight(const CString& row, int& height, BOOL singleColumn, BOOL textColumnAboveZero,
                            int separators);
