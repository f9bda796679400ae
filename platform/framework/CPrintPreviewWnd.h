// Printing steps, the print loop over them, and the platform's own print preview window.
//
// A print job is five steps (CPrintSteps): prepare (choose the printer and make its DC), begin, and per page
// prepare-DC and print, then end. A view hands its own virtual steps (CView::OnFilePrint and
// CView::OnFilePrintPreview); any other window (a grid in a frame) hands functions.
//
// The preview window shows the job's pages one at a time, scaled to fit the window:
//   Create -> prepare (the application's printer, no dialog) -> begin on the printer's DC (pagination at the
//   printer's resolution; the step may choose the first page shown through m_nCurPage)
//   -> per shown page: a preview DC with the printer's paper at 96 dpi (one pixel per logical unit),
//   prepare-DC, m_rectDraw = the page in logical units, print -> WM_PAINT scales the page into the window
//   -> "Next Page" / "Prev Page" move within the job's pages, "Close" (or WM_CLOSE) -> end -> the window goes.
// The bar above the page shows the page description's first line formatted with the page number ("Page 2 / 6"
// when the job appended its count).
#pragma once

#include <functional>
#include <memory>

#include "platform/framework/CButton.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CWnd.h"

class CDC;

constexpr UINT AFX_ID_PREVIEW_CLOSE = 0xE300;
constexpr UINT AFX_ID_PREVIEW_NEXT = 0xE301;
constexpr UINT AFX_ID_PREVIEW_PREV = 0xE302;

struct CPrintSteps {
  // Chooses the printer and makes its DC into info->m_pPD->m_pd.hDC; FALSE stops the job.
  std::function<BOOL(CPrintInfo*)> prepare;
  std::function<void(CDC*, CPrintInfo*)> begin;
  std::function<void(CDC*, CPrintInfo*)> prepareDC;
  std::function<void(CDC*, CPrintInfo*)> print;
  std::function<void(CDC*, CPrintInfo*)> end;
  CString title;   // the document name
  CString output;  // the file a PDF or PNG printer writes (empty: the printer's own choice)
};

// The print loop: prepare, begin, StartDoc, per page from the first to the last (prepare-DC, StartPage,
// m_rectDraw, print, EndPage; stopping when m_bContinuePrinting is cleared), EndDoc, end. FALSE when prepare
// refused or the printer failed (the document is then aborted, and a message box names its file and the reason:
// the system's, else the printer call that failed); FALSE with a message, nothing begun, when prepare handed over
// no printer's DC.
BOOL AfxRunPrintLoop(const CPrintSteps& steps, CPrintInfo& info);

class CPrintPreviewWnd : public CWnd {
 public:
  // Opens a preview window owned by `owner`; it deletes itself when closed. Null when the job could not be
  // prepared (no printer).
  static CPrintPreviewWnd* Open(CPrintSteps steps, CWnd* owner, int width = 620, int height = 760);

  UINT GetCurrentPage() const { return m_info.m_nCurPage; }
  UINT GetPageCount() const { return m_info.GetMaxPage(); }
  // The text shown above the page ("Page 2 / 6").
  CString GetPageText() const;
  // Shows a page of the job; FALSE for a page outside it.
  BOOL ShowPage(UINT page);
  // The rectangle of the page in the client area.
  CRect GetPageRect() const { return m_pageRect; }
  // The scale the page is shown at, in dots per inch of paper (from the window's size).
  int GetPreviewDpi() const { return m_dpi; }

 protected:
  CPrintPreviewWnd() = default;
  ~CPrintPreviewWnd() override;
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg void OnNext();
  afx_msg void OnPrev();
  afx_msg void OnClosePreview();
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()

 private:
  BOOL Start(CPrintSteps steps, CWnd* owner, int width, int height);
  void Layout(int cx, int cy);
  void RenderPage();
  void UpdateButtons();

  CPrintSteps m_steps;
  CPrintInfo m_info;
  HDC m_hPrinter = nullptr;  // the job's printer DC (owned by m_info's print dialog data)
  HDC m_hPreview = nullptr;  // the current page, drawn at m_dpi
  int m_dpi = 0;
  BOOL m_bBegun = FALSE;
  CRect m_pageRect;
  CButton m_next, m_prev, m_close;
};
