#include "grid/extras/CGXTabWnd.h"

#include <algorithm>
#include <set>

#include "grid/core/CGXSysColorTable.h"
#include "platform/base/CException.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNCREATE(CGXTabWnd, CWnd)

namespace {

constexpr char kClassName[] = "CGXTabWnd";
constexpr UINT kIdHScroll = 0xEA00, kIdVScroll = 0xEA10, kIdSizeBox = 0xEA20, kIdBeam = 0xEA01, kIdRename = 23001;
constexpr UINT kSplitterCursor = 30980;
// A rename popup that ended is destroyed from the queue, never inside its own message handling.
constexpr UINT kDestroyRename = WM_APP + 0x3A1;

std::set<CGXTabWnd*>& OwnedByWindow() {
  static std::set<CGXTabWnd*> windows;
  return windows;
}

LRESULT TabClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* tabs = new CGXTabWnd;
  OwnedByWindow().insert(tabs);
  tabs->SubclassWindow(hwnd);
  *tabs->GetSuperWndProcAddr() = ::DefWindowProc;
  return ::CallWindowProc(reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hwnd, GWLP_WNDPROC)), hwnd, message, wParam,
                          lParam);
}

CGXTabWnd* TabWndOf(CWnd* sheet) {
  if (!sheet || !sheet->m_hWnd) return nullptr;
  HWND parent = ::GetParent(sheet->m_hWnd);
  return parent ? dynamic_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(parent)) : nullptr;
}

// Holds the popups whose rename ended until the queue destroys them.
std::vector<std::unique_ptr<CGXEditLabelPopup>>& DyingPopups() {
  static std::vector<std::unique_ptr<CGXEditLabelPopup>> dying;
  return dying;
}

}  // namespace

// ---- The rename popup ---------------------------------------------------------------------------------------

BOOL CGXEditLabelPopup::Create(const CString& text, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                               CFont* font) {
  if (!CWnd::CreateEx(0, "EDIT", text, style | WS_CHILD, rect, parent, id)) return FALSE;
  if (font) SetFont(font, FALSE);
  SendMessage(EM_SETSEL, 0, -1);
  return TRUE;
}

LRESULT CGXEditLabelPopup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | CWnd::WindowProc(message, wParam, lParam);
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        if (!m_bDone) {
          m_bDone = TRUE;
          if (CWnd* parent = GetParent())
            parent->SendMessage(wParam == VK_RETURN ? gxtab::kRenameAccepted : gxtab::kRenameCancelled);
        }
        return 0;
      }
      break;
    case WM_KEYUP:
    case WM_CHAR:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;
      break;
    case WM_KILLFOCUS:
      if (!m_bDone) {
        m_bDone = TRUE;
        if (CWnd* parent = GetParent()) parent->SendMessage(gxtab::kRenameCancelled);
      }
      break;
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

// ---- The process-wide interface -----------------------------------------------------------------------------

BOOL CGXTabWndInterface::TabName(CWnd* sheet, CString& name, BOOL bSet) {
  CGXTabWnd* tabs = TabWndOf(sheet);
  const int index = tabs ? tabs->GetBeam().FindTab(sheet) : -1;
  if (index < 0) return FALSE;
  if (bSet)
    tabs->SetTabName(index, name, FALSE);
  else
    name = tabs->GetBeam().GetTab(index).sLabel;
  return TRUE;
}

void CGXTabWndInterface::GetTabName(CString& result, CWnd* sheet, int index) {
  result.Empty();
  CGXTabWnd* tabs = TabWndOf(sheet);
  if (tabs && index >= 0 && index < tabs->GetBeam().GetCount()) result = tabs->GetBeam().GetTab(index).sLabel;
}

// ---- Life ---------------------------------------------------------------------------------------------------

