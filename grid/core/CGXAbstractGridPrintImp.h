// A grid's print feature as the model sees it: pagination and page printing, and the header and footer
// of the properties with their substitution tokens. The print feature installs one object per grid; the
// grid engine answers which object a grid has through CGXGridGlobals::m_pfnGetGridPrintImp, so that the
// properties (which know only the grids that use them) can reach it.
#pragma once

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/geometry.h"

class CDC;
class CDocument;
class CPrintInfo;
class CGXData;
class CGXGridParam;
class CGXProperties;
class CGXStylesMap;

class CGXAbstractGridPrintImp : public CGXImpBase {
 public:
  virtual void BeginPrinting(CGXGridCore* grid, CDC* pDC, CPrintInfo* info) = 0;
  virtual void PrintPage(CGXGridCore* grid, CDC* pDC, CPrintInfo* info) = 0;
  virtual void EndPrinting(CGXGridCore* grid) = 0;
  // Sets the token values and draws header and footer.
  virtual void PrintHeaderAndFooter(CGXProperties& properties, CDC* pDC, CPrintInfo* info, CDocument* document,
                                    CGXGridParam* param) = 0;
  virtual int CalcHeaderFooterHeight(CDC* pDC, const CGXData& table, CGXStylesMap* stylesMap) = 0;
  virtual void DrawHeaderFooter(CGXProperties& properties, CDC* pDC, CPrintInfo* info, const CRect& rect,
                                const CGXData& table, CGXStylesMap* stylesMap) = 0;
  // The text with every token replaced by its value.
  virtual CString SubstituteTokens(CGXProperties& properties, const CString& text) = 0;
  // The value of token `token` (index in the token list); may take more of `rest` (a format in braces).
  virtual CString GetTokenValue(CGXProperties& properties, int token, CString& rest) = 0;
  // Cuts a format in braces from the front of the text and returns it; empty when there is none.
  virtual CString SplitFormatPart(CString& text) = 0;
};
