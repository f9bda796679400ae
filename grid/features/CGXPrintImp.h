// Printing a grid and feeding the print preview: pagination into pages of rows and columns (manual breaks
// honoured), one page at a time with the frozen rows and columns repeated, optional centring and frame, and
// the headers and footers of the properties with their tokens.
//
// The grid's three printing hooks reach it through the engine's forwarders:
//   PrintForward0 (dc, info) -> BeginPrinting: print mode, print rectangle = device page - margins,
//       column breaks, row breaks, page count (" / N" added to the page description), first preview page
//   PrintForward1 (dc, info) -> PrintPage: page index -> (row page, column page) by the page order,
//       breaks re-tested against the row and column counts, centring, PrintHeaderAndFooter, frame, cells
//   PrintForward2 (dc, info) -> EndPrinting: the print pools go, the window is redrawn
// The properties' header and footer forwarders come back here (CGXGridGlobals::m_pfnGetGridPrintImp).
//
// Page i (0-based) of an across-first order (page order 0) is row page i / (column pages), column page
// i % (column pages); down first swaps the roles. A page always holds at least one row and one column.
#pragma once

#include "grid/core/CGXAbstractGridPrintImp.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridFeatures.h"

class CGXPrintImp : public CGXGridPrintImp, public CGXAbstractGridPrintImp {
 public:
  // The grid's forwarders: (dc, info) in the argument block.
  void PrintForward0(CGXGridCore* grid, const GXForwardArgs& args) override;
  void PrintForward1(CGXGridCore* grid, const GXForwardArgs& args) override;
  void PrintForward2(CGXGridCore* grid, const GXForwardArgs& args) override;

  void BeginPrinting(CGXGridCore* grid, CDC* pDC, CPrintInfo* info) override;
  void PrintPage(CGXGridCore* grid, CDC* pDC, CPrintInfo* info) override;
  void EndPrinting(CGXGridCore* grid) override;
  void PrintHeaderAndFooter(CGXProperties& properties, CDC* pDC, CPrintInfo* info, CDocument* document,
                            CGXGridParam* param) override;
  int CalcHeaderFooterHeight(CDC* pDC, const CGXData& table, CGXStylesMap* stylesMap) override;
  void DrawHeaderFooter(CGXProperties& properties, CDC* pDC, CPrintInfo* info, const CRect& rect,
                        const CGXData& table, CGXStylesMap* stylesMap) override;
  CString SubstituteTokens(CGXProperties& properties, const CString& text) override;
  CString GetTokenValue(CGXProperties& properties, int token, CString& rest) override;
  CString SplitFormatPart(CString& text) override;

  // The page count of a pagination: (row breaks - 1) x (column breaks - 1).
  static UINT PageCount(const CGXGridCore* grid);
  // The first row and column of a page (1-based) under the grid's breaks and page order; FALSE when the
  // page is outside the pagination.
  static BOOL PageOrigin(const CGXGridCore* grid, UINT page, ROWCOL* row, ROWCOL* col);

 private:
  // Breaks of one direction from `first` to `last`: sizes of the lines laid out after the frozen ones from
  // `start` (the rectangle's near edge) up to `end` (its far edge).
  static void Paginate(CGXGridCore* grid, BOOL rows, ROWCOL first, ROWCOL last, const std::vector<DWORD>& manual,
                       ROWCOL remembered, std::vector<ROWCOL>& breaks, int* rememberedPage, std::size_t from = 0);
  void PrintRect(CGXGridCore* grid, CDC* pDC, CPrintInfo* info);
};

// The print feature's helpers for a frame that shows a grid (the grid is no view of its own): printing on
// the application's printer (the print dialog first unless `direct`) and the platform's print preview window.
// `output` names the file a PDF or PNG printer writes (null: the printer's default, under the temporary
// directory). Print preview pages through the same page hook as printing.
struct CPrintSteps;
// The grid's printing steps for AfxRunPrintLoop or CPrintPreviewWnd::Open (a caller may replace `prepare`).
CPrintSteps GXGridPrintSteps(CGXGridCore* grid, BOOL direct, LPCSTR title = nullptr, LPCSTR output = nullptr);
BOOL GXPrintGrid(CGXGridCore* grid, BOOL direct, LPCSTR title = nullptr, LPCSTR output = nullptr);
class CPrintPreviewWnd;
CPrintPreviewWnd* GXPrintPreviewGrid(CGXGridCore* grid, CWnd* owner, LPCSTR title = nullptr);
