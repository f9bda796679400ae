#include "platform/framework/CPrintPreviewWnd.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/base/SystemError.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/MessageBox.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"
#include "platform/window/Placement.h"

namespace {

constexpr int kBarHeight = 32;
constexpr int kGap = 12;
constexpr int kRenderDpi = 96;
constexpr const char* kClassName = "BrimPrintPreview";

// The application's printer without a dialog (what a preview and direct printing use).
BOOL PrepareDefaultPrinter(CPrintInfo* info) {
  CPrintDialog& pd = *info->m_pPD;
  if (CWinApp* app = AfxGetApp()) app->GetPrinterDeviceDefaults(&pd.m_pd);
  if (!pd.m_pd.hDevNames && !pd.GetDefaults()) return FALSE;
  if (!pd.m_pd.hDC) pd.m_pd.hDC = pd.CreatePrinterDC();
  return TRUE;  // without a DC the print says why
}

// False, having said why, when the prepare step handed over no printer's DC (none, or a screen or memory DC):
// there is no document to print into, so nothing is begun. A printer whose DC could not be made left its reason.
bool HasPrinter(HDC hdc, const CPrintSteps& steps, CPrintInfo& info) {
  if (plat::PrintJobOf(hdc)) return true;
  const DWORD error = hdc ? 0 : ::GetLastError();
  const std::string reason =
      hdc     ? "the device it was given is not a printer."
      : error ? "the printer \"" + std::string(info.m_pPD->GetDeviceName().GetString()) +
                    "\" could not be made ready: " + plat::SystemErrorText(error)
              : "no printer was given.";
  AfxMessageBox(("\"" + std::string(steps.title.GetString()) + "\" could not be printed: " + reason).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
  return false;
}

// Says why the printer failed the document, naming the file it was printing to. `step` says which printer call
// failed, the reason when the printer kept no system error for it (a call out of turn).
void ReportPrintFailure(HDC hdc, const CPrintSteps& steps, const std::string& step) {
  const plat::PrintJob* job = plat::PrintJobOf(hdc);
  const std::string file = job ? job->lastOutput() : std::string(steps.output.GetString());
  const int error = job ? job->lastError() : 0;
  const DWORD systemError = job ? job->lastSystemError() : 0;
  // The C runtime's reason ("File too large.": the classic disk-full error would hide a file-size limit), except for
  // a folder, which reads as in the platform's other file operations; the system's where no errno value says it (a
  // FIFO or a device under the name).
  const std::string reason = error == EISDIR  ? plat::SystemErrorText(ERROR_DIRECTORY_NOT_SUPPORTED)
                             : error          ? plat::ErrnoText(error)
                             : systemError    ? plat::SystemErrorText(systemError)
                                              : "The printer could not " + step + ".";
  const std::string text =
      "\"" + std::string(steps.title.GetString()) + "\" could not be printed to \"" + file + "\": " + reason;
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void RegisterPreviewClass() {
  WNDCLASS wc{};
  if (::GetClassInfo(nullptr, kClassName, &wc)) return;
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = ::DefWindowProc;
  wc.lpszClassName = kClassName;
  ::RegisterClass(&wc);
}

}  // namespace

BOOL AfxRunPrintLoop(const CPrintSteps& steps, CPrintInfo& info) {
  ::SetLastError(0);
  if (!(steps.prepare ? steps.prepare(&info) : PrepareDefaultPrinter(&info))) return FALSE;
  HDC hdc = info.m_pPD->m_pd.hDC;
  if (!HasPrinter(hdc, steps, info)) return FALSE;
  CDC dc;
  dc.Attach(hdc);
  dc.m_bPrinting = TRUE;
  DOCINFO docInfo{sizeof(DOCINFO), steps.title, steps.output.IsEmpty() ? nullptr : steps.output.GetString(), nullptr, 0};
  if (steps.begin) steps.begin(&dc, &info);
  // Every failure of the printer (its file could not be made or written, a page image could not be made, a call
  // out of turn) is reported once the job has ended; `failed` names the call.
  std::string failed;
  if (::StartDoc(hdc, &docInfo) <= 0) failed = "start the document";
  for (info.m_nCurPage = info.GetFromPage(); failed.empty() && info.m_nCurPage <= info.GetToPage(); ++info.m_nCurPage) {
    if (steps.prepareDC) steps.prepareDC(&dc, &info);
    if (!info.m_bContinuePrinting) break;
    if (::StartPage(hdc) <= 0) {
      failed = "start page " + std::to_string(info.m_nCurPage);
      break;
    }
    CRect page(0, 0, ::GetDeviceCaps(hdc, HORZRES), ::GetDeviceCaps(hdc, VERTRES));
    ::DPtoLP(hdc, reinterpret_cast<POINT*>(&page), 2);
    info.m_rectDraw = page;
    if (steps.print) steps.print(&dc, &info);
    if (::EndPage(hdc) <= 0) failed = "finish page " + std::to_string(info.m_nCurPage);
    if (!info.m_bContinuePrinting) break;
  }
  if (failed.empty() && ::EndDoc(hdc) <= 0) failed = "finish the document";
  if (!failed.empty()) ::AbortDoc(hdc);
  if (steps.end) steps.end(&dc, &info);
  dc.Detach();
  if (!failed.empty()) ReportPrintFailure(hdc, steps, failed);
  // The DC belongs to the print dialog data, which deletes it with the CPrintInfo.
  return failed.empty() ? TRUE : FALSE;
}

// ---- Preview window -----------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPrintPreviewWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNext)
  ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrev)
  ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnClosePreview)