CGXTabWnd::CGXTabWnd(CRuntimeClass* beamClass) {
  CObject* beam = beamClass ? beamClass->CreateObject() : nullptr;
  m_pBeam = dynamic_cast<CGXTabBeam*>(beam);
  if (!m_pBeam) {
    delete beam;
    m_pBeam = new CGXTabBeam;
  }
  CGXGridGlobals& g = CGXGridGlobals::Get();
  // Grids under a tab window use its scroll bars: the window is made from either class.
  g.AddRegisteredClassName(kClassName);
  g.AddRegisteredClassName("GxMdiFrame");
  if (!g.m_pTabWndInt) {
    auto* tabs = new CGXTabWndInterface;
    g.m_pTabWndInt = tabs;
    g.AddToAutoDeleteList(tabs);
  }
  m_hArrow = CGXSysColorTable::GetArrowCursor();
  m_brFace.CreateSolidBrush(::GetSysColor(COLOR_3DFACE));
  ReadMetrics();
}

CGXTabWnd::~CGXTabWnd() {
  m_pActivePane = nullptr;
  m_pRename.reset();
  delete m_pBeam;
  m_pBeam = nullptr;
}

// The active sheet while its window lives: a sheet destroyed behind the tab window's back is forgotten.
CWnd* CGXTabWnd::Active() {
  if (!m_pActivePane) return nullptr;
  if (!::IsWindow(m_hActivePane) || CWnd::FromHandlePermanent(m_hActivePane) != m_pActivePane) {
    m_pActivePane = nullptr;
    m_hActivePane = nullptr;
  }
  return m_pActivePane;
}

void CGXTabWnd::PostNcDestroy() {
  if (OwnedByWindow().erase(this)) delete this;
}

void CGXTabWnd::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASS wc{};
  if (::GetClassInfo(instance, kClassName, &wc)) return;
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
  wc.lpfnWndProc = TabClassProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  if (!::RegisterClass(&wc)) throw new CResourceException;
}

void CGXTabWnd::UnregisterWindowClass(HINSTANCE instance) { ::UnregisterClass(kClassName, instance); }

void CGXTabWnd::ReadMetrics() {
  m_cxVScroll = ::GetSystemMetrics(SM_CXVSCROLL);
  m_cyHScroll = ::GetSystemMetrics(SM_CYHSCROLL);
  m_cyBottom = m_cyHScroll + (CGXGridGlobals::Get().m_bWin4 ? 2 : 0);
}

BOOL CGXTabWnd::Create(CWnd* parent, DWORD style, UINT id, const RECT& rect) {
  m_bHScroll = (style & WS_HSCROLL) != 0;
  m_bVScroll = (style & WS_VSCROLL) != 0;
  if (!CWnd::CreateEx(0, "GxMdiFrame", "", (style & ~(WS_HSCROLL | WS_VSCROLL)) | WS_CLIPCHILDREN, rect, parent, id))
    throw new CResourceException;
  CreateChildren();
  return TRUE;
}

BOOL CGXTabWnd::WantsSizeBox() const {
  CWnd* parent = GetParent();
  return CGXGridGlobals::Get().m_bWin4 && (m_bHScroll || m_bVScroll) && parent &&
         parent->IsKindOf(RUNTIME_CLASS(CFrameWnd));
}

void CGXTabWnd::CreateChildren() {
  if (m_bCreated) return;
  const CRect none(0, 0, 0, 0);
  if (!m_hbar.Create(WS_CHILD | SBS_HORZ | (m_bHScroll ? WS_VISIBLE : 0), none, this, kIdHScroll) ||
      !m_vbar.Create(WS_CHILD | SBS_VERT | (m_bVScroll ? WS_VISIBLE : 0), none, this, kIdVScroll))
    throw new CResourceException;
  m_bSizeBox = WantsSizeBox();
  if (m_bSizeBox && !m_sizebox.Create(WS_CHILD | WS_VISIBLE | SBS_SIZEBOX, none, this, kIdSizeBox))
    throw new CResourceException;
  if (!m_pBeam->Create(WS_CHILD | WS_VISIBLE, none, this, kIdBeam)) throw new CResourceException;
  m_bCreated = TRUE;
}

