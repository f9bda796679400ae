// CPrintInfo: what the print loop tells the printing code about the job (pages, draw rectangle, preview).
//
// The loop itself is CView::OnFilePrint: OnPreparePrinting (DoPreparePrinting: the application's printer
// or the print dialog) -> OnBeginPrinting -> StartDoc -> per page from the first to the last: OnPrepareDC,
// StartPage, m_rectDraw = the page in logical units, OnPrint, EndPage (stopping when m_bContinuePrinting is
// cleared) -> EndDoc -> OnEndPrinting.
#pragma once

#include <memory>

#include "platform/base/CString.h"
#include "platform/base/geometry.h"

class CPrintDialog;

class CPrintInfo {
 public:
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  void SetMinPage(UINT nMinPage);
  void SetMaxPage(UINT nMaxPage);
  UINT GetMinPage() const;
  UINT GetMaxPage() const;
  UINT GetFromPage() const;
  UINT GetToPage() const;
  UINT GetOffsetPage() const { return m_nOffsetPage; }

  std::unique_ptr<CPrintDialog> m_pPD;  // the print dialog data (pages, printer blocks)
  BOOL m_bDirect = FALSE;               // print without asking: the application's printer
  BOOL m_bPreview = FALSE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 1;
  UINT m_nOffsetPage = 0;
  void* m_lpUserData = nullptr;
  CRect m_rectDraw;
  CString m_strPageDesc = "Page %u\nPages %u-%u\n";
};
