#include "platform/framework/CFrameWnd.h"

#include <algorithm>

#include "platform/framework/CPaintDC.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CWinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

namespace plat {
namespace {
StatusSink& Sink() {
  static StatusSink sink;
  return sink;
}
}  // namespace
void SetStatusSink(StatusSink sink) { Sink() = std::move(sink); }
}  // namespace plat

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
END_MESSAGE_MAP()

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd) {
  const bool defaultSize = rect.left == CW_USEDEFAULT;
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  defaultSize ? CW_USEDEFAULT : rect.right - rect.left, defaultSize ? CW_USEDEFAULT : rect.bottom - rect.top,
                  HwndOf(pParentWnd), nullptr);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* old = m_pViewActive;
  if (old == pViewNew) return;
  m_pViewActive = pViewNew;
  if (!bNotify) return;
  if (old) old->OnActivateView(FALSE, pViewNew, old);
  if (pViewNew) pViewNew->OnActivateView(TRUE, pViewNew, old);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::SetMessageText(LPCSTR lpszText) {
  SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  // The text comes as a pointer in lParam, or as a string id in wParam.
  CString text;
  if (lParam)
    text = reinterpret_cast<LPCSTR>(lParam);
  else if (wParam && wParam != AFX_IDS_IDLEMESSAGE)
    text.LoadString(static_cast<UINT>(wParam));
  if (auto& sink = plat::Sink()) sink(text.Str());
  return 0;
}

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_PAINT()
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }
void CView::OnActivateView(BOOL, CView*, CView*) {}
void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

CDocument::~CDocument() {
  for (CView* view : m_views) view->m_pDocument = nullptr;
}

void CDocument::AddView(CView* pView) {
  if (!pView || std::find(m_views.begin(), m_views.end(), pView) != m_views.end()) return;
  m_views.push_back(pView);
  pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
  auto it = std::find(m_views.begin(), m_views.end(), pView);
  if (it == m_views.end()) return;
  m_views.erase(it);
  pView->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
  for (CView* view : m_views)
    if (view != pSender) view->OnUpdate(pSender, lHint, pHint);
}

// ---- Printing ------------------------------------------------------------------------------------------------

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo) {
  // A view that never says how long its document is prints one page.
  if (pInfo) pInfo->m_bContinuePrinting = pInfo->GetMaxPage() != 0xFFFF || pInfo->m_nCurPage == 1;
}
void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
  CPrintDialog& pd = *pInfo->m_pPD;
  pd.m_pd.Flags |= PD_RETURNDC;
  CWinApp* app = AfxGetApp();
  if (pInfo->m_bDirect || pInfo->m_bPreview) {  // the application's printer, without asking
    if (app) app->GetPrinterDeviceDefaults(&pd.m_pd);
    if (!pd.m_pd.hDevNames && !pd.GetDefaults()) return FALSE;
    if (!pd.m_pd.hDC) pd.m_pd.hDC = pd.CreatePrinterDC();
  } else {
    INT_PTR answer = app ? app->DoPrintDialog(&pd) : pd.DoModal();
    if (answer != IDOK) return FALSE;
    if (!pd.m_pd.hDC) pd.m_pd.hDC = pd.CreatePrinterDC();
  }
  return TRUE;  // a printer was chosen: without its DC the print says why
}

CPrintSteps CView::PrintSteps() {
  CPrintSteps steps;
  steps.prepare = [this](CPrintInfo* info) { return OnPreparePrinting(info); };
  steps.begin = [this](CDC* dc, CPrintInfo* info) { OnBeginPrinting(dc, info); };
  steps.prepareDC = [this](CDC* dc, CPrintInfo* info) { OnPrepareDC(dc, info); };
  steps.print = [this](CDC* dc, CPrintInfo* info) { OnPrint(dc, info); };
  steps.end = [this](CDC* dc, CPrintInfo* info) { OnEndPrinting(dc, info); };
  GetWindowText(steps.title);
  if (CDocument* doc = GetDocument(); doc && !doc->GetTitle().IsEmpty()) steps.title = doc->GetTitle();
  return steps;
}

void CView::OnFilePrint() {
  CPrintInfo info;
  info.m_bDirect = m_bDirectPrint;
  AfxRunPrintLoop(PrintSteps(), info);
}

void CView::OnFilePrintPreview() {
  CWnd* owner = GetParentFrame();
  CPrintPreviewWnd::Open(PrintSteps(), owner ? owner : this);
}
