#include "grid/features/CGXCellTipWnd.h"

#include "foundation/VisualStyles.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXGridCore.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXCellTipWnd, CWnd)
IMPLEMENT_DYNAMIC(CGXTextCellTipWnd, CGXCellTipWnd)
IMPLEMENT_DYNAMIC(CGXStaticBitmapCellTipWnd, CGXCellTipWnd)
IMPLEMENT_DYNCREATE(CGXCellTipWndFactory, CObject)

CGXCellTipWnd::~CGXCellTipWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CGXCellTipWnd::CreateTipWnd() {
  if (m_hWnd) return TRUE;
  LPCSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
}

void CGXCellTipWnd::Show() {
  if (!m_hWnd || IsWindowVisible()) return;
  Invalidate(FALSE);
  ShowWindow(SW_SHOWNOACTIVATE);
  UpdateWindow();
}

void CGXCellTipWnd::Hide() {
  if (!m_hWnd || !IsWindowVisible()) return;
  ShowWindow(SW_HIDE);
}

void CGXCellTipWnd::PlaceWindow(const CRect& screen) {
  if (!m_hWnd) return;
  ::SetWindowPos(m_hWnd, HWND_TOP, screen.left, screen.top, screen.Width(), screen.Height(),
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW);
}

LRESULT CGXCellTipWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click on the tip never activates it
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: ForwardMouse(message, wParam, lParam); return 0;
    case WM_CHAR:
      if (HWND grid = m_pGrid ? m_pGrid->GridHwnd() : nullptr) ::SendMessage(grid, message, wParam, lParam);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
  }
}

void CGXCellTipWnd::ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND grid = m_pGrid ? m_pGrid->GridHwnd() : nullptr;
  if (!grid) return;
  POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ::MapWindowPoints(m_hWnd, grid, &pt, 1);
  ::SendMessage(grid, message, wParam, MAKELPARAM(pt.x, pt.y));
}

void CGXCellTipWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  PaintBackground(&dc, client);
  PaintContents(&dc, client);
  PaintFrame(&dc, client);
}

void CGXCellTipWnd::PaintBackground(CDC* dc, const CRect& client) {
  if (SafeIsAppThemed() && SafeIsThemeActive()) {
    if (HTHEME theme = SafeOpenThemeData(m_hWnd, u"TOOLTIP")) {
      SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, 1, &client, nullptr);
      SafeCloseThemeData(theme);
      return;
    }
  }
  if (m_brushBackground.m_hObject)
    dc->FillRect(&client, &m_brushBackground);
  else
    dc->FillSolidRect(&client, ::GetSysColor(COLOR_INFOBK));
}

void CGXCellTipWnd::PaintFrame(CDC* dc, const CRect& client) {
  CBrush black;
  black.CreateSolidBrush(RGB(0, 0, 0));
  dc->FrameRect(&client, &black);
}

// ---- Text tip --------------------------------------------------------------------------------------------

BOOL CGXTextCellTipWnd::CreateTipWnd() {
  if (!m_brushBackground.m_hObject) m_brushBackground.CreateSolidBrush(::GetSysColor(COLOR_INFOBK));
  return CGXCellTipWnd::CreateTipWnd();
}

void CGXTextCellTipWnd::SetText(const CString& text) {
  if (m_hWnd) SetWindowText(text);
}

CString CGXTextCellTipWnd::GetText() const {
  CString text;
  if (m_hWnd) GetWindowText(text);
  return text;
}

void CGXTextCellTipWnd::PaintContents(CDC* dc, const CRect&) {
  CFont font;
  CFont* old = nullptr;
  if (font.CreateFontIndirect(&m_font)) old = dc->SelectObject(&font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(::GetSysColor(COLOR_INFOTEXT));
  CRect r = m_rectText;
  dc->DrawText(GetText(), &r, DT_NOPREFIX | DT_NOCLIP);
  if (old) dc->SelectObject(old);
}

// ---- Bitmap tip ------------------------------------------------------------------------------------------

BOOL CGXStaticBitmapCellTipWnd::CreateTipWnd() {
  if (!m_brushBackground.m_hObject) m_brushBackground.CreateSolidBrush(::GetSysColor(COLOR_INFOBK));
  return CGXCellTipWnd::CreateTipWnd();
}

void CGXStaticBitmapCellTipWnd::PaintContents(CDC* dc, const CRect&) {
  if (!m_hDib) return;
  CGXDIB::Draw(dc, m_hDib, &m_rectBitmap, CGXDIB::natural, 0);
}

// ---- Factory ---------------------------------------------------------------------------------------------

CGXCellTipWnd* CGXCellTipWndFactory::CreateTipWnd(int kind) {
  if (!m_pGrid) return nullptr;
  CGXCellTipWnd* wnd = nullptr;
  if (kind == GX_CELLTIP_TEXT)
    wnd = new CGXTextCellTipWnd(m_pGrid);
  else if (kind == GX_CELLTIP_BITMAP)
    wnd = new CGXStaticBitmapCellTipWnd(m_pGrid);
  if (wnd && !wnd->CreateTipWnd()) {
    delete wnd;
    return nullptr;
  }
  return wnd;
}