// ---- Layout -------------------------------------------------------------------------------------------------

CRect CGXTabWnd::GetInsideRect() const {
  CRect r;
  GetClientRect(&r);
  r.bottom = std::max(r.top, r.bottom - m_cyBottom);
  if (m_bVScroll) r.right = std::max(r.left, r.right - m_cxVScroll);
  return r;
}

int CGXTabWnd::MinSplitter() const { return m_pBeam->GetButtonAreaWidth() + 20; }

int CGXTabWnd::MaxSplitter() const {
  CRect r;
  GetClientRect(&r);
  return r.Width() - 2 * m_cyBottom;
}

void CGXTabWnd::RecalcLayout(BOOL noSheet) {
  if (!m_hWnd) return;
  if (!m_bCreated) CreateChildren();
  CRect client;
  GetClientRect(&client);
  if (m_nSplitter < 0) {
    m_nSplitter = client.Width() / 2;
    m_nSplitter100 = m_nSplitter * 100L;
    m_nClientWidth = client.Width();
  }
  const int stripTop = client.bottom - m_cyBottom;
  HDWP dwp = ::BeginDeferWindowPos(5);
  // Each child lies one pixel beyond its rectangle on every side; one already there stays.
  auto place = [&](CWnd& w, CRect r, bool border) {
    if (!w.m_hWnd) return;
    if (border) {
      const bool thin = r.Width() < 2 || r.Height() < 2;
      const bool has = (w.GetStyle() & WS_BORDER) != 0;
      if (thin != has) w.ModifyStyle(thin ? 0 : WS_BORDER, thin ? WS_BORDER : 0);
    }
    r.InflateRect(1, 1);
    CRect now;
    w.GetWindowRect(&now);
    ScreenToClient(&now);
    if (now == r) return;
    dwp = ::DeferWindowPos(dwp, w.m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const int right = client.right - (m_bVScroll ? m_cxVScroll : 0);
  if (m_bHScroll) place(m_hbar, CRect(m_nSplitter + m_nSplitterWidth, stripTop, right, client.bottom), true);
  if (m_bVScroll) place(m_vbar, CRect(client.right - m_cxVScroll, client.top, client.right, stripTop), true);
  if (m_bSizeBox && m_sizebox.m_hWnd) {
    place(m_sizebox, CRect(client.right - m_cxVScroll, stripTop, client.right, client.bottom), true);
    // A grip while the corner is the bottom-right corner of a sizable, not maximised frame.
    CWnd* frame = GetParent();
    BOOL grip = FALSE;
    if (frame && (frame->GetStyle() & WS_THICKFRAME) && !frame->IsZoomed()) {
      CRect mine, theirs;
      GetWindowRect(&mine);
      frame->GetClientRect(&theirs);
      frame->ClientToScreen(&theirs);
      grip = mine.BottomRight() == theirs.BottomRight();
    }
    m_sizebox.ModifyStyle(grip ? SBS_SIZEBOX : SBS_SIZEGRIP, grip ? SBS_SIZEGRIP : SBS_SIZEBOX);
    m_sizebox.EnableWindow(grip);
  }
  place(*m_pBeam, CRect(0, stripTop, m_bHScroll ? m_nSplitter : client.right, client.bottom), false);
  const CRect inside = GetInsideRect();
  if (!noSheet && Active()) {
    CRect now;
    m_pActivePane->GetWindowRect(&now);
    ScreenToClient(&now);
    if (now != inside)
      dwp = ::DeferWindowPos(dwp, m_pActivePane->m_hWnd, nullptr, inside.left, inside.top, inside.Width(),
                             inside.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::EndDeferWindowPos(dwp);
  if (!noSheet && Active())
    m_pActivePane->SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(inside.Width(), inside.Height()));
  m_bLaidOut = TRUE;
  InvalidateRect(CRect(m_nSplitter, stripTop, m_nSplitter + m_nSplitterWidth + 1, client.bottom), TRUE);
}

void CGXTabWnd::MoveSplitter(int x) {
  const int lo = MinSplitter(), hi = MaxSplitter();
  // The splitter stops at the buttons plus 20 pixels and at twice the strip's height from the right.
  x = std::max(lo, std::min(x, hi));
  if (x == m_nSplitter) return;
  m_pBeam->SetRepaintStart(std::min(x, m_nSplitter));
  m_nSplitter = x;
  m_nSplitter100 = x * 100L;
  RecalcLayout(TRUE);
  UpdateWindow();
}

// ---- Sheets -------------------------------------------------------------------------------------------------

void CGXTabWnd::SaveScrollState(CWnd* sheet, CGXTabInfo& tab) {
  if (!sheet || !sheet->m_hWnd) return;
  for (int b : {SB_HORZ, SB_VERT}) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    CScrollBar* bar = sheet->GetScrollBarCtrl(b);
    const BOOL ok = bar ? bar->GetScrollInfo(&si, 0x17) : sheet->GetScrollInfo(b, &si, 0x17);
    if (!ok) {
      if (bar)
        bar->GetScrollRange(&si.nMin, &si.nMax);
      else
        sheet->GetScrollRange(b, &si.nMin, &si.nMax);
    }
    tab.sbInfo[b] = si;
    tab.nScrollPos[b] = bar ? bar->GetScrollPos() : sheet->GetScrollPos(b);
  }
}

void CGXTabWnd::RestoreScrollState(const CGXTabInfo& tab) {
  for (int b : {SB_HORZ, SB_VERT}) {
    CScrollBar& bar = GetScrollBar(b);
    if (!bar.m_hWnd) continue;
    SCROLLINFO si = tab.sbInfo[b];
    bar.EnableWindow(si.nMax != 0);
    si.cbSize = sizeof si;
    si.fMask = 0x1F;
    if (!bar.SetScrollInfo(&si, TRUE)) bar.SetScrollRange(si.nMin, si.nMax, TRUE);
    bar.SetScrollPos(tab.nScrollPos[b], TRUE);
  }
}

void CGXTabWnd::ActivateSheet(CWnd* sheet) {
  m_pActivePane = sheet;
  m_hActivePane = sheet ? sheet->m_hWnd : nullptr;
  if (!sheet || !sheet->m_hWnd) return;
  const HWND self = m_hWnd, pane = sheet->m_hWnd;
  sheet->ShowWindow(SW_SHOW);
  sheet->SetFocus();
  if (!::IsWindow(self) || !::IsWindow(pane)) return;
  if (auto* view = dynamic_cast<CView*>(sheet))
    if (CFrameWnd* frame = sheet->GetParentFrame()) frame->SetActiveView(view);
}

void CGXTabWnd::AttachWindow(CWnd* sheet, LPCTSTR name) {
  if (!sheet) return;
  if (!m_bLaidOut) RecalcLayout(TRUE);
  const CRect inside = GetInsideRect();
  if (sheet->m_hWnd) sheet->MoveWindow(inside.left, inside.top, inside.Width(), inside.Height(), FALSE);
  m_pBeam->InsertTab(FALSE, name, sheet, FALSE, -1, 0);
  const int index = m_pBeam->GetCount() - 1;
  if (sheet->m_hWnd) sheet->ShowScrollBar(SB_BOTH, FALSE);
  if (!Active()) {
    ActivateSheet(sheet);
  } else if (sheet->m_hWnd) {
    sheet->ShowWindow(SW_HIDE);
  }
  if (sheet->m_hWnd) sheet->SendMessage(gxtab::kAttached, static_cast<WPARAM>(index));
  SaveScrollState(sheet, m_pBeam->GetTab(index));
}

LRESULT CGXTabWnd::AskChange(int tab) {
  if (tab < 0 || tab >= m_pBeam->GetCount()) return 1;
  auto* sheet = dynamic_cast<CWnd*>(m_pBeam->GetTab(tab).pExtra);
  CWnd* active = Active();
  if (sheet == active) return 1;  // nothing changes
  const bool leftOk = !active || active->SendMessage(gxtab::kRefuseChange, 0) == 0;
  const bool enterOk = leftOk && (!sheet || !sheet->m_hWnd || sheet->SendMessage(gxtab::kRefuseChange, 1) == 0);
  if (leftOk && enterOk) return 0;
  if (Active()) m_pActivePane->SetFocus();
  return 1;
}

void CGXTabWnd::ActivateTab(CWnd* sheet) {
  const int index = m_pBeam->FindTab(sheet);
  if (index < 0) return;
  if (CWnd* active = Active(); active && active != sheet) {
    if (AskChange(index) != 0) return;
    const int old = m_pBeam->FindTab(active);
    if (old >= 0) SaveScrollState(active, m_pBeam->GetTab(old));
    active->ShowWindow(SW_HIDE);
  }
  m_pBeam->SetCurrentTab(index);
  ActivateSheet(sheet);
  RestoreScrollState(m_pBeam->GetTab(index));
  if (sheet->m_hWnd) sheet->Invalidate();
  RecalcLayout();
}

void CGXTabWnd::OnTabSelected(int tab) {
  if (tab < 0 || tab >= m_pBeam->GetCount()) return;
  auto* sheet = dynamic_cast<CWnd*>(m_pBeam->GetTab(tab).pExtra);
  if (!sheet) return;
  CWnd* active = Active();
  if (sheet != active) {
    // The beam asked (1927) before it made the tab current: switch without asking again.
    if (active) {
      const int old = m_pBeam->FindTab(active);
      if (old >= 0) SaveScrollState(active, m_pBeam->GetTab(old));
      active->ShowWindow(SW_HIDE);
    }
    m_pBeam->SetCurrentTab(tab);
    ActivateSheet(sheet);
    RestoreScrollState(m_pBeam->GetTab(tab));
    if (sheet->m_hWnd) sheet->Invalidate();
    RecalcLayout();
    return;
  }
  MSG pending;
  if (::PeekMessage(&pending, m_hWnd, gxtab::kRename, gxtab::kRename, PM_NOREMOVE)) return;
  ActivateSheet(sheet);
  if (sheet->m_hWnd) sheet->Invalidate();
}

void CGXTabWnd::SetTabName(int index, LPCTSTR name, BOOL notify) {
  if (index < 0 || index >= m_pBeam->GetCount()) return;
  m_pBeam->GetTab(index).sLabel = name ? name : "";
  m_pBeam->AdjustTabSize(index);
  if (m_pBeam->m_hWnd) m_pBeam->Invalidate(FALSE);
  if (!notify) return;
  if (auto* sheet = dynamic_cast<CWnd*>(m_pBeam->GetTab(index).pExtra); sheet && sheet->m_hWnd)
    sheet->SendMessage(gxtab::kRenamed, static_cast<WPARAM>(index));
}

CString CGXTabWnd::GetTabNameOfWindow(CWnd* sheet) const {
  const int index = m_pBeam->FindTab(sheet);
  return index >= 0 ? m_pBeam->GetTab(index).sLabel : CString();
}

void CGXTabWnd::DeleteTab(int index) {
  if (index < 0 || index >= m_pBeam->GetCount()) return;
  auto* sheet = dynamic_cast<CWnd*>(m_pBeam->GetTab(index).pExtra);
  const bool wasActive = sheet && sheet == Active();
  m_pBeam->DeleteTab(index);
  if (m_pBeam->GetCount() == 0) {
    if (wasActive && sheet->m_hWnd) sheet->ShowWindow(SW_HIDE);
    m_pActivePane = nullptr;
    m_hActivePane = nullptr;
    return;
  }
  auto* current = dynamic_cast<CWnd*>(m_pBeam->GetTab(m_pBeam->GetCurrentTab()).pExtra);
  if (current == m_pActivePane) return;
  if (Active()) m_pActivePane->ShowWindow(SW_HIDE);
  ActivateSheet(current);
  RestoreScrollState(m_pBeam->GetTab(m_pBeam->GetCurrentTab()));
  RecalcLayout();
}

// ---- Renaming -----------------------------------------------------------------------------------------------

void CGXTabWnd::OnRename(int tab) {
  if (m_pRename || tab < 0 || tab >= m_pBeam->GetCount()) return;
  auto* sheet = dynamic_cast<CWnd*>(m_pBeam->GetTab(tab).pExtra);
  if (sheet && sheet->m_hWnd && sheet->SendMessage(gxtab::kMayRename, static_cast<WPARAM>(tab)) == 0) return;
  // 15 "W"s wide, two text lines above the bottom of the inside rectangle.
  CDC screen;
  screen.CreateCompatibleDC(nullptr);
  CFont* old = screen.SelectObject(m_pBeam->GetNormalFont());
  const CSize w = screen.GetTextExtent(CString("W"));
  screen.SelectObject(old);
  const int b = ::GetSystemMetrics(SM_CYBORDER);
  CRect client;
  GetClientRect(&client);
  POINT at{m_pBeam->GetTabLeft(tab), 0};
  m_pBeam->ClientToScreen(&at);
  ScreenToClient(&at);
  CRect r;
  r.left = at.x;
  r.right = r.left + 15 * w.cx;
  r.top = std::max<LONG>(0, GetInsideRect().bottom - 2 * (w.cy + b));
  r.bottom = r.top + w.cy + 4 * b;
  if (r.Width() > client.Width()) r.right = r.left + client.Width();
  if (r.right > client.right) r.OffsetRect(-std::min<LONG>(r.right - client.right, r.left), 0);
  DWORD style = WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  if (!CGXGridGlobals::Get().m_bWin4) style |= WS_DLGFRAME;
  auto popup = std::make_unique<CGXEditLabelPopup>();
  if (!popup->Create(m_pBeam->GetTab(tab).sLabel, style, r, this, kIdRename, m_pBeam->GetNormalFont())) return;
  m_pRename = std::move(popup);
  m_pRename->SetFocus();
}

void CGXTabWnd::OnRenameAccepted() {
  if (!m_pRename) return;
  CString text;
  m_pRename->GetWindowText(text);
  EndRename();
  SetTabName(m_pBeam->GetCurrentTab(), text, TRUE);
}

void CGXTabWnd::EndRename() {
  if (!m_pRename) return;
  std::unique_ptr<CGXEditLabelPopup> popup = std::move(m_pRename);
  popup->ShowWindow(SW_HIDE);
  if (Active() && ::GetFocus() == popup->m_hWnd) m_pActivePane->SetFocus();
  DyingPopups().push_back(std::move(popup));
  PostMessage(kDestroyRename);
}

// ---- Messages -----------------------------------------------------------------------------------------------

void CGXTabWnd::OnSize(UINT type, int cx, int cy) {
  EndRename();
  if (Active()) m_pActivePane->SendMessage(gxtab::kResizing, 1);
  if (type != SIZE_MINIMIZED && cx >= 1 && cx <= 32766 && cy >= 1 && cy <= 32766) {
    if (m_nSplitter < 0 || m_nClientWidth <= 0) {
      m_nSplitter = cx / 2;
      m_nSplitter100 = m_nSplitter * 100L;
    } else {
      // The splitter keeps its proportion of the room beyond the buttons.
      const long offset = (m_pBeam->GetButtonAreaWidth() - 20) * 100L;
      m_nSplitter100 = (m_nSplitter100 - offset) * cx / m_nClientWidth + offset;
      m_nSplitter = static_cast<int>(m_nSplitter100 / 100);
    }
    m_nClientWidth = cx;
    RecalcLayout();
    UpdateWindow();
  }
  if (Active()) {
    m_pActivePane->SendMessage(gxtab::kResizing, 0);
    CRect r;
    m_pActivePane->GetClientRect(&r);
    m_pActivePane->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.Width(), r.Height()));
  }
}

void CGXTabWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  const int top = client.bottom - m_cyBottom;
  dc.FillRect(CRect(m_nSplitter, top, m_nSplitter + m_nSplitterWidth + 1, client.bottom), &m_brFace);
  const COLORREF lines[5] = {RGB(0, 0, 0), ::GetSysColor(COLOR_3DHIGHLIGHT), ::GetSysColor(COLOR_3DFACE),
                             ::GetSysColor(COLOR_3DSHADOW), RGB(0, 0, 0)};
  for (int i = 0; i < 5; ++i) dc.FillSolidRect(m_nSplitter + 1 + i, top, 1, client.bottom - top, lines[i]);
  if (!CGXGridGlobals::Get().m_bWin4) dc.FillSolidRect(m_nSplitter, top, m_nSplitterWidth + 1, 1, RGB(0, 0, 0));
}

BOOL CGXTabWnd::InSplitter(CPoint point) const {
  CRect client;
  GetClientRect(&client);
  return m_bHScroll && point.x >= m_nSplitter + 1 && point.x <= m_nSplitter + m_nSplitterWidth &&
         point.y >= client.bottom - m_cyBottom && point.y < client.bottom;
}

void CGXTabWnd::OnButtonDown(CPoint point) {
  if (!InSplitter(point)) return;
  m_bDragging = TRUE;
  SetCapture();
}