END_MESSAGE_MAP()

CPrintPreviewWnd* CPrintPreviewWnd::Open(CPrintSteps steps, CWnd* owner, int width, int height) {
  auto* wnd = new CPrintPreviewWnd;
  if (!wnd->Start(std::move(steps), owner, width, height)) {
    if (wnd->m_hWnd) {
      wnd->DestroyWindow();  // PostNcDestroy deletes it
    } else {
      delete wnd;
    }
    return nullptr;
  }
  return wnd;
}

CPrintPreviewWnd::~CPrintPreviewWnd() {
  if (m_hPreview) ::DeleteDC(m_hPreview);
}

BOOL CPrintPreviewWnd::Start(CPrintSteps steps, CWnd* owner, int width, int height) {
  m_steps = std::move(steps);
  m_info.m_bPreview = TRUE;
  ::SetLastError(0);
  if (!(m_steps.prepare ? m_steps.prepare(&m_info) : PrepareDefaultPrinter(&m_info))) return FALSE;
  m_hPrinter = m_info.m_pPD->m_pd.hDC;
  if (!HasPrinter(m_hPrinter, m_steps, m_info)) return FALSE;
  // Paginated on the printer itself, so the preview holds the printout's pages.
  {
    CDC dc;
    dc.Attach(m_hPrinter);
    dc.m_bPrinting = TRUE;
    if (m_steps.begin) m_steps.begin(&dc, &m_info);
    dc.Detach();
  }
  m_bBegun = TRUE;
  if (m_info.m_nCurPage < m_info.GetMinPage() || m_info.m_nCurPage > m_info.GetMaxPage())
    m_info.m_nCurPage = m_info.GetMinPage();
  RegisterPreviewClass();
  CString caption = "Print Preview";
  if (!m_steps.title.IsEmpty()) caption = m_steps.title + " - " + caption;
  // The window lies whole on the work area of the owner's monitor, shrunk to it where it is larger: a
  // preview taller than the screen hid the page's lower part and the bottom edge that resizes it.
  RECT frame{20, 20, 20 + width, 20 + height};
  {
    const HWND ownerWnd = owner ? owner->GetSafeHwnd() : nullptr;
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    GetMonitorInfo(ownerWnd ? MonitorFromWindow(ownerWnd, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST),
                   &info);
    frame.left = std::max(frame.left, info.rcWork.left);
    frame.top = std::max(frame.top, info.rcWork.top);
    frame.right = frame.left + std::min<LONG>(width, info.rcWork.right - info.rcWork.left);
    frame.bottom = frame.top + std::min<LONG>(height, info.rcWork.bottom - info.rcWork.top);
    frame = plat::KeepOnWorkArea(frame);
  }
  if (!CreateEx(0, kClassName, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, frame.left, frame.top,
                frame.right - frame.left, frame.bottom - frame.top, owner ? owner->GetSafeHwnd() : nullptr,
                nullptr)) {
    // The job began: it ends, as it would with the window.
    m_bBegun = FALSE;
    CDC dc;
    dc.Attach(m_hPrinter);
    if (m_steps.end) m_steps.end(&dc, &m_info);
    dc.Detach();
    return FALSE;
  }
  const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  m_next.Create("Next Page", buttonStyle, CRect(8, 4, 88, 28), this, AFX_ID_PREVIEW_NEXT);
  m_prev.Create("Prev Page", buttonStyle, CRect(92, 4, 172, 28), this, AFX_ID_PREVIEW_PREV);
  m_close.Create("Close", buttonStyle, CRect(176, 4, 256, 28), this, AFX_ID_PREVIEW_CLOSE);
  HGDIOBJ font = ::GetStockObject(DEFAULT_GUI_FONT);
  for (CButton* b : {&m_next, &m_prev, &m_close}) b->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
  ShowWindow(SW_SHOW);
  UpdateWindow();
  return TRUE;
}

CString CPrintPreviewWnd::GetPageText() const {
  // The description's first line with its page number: "%u" becomes the page, "%%" a percent sign.
  CString line = m_info.m_strPageDesc;
  const int nl = line.Find('\n');
  if (nl >= 0) line = line.Left(nl);
  CString out, number;
  number.Format("%u", m_info.m_nCurPage);
  bool placed = false;
  for (int i = 0; i < line.GetLength(); ++i) {
    if (line[i] == '%' && i + 1 < line.GetLength()) {
      if (line[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (line[i + 1] == 'u' && !placed) {
        out += number;
        placed = true;
        ++i;
        continue;
      }
    }
    out += line[i];
  }
  return out;
}

BOOL CPrintPreviewWnd::ShowPage(UINT page) {
  if (page < m_info.GetMinPage() || page > m_info.GetMaxPage()) return FALSE;
  m_info.m_nCurPage = page;
  RenderPage();
  UpdateButtons();
  Invalidate(FALSE);
  return TRUE;
}

void CPrintPreviewWnd::Layout(int cx, int cy) {
  if (!m_hPrinter) return;
  const int physW = std::max(1, ::GetDeviceCaps(m_hPrinter, PHYSICALWIDTH));
  const int physH = std::max(1, ::GetDeviceCaps(m_hPrinter, PHYSICALHEIGHT));
  const int printerDpi = std::max(1, ::GetDeviceCaps(m_hPrinter, LOGPIXELSY));
  const int areaW = std::max(1, cx - 2 * kGap), areaH = std::max(1, cy - kBarHeight - 2 * kGap);
  // The page at the largest scale that fits the area.
  m_dpi = std::clamp(std::min(areaW * printerDpi / physW, areaH * printerDpi / physH), 8, 600);
  if (!m_hPreview) {
    // Drawn once per page at the grid's own 96 units per inch, so every one-unit line is one pixel, and
    // scaled into the window with averaging.
    m_hPreview = plat::CreatePreviewDC(m_hPrinter, kRenderDpi);
    RenderPage();
  }
  const int w = physW * m_dpi / printerDpi, h = physH * m_dpi / printerDpi;
  const int left = std::max(kGap, (cx - w) / 2), top = kBarHeight + std::max(kGap, (cy - kBarHeight - h) / 2);
  m_pageRect.SetRect(left, top, left + w, top + h);
  UpdateButtons();
}

void CPrintPreviewWnd::RenderPage() {
  if (!m_hPreview) return;
  CDC dc;
  dc.Attach(m_hPreview);
  dc.m_bPrinting = TRUE;
  const int saved = dc.SaveDC();
  dc.FillSolidRect(0, 0, ::GetDeviceCaps(m_hPreview, PHYSICALWIDTH), ::GetDeviceCaps(m_hPreview, PHYSICALHEIGHT),
                   RGB(255, 255, 255));
  m_info.m_bContinuePrinting = TRUE;
  if (m_steps.prepareDC) m_steps.prepareDC(&dc, &m_info);
  CRect page(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
  dc.DPtoLP(&page);
  m_info.m_rectDraw = page;
  if (m_steps.print) m_steps.print(&dc, &m_info);
  dc.RestoreDC(saved);
  dc.Detach();
}

void CPrintPreviewWnd::UpdateButtons() {
  if (!m_hWnd) return;
  if (m_next.m_hWnd) m_next.EnableWindow(m_info.m_nCurPage < m_info.GetMaxPage());
  if (m_prev.m_hWnd) m_prev.EnableWindow(m_info.m_nCurPage > m_info.GetMinPage());
  CRect bar;
  GetClientRect(&bar);
  bar.bottom = kBarHeight;
  InvalidateRect(&bar, FALSE);
}

BOOL CPrintPreviewWnd::OnEraseBkgnd(CDC*) { return TRUE; }  // OnPaint covers every pixel

void CPrintPreviewWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CRect bar(client.left, client.top, client.right, kBarHeight);
  dc.FillSolidRect(&bar, ::GetSysColor(COLOR_BTNFACE));
  dc.FillSolidRect(bar.left, bar.bottom - 1, bar.Width(), 1, ::GetSysColor(COLOR_BTNSHADOW));
  CRect area(client.left, kBarHeight, client.right, client.bottom);
  dc.FillSolidRect(&area, RGB(128, 128, 128));
  // The page text right of the buttons.
  CFont* oldFont = dc.SelectObject(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  CRect text(268, 0, client.right - 8, kBarHeight - 1);
  const CString pageText = GetPageText();
  dc.DrawText(pageText, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(oldFont);
  if (!m_hPreview) return;
  // A shadow, the page, a thin frame.
  dc.FillSolidRect(m_pageRect.left + 4, m_pageRect.top + 4, m_pageRect.Width(), m_pageRect.Height(), RGB(64, 64, 64));
  plat::DrawScaledPage(dc.m_hDC, m_pageRect, m_hPreview);
  dc.FillSolidRect(m_pageRect.left - 1, m_pageRect.top - 1, m_pageRect.Width() + 2, 1, RGB(0, 0, 0));
  dc.FillSolidRect(m_pageRect.left - 1, m_pageRect.bottom, m_pageRect.Width() + 2, 1, RGB(0, 0, 0));
  dc.FillSolidRect(m_pageRect.left - 1, m_pageRect.top, 1, m_pageRect.Height(), RGB(0, 0, 0));
  dc.FillSolidRect(m_pageRect.right, m_pageRect.top, 1, m_pageRect.Height(), RGB(0, 0, 0));
}

void CPrintPreviewWnd::OnSize(UINT, int cx, int cy) {
  if (cx > 0 && cy > 0) Layout(cx, cy);
  Invalidate(FALSE);
}

void CPrintPreviewWnd::OnNext() { ShowPage(m_info.m_nCurPage + 1); }
void CPrintPreviewWnd::OnPrev() {
  if (m_info.m_nCurPage > m_info.GetMinPage()) ShowPage(m_info.m_nCurPage - 1);
}
void CPrintPreviewWnd::OnClosePreview() { DestroyWindow(); }

void CPrintPreviewWnd::OnDestroy() {
  if (m_bBegun) {
    m_bBegun = FALSE;
    CDC dc;
    dc.Attach(m_hPrinter);
    dc.m_bPrinting = TRUE;
    if (m_steps.end) m_steps.end(&dc, &m_info);
    dc.Detach();
  }
  CWnd::OnDestroy();
}

void CPrintPreviewWnd::PostNcDestroy() { delete this; }