void CGXTabWnd::OnMouseMove(CPoint point) {
  if (m_bDragging) MoveSplitter(point.x - 1);
}

void CGXTabWnd::OnButtonUp() {
  if (!m_bDragging) return;
  m_bDragging = FALSE;
  if (GetCapture() == this) ::ReleaseCapture();
  m_pBeam->SetRepaintStart(-2);
  m_pBeam->Invalidate(FALSE);
}

BOOL CGXTabWnd::OnSetCursor() {
  POINT p{};
  ::GetCursorPos(&p);
  ScreenToClient(&p);
  if (!m_bDragging && !InSplitter(p)) return FALSE;
  HCURSOR cursor = ::LoadCursor(plat::ResourceTable::ModuleHandle("grid"), MAKEINTRESOURCE(kSplitterCursor));
  if (!cursor) cursor = ::LoadCursor(nullptr, IDC_SIZEWE);
  ::SetCursor(cursor);
  return TRUE;
}

void CGXTabWnd::OnSettingChange() {
  RefreshDateTimeSettings();
  ReadMetrics();
  RecalcLayout();
}

LRESULT CGXTabWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  switch (message) {
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: {
      CRect client;
      GetClientRect(&client);
      CDC::FromHandle(reinterpret_cast<HDC>(wParam))->FillRect(&client, &m_brFace);
      return TRUE;
    }
    case WM_LBUTTONDOWN: OnButtonDown(point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(point); return 0;
    case WM_LBUTTONUP: OnButtonUp(); return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == m_hWnd && OnSetCursor()) return TRUE;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      EndRename();
      if (Active()) return m_pActivePane->SendMessage(message, wParam, lParam);
      return 0;
    case WM_SETFOCUS:
      if (Active()) m_pActivePane->SetFocus();
      return 0;
    case WM_SYSCOLORCHANGE:
      CGXSysColorTable::Refresh();
      m_brFace.DeleteObject();
      m_brFace.CreateSolidBrush(::GetSysColor(COLOR_3DFACE));
      if (m_pBeam->m_hWnd) m_pBeam->SendMessage(WM_SYSCOLORCHANGE);
      Invalidate();
      return 0;
    case WM_SETTINGCHANGE: OnSettingChange(); return 0;
    case gxtab::kSelected: OnTabSelected(static_cast<int>(wParam)); return 0;
    case gxtab::kRename: OnRename(static_cast<int>(wParam)); return 0;
    case gxtab::kCanSelect: return AskChange(static_cast<int>(wParam));
    case gxtab::kRenameAccepted: OnRenameAccepted(); return 0;
    case gxtab::kRenameCancelled: EndRename(); return 0;
    case kDestroyRename: DyingPopups().clear(); return 0;
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
