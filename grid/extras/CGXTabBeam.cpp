#include "grid/extras/CGXTabBeam.h"

#include <algorithm>
#include <set>

#include "foundation/VisualStyles.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/base/CException.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CRgn.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXTabInfo, CObject)
IMPLEMENT_DYNCREATE(CGXTabBeam, CWnd)

namespace {

constexpr char kClassName[] = "CGXTabBeam";
constexpr UINT_PTR kRepeatTimer = 1;

// Beams the class procedure made for windows of a dialog template: they belong to their windows.
std::set<CGXTabBeam*>& OwnedByWindow() {
  static std::set<CGXTabBeam*> beams;
  return beams;
}

LRESULT BeamClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* beam = new CGXTabBeam;
  OwnedByWindow().insert(beam);
  beam->SubclassWindow(hwnd);
  *beam->GetSuperWndProcAddr() = ::DefWindowProc;
  return ::CallWindowProc(reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hwnd, GWLP_WNDPROC)), hwnd, message, wParam,
                          lParam);
}

BOOL Themed() { return SafeIsThemeActive() && SafeIsAppThemed(); }

}  // namespace

CGXTabInfo::~CGXTabInfo() {
  if (bDeleteExtra) delete pExtra;
}

// ---- Life ---------------------------------------------------------------------------------------------------

CGXTabBeam::CGXTabBeam() {
  m_nHeight = m_nButtonWidth = ::GetSystemMetrics(SM_CYHSCROLL);
  LoadColors();
}

CGXTabBeam::~CGXTabBeam() {
  for (INT_PTR i = 0; i < m_tabs.GetSize(); ++i) delete m_tabs.GetAt(i);
  m_tabs.RemoveAll();
}

void CGXTabBeam::PostNcDestroy() {
  if (OwnedByWindow().erase(this)) delete this;
}

void CGXTabBeam::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASS wc{};
  if (::GetClassInfo(instance, kClassName, &wc)) return;
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
  wc.lpfnWndProc = BeamClassProc;
  wc.hInstance = instance;
  wc.hCursor = CGXSysColorTable::GetArrowCursor();
  wc.lpszClassName = kClassName;
  if (!::RegisterClass(&wc)) throw new CResourceException;
}

void CGXTabBeam::UnregisterWindowClass(HINSTANCE instance) { ::UnregisterClass(kClassName, instance); }

BOOL CGXTabBeam::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  RegisterWindowClass(AfxGetInstanceHandle());
  // The object exists already: the window is made with the plain procedure and attached here.
  if (!CWnd::CreateEx(0, "GXWND", "", style | WS_CHILD, rect, parent, id)) return FALSE;
  BuildFonts();
  CRect r;
  GetWindowRect(&r);
  SetWindowPos(nullptr, 0, 0, r.Width(), m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LoadColors();
  return TRUE;
}

void CGXTabBeam::BuildFonts() {
  m_fontNormal.DeleteObject();
  m_fontBold.DeleteObject();
  // "Arial", variable pitch and Swiss family, clip precision 0x12; the platform maps the face.
  const int height = std::max(m_nHeight - 2, 1);
  m_fontNormal.CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, 0x12,
                          DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
  m_fontBold.CreateFont(height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, 0x12, DEFAULT_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, "Arial");
}

void CGXTabBeam::LoadColors() {
  m_clrText = ::GetSysColor(COLOR_WINDOWFRAME);
  m_clrFace = ::GetSysColor(COLOR_3DFACE);
  m_clrWindow = ::GetSysColor(COLOR_WINDOW);
  m_clrEmpty = ::GetSysColor(COLOR_SCROLLBAR);
  m_brFace.DeleteObject();
  m_brWindow.DeleteObject();
  m_brBlack.DeleteObject();
  m_penShadow.DeleteObject();
  m_brFace.CreateSolidBrush(m_clrFace);
  m_brWindow.CreateSolidBrush(m_clrWindow);
  m_brBlack.CreateSolidBrush(RGB(0, 0, 0));
  m_penShadow.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
  for (INT_PTR i = 0; i < m_tabs.GetSize(); ++i) {
    CGXTabInfo& t = GetTab(static_cast<int>(i));
    if (!(t.flags & 1)) {
      t.clrNormal = m_clrFace;
      t.brNormal.DeleteObject();
      t.brNormal.CreateSolidBrush(m_clrFace);
    }
    if (!(t.flags & 2)) {
      t.clrCurrent = m_clrWindow;
      t.brCurrent.DeleteObject();
      t.brCurrent.CreateSolidBrush(m_clrWindow);
    }
  }
}

CWnd* CGXTabBeam::GetNotifyWnd() const { return m_pNotifyWnd ? m_pNotifyWnd : GetParent(); }

int CGXTabBeam::ClientWidth() const {
  if (!m_hWnd) return 0;
  CRect r;
  GetClientRect(&r);
  return r.Width();
}

// ---- Geometry -----------------------------------------------------------------------------------------------

int CGXTabBeam::GetTabLeft(int index) const {
  int x = GetButtonAreaWidth() + (m_bShowButtons ? 1 : 0);
  if (index >= m_nFirst) {
    for (int i = m_nFirst; i < index && i < GetCount(); ++i) x += GetTab(i).nWidth + m_nMargin;
  } else {
    for (int i = index; i < m_nFirst; ++i) x -= GetTab(i).nWidth + m_nMargin;
  }
  return x;
}

int CGXTabBeam::TabFromX(int x) const {
  int left = GetTabLeft(m_nFirst);
  if (x < left) return -1;
  for (int i = m_nFirst; i < GetCount(); ++i) {
    const int right = left + GetTab(i).nWidth + m_nMargin;
    if (x < right) return i;
    left = right;
  }
  return -1;
}

int CGXTabBeam::GetLastVisibleTab() const {
  const int width = ClientWidth();
  int last = m_nFirst;
  for (int i = m_nFirst; i < GetCount(); ++i) {
    if (GetTabLeft(i) + GetTab(i).nWidth + 2 * m_nMargin > width) break;
    last = i;
  }
  return std::min(last, std::max(GetCount() - 1, 0));
}

int CGXTabBeam::LastFirstTab() const {
  // Walking back from the end while the tabs still fit the room right of the buttons.
  const int room = ClientWidth() - GetTabLeft(m_nFirst) + (GetTabLeft(m_nFirst) - GetButtonAreaWidth() - 1);
  int used = m_nMargin;
  int first = GetCount() - 1;
  for (int i = GetCount() - 1; i >= 0; --i) {
    used += GetTab(i).nWidth + m_nMargin;
    if (used > room) break;
    first = i;
  }
  return std::max(first, 0);
}

BOOL CGXTabBeam::CanScroll(int code) const {
  if (GetCount() < 2) return FALSE;
  if (code == gxtab::kFirst || code == gxtab::kPrevious) return m_nFirst > 0;
  // Right: a tab lies beyond the client width.
  const int last = GetCount() - 1;
  return GetTabLeft(last) + GetTab(last).nWidth + 2 * m_nMargin > ClientWidth();
}

// ---- Tabs ---------------------------------------------------------------------------------------------------

void CGXTabBeam::InsertTab(BOOL beforeCurrent, LPCTSTR name, CObject* object, BOOL deleteObject, int width,
                           LPARAM value) {
  auto* t = new CGXTabInfo;
  t->sLabel = name ? name : "";
  t->pExtra = object;
  t->bDeleteExtra = deleteObject;
  t->lParam = value;
  t->nWidth = width >= 0 ? width : 60;
  t->clrNormal = m_clrFace;
  t->clrCurrent = m_clrWindow;
  t->brNormal.CreateSolidBrush(m_clrFace);
  t->brCurrent.CreateSolidBrush(m_clrWindow);
  const bool first = GetCount() == 0;
  int at = GetCount();
  if (beforeCurrent && m_nCurrent >= 0) {
    at = m_nCurrent;
    ++m_nCurrent;  // the current tab moves one place on
  }
  m_tabs.InsertAt(at, t);
  if (width < 0) AdjustTabSize(at);
  if (first) {
    m_nCurrent = 0;
    ScrollIntoView(0);
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CGXTabBeam::DeleteTab(int index) {
  if (index < 0 || index >= GetCount()) return;
  if (index == m_nCurrent) {
    m_nCurrent = 0;
    m_nFirst = 0;
  } else if (index < m_nCurrent) {
    --m_nCurrent;  // the same tab stays current
  }
  delete m_tabs.GetAt(index);
  m_tabs.RemoveAt(index);
  if (GetCount() == 0) {
    m_nCurrent = -1;
    m_nFirst = 0;
  } else if (m_nFirst > GetCount() - 1) {
    m_nFirst = GetCount() - 1;
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CGXTabBeam::AdjustTabSize(int index) {
  if (index < 0 || index >= GetCount()) return;
  CGXTabInfo& t = GetTab(index);
  if (!m_fontBold.m_hObject) BuildFonts();
  CDC screen;
  screen.CreateCompatibleDC(nullptr);
  CFont* old = screen.SelectObject(&m_fontBold);
  const CSize extent = screen.GetTextExtent(t.sLabel.IsEmpty() ? CString(" ") : t.sLabel);
  screen.SelectObject(old);
  t.nWidth = extent.cx + m_nMargin;
}

int CGXTabBeam::FindTab(const CObject* object) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetTab(i).pExtra == object) return i;
  return -1;
}

void CGXTabBeam::ScrollIntoView(int index) {
  if (index < 0 || index >= GetCount()) return;
  if (index < m_nFirst) {
    m_nFirst = index;
  } else if (m_hWnd && ClientWidth() > 0) {
    while (m_nFirst < index && index > GetLastVisibleTab()) ++m_nFirst;
  }
}

void CGXTabBeam::SetCurrentTab(int index) {
  if (index < 0 || index >= GetCount()) return;
  const int first = m_nFirst;
  const bool changed = index != m_nCurrent;
  m_nCurrent = index;
  ScrollIntoView(index);
  if ((changed || first != m_nFirst) && m_hWnd) Invalidate(FALSE);
}

void CGXTabBeam::ScrollTabs(int code) {
  if (CWnd* parent = GetParent()) parent->SendMessage(gxtab::kRenameCancelled);
  const int limit = LastFirstTab();
  int target = m_nFirst;
  switch (code) {
    case gxtab::kFirst: target = 0; break;
    case gxtab::kPrevious: target = m_nFirst - 1; break;
    case gxtab::kNext: target = m_nFirst + 1; break;
    case gxtab::kLast: target = GetCount() - 1; break;
    default: return;
  }
  target = std::max(0, std::min(target, limit));
  if (target == m_nFirst) return;
  const int dx = GetTabLeft(m_nFirst) - GetTabLeft(target);
  m_nFirst = target;
  if (!m_hWnd) return;
  CRect strip;
  GetClientRect(&strip);
  strip.left = GetButtonAreaWidth();
  ScrollWindow(dx, 0, &strip, &strip);
  InvalidateRect(&strip, FALSE);
}

// ---- Drawing ------------------------------------------------------------------------------------------------

void CGXTabBeam::DrawTab(CDC* dc, int index, BOOL bHot) {
  if (index < 0 || index >= GetCount()) return;
  CGXTabInfo& t = GetTab(index);
  const int x = GetTabLeft(index), w = t.nWidth, m = m_nMargin;
  const int h = CGXGridGlobals::Get().m_bWin4 ? m_nHeight : m_nHeight - 1;
  const bool current = index == m_nCurrent;
  // 1. Wide at the top, narrow at the bottom.
  const POINT pts[4] = {{x, 0}, {x + w + 2 * m, 0}, {x + w + m, h}, {x + m, h}};
  CRgn region;
  region.CreatePolygonRgn(pts, 4, ALTERNATE);
  // 2. The fill.
  CBrush* fill = nullptr;
  if (current || t.bSel)
    fill = (t.flags & 2) ? &t.brCurrent : &m_brWindow;
  else
    fill = (t.flags & 1) ? &t.brNormal : &m_brFace;
  dc->FillRgn(&region, fill);
  // 3. Themed: the header item, hot.
  if (Themed() && ((t.bHot && bHot) || current)) {
    if (HTHEME theme = SafeOpenThemeData(m_hWnd, u"HEADER")) {
      const RECT text{x + m, 0, x + m + w, h};
      SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, 2, &text, nullptr);
      SafeCloseThemeData(theme);
    }
  }
  // 4. The frame, and the current tab joined to the sheet above.
  dc->FrameRgn(&region, &m_brBlack, 1, 1);
  if (current) dc->FillSolidRect(x + 1, 0, w + 2 * m - 2, 1, m_clrWindow);
  // 5. The shadow along the bottom and up the right edge.
  CPen* oldPen = dc->SelectObject(&m_penShadow);
  dc->MoveTo(x + m + 1, h - 1);
  dc->LineTo(x + w + m - 1, h - 1);
  dc->LineTo(x + w + 2 * m - 2, 0);
  dc->SelectObject(oldPen);
  // 6. The name, centred on one line; the current tab in bold.
  CFont* oldFont = dc->SelectObject(current ? &m_fontBold : &m_fontNormal);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColor = dc->SetTextColor(m_clrText);
  const CSize t1 = dc->GetTextExtent(CString("t"));
  const int top = std::max(0, (h - t1.cy) / 2);
  CRect text(x + m, top, x + m + w, top + t1.cy);
  dc->DrawText(t.sLabel, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
  dc->SelectObject(oldFont);
}

void CGXTabBeam::DrawButton(CDC* dc, int code, BOOL pressed) {
  const int position = m_nButtons == 2 ? code - 1 : code;
  if (position < 0 || position >= m_nButtons) return;
  const CRect r(position * m_nButtonWidth, 0, (position + 1) * m_nButtonWidth, m_nHeight);
  const BOOL enabled = CanScroll(code);
  const bool win4 = CGXGridGlobals::Get().m_bWin4 != FALSE;
  bool drawn = false;
  if (Themed()) {
    if (HTHEME theme = SafeOpenThemeData(m_hWnd, u"BUTTON")) {
      const int state = !enabled ? 4 : pressed ? 3 : m_bHotButton[code] ? 2 : 1;
      drawn = SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, state, &r, nullptr) == S_OK;
      SafeCloseThemeData(theme);
    }
  }
  if (!drawn) {
    const COLORREF frame = ::GetSysColor(COLOR_WINDOWFRAME), face = ::GetSysColor(COLOR_3DFACE),
                   light = ::GetSysColor(COLOR_3DHIGHLIGHT), shadow = ::GetSysColor(COLOR_3DSHADOW);
    dc->FillSolidRect(&r, frame);
    CRect in(r);
    in.DeflateRect(1, 1);
    dc->FillSolidRect(&in, face);
    if (pressed) {
      dc->FillSolidRect(in.left, in.top, in.Width(), 2, shadow);
      dc->FillSolidRect(in.left, in.top, 1, in.Height(), shadow);
      dc->FillSolidRect(in.right - 1, in.top, 1, in.Height(), shadow);
      dc->FillSolidRect(in.left, in.bottom - 1, in.Width(), 1, shadow);
    } else {
      dc->FillSolidRect(in.left, in.top, in.Width() - 1, 1, light);
      dc->FillSolidRect(in.left, in.top, 1, in.Height() - 1, light);
      dc->FillSolidRect(in.right - 1, in.top, 1, in.Height(), shadow);
      dc->FillSolidRect(in.left, in.bottom - 1, in.Width(), 1, shadow);
      if (!win4) {
        dc->FillSolidRect(in.right - 2, in.top + 1, 1, in.Height() - 1, shadow);
        dc->FillSolidRect(in.left + 1, in.bottom - 2, in.Width() - 1, 1, shadow);
      }
    }
    if (win4) dc->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, RGB(0, 0, 0));
  }
  // The arrow: one-pixel columns of heights 1, 3, 5, 7 (and 9 from 20 pixels on), and a bar for first and last.
  const int columns = m_nHeight >= 20 ? 5 : 4;
  const int arrowWidth = (m_nHeight < 20 ? 5 : 6) + (win4 ? 2 : 0);
  const bool bar = code == gxtab::kFirst || code == gxtab::kLast;
  const bool left = code == gxtab::kFirst || code == gxtab::kPrevious;
  const COLORREF color = enabled ? RGB(0, 0, 0) : RGB(0x60, 0x60, 0x60);
  const int shift = pressed ? 1 : 0;
  const int x0 = r.left + (r.Width() - arrowWidth) / 2 + shift + (win4 ? 1 : 0);
  const int cy = r.top + r.Height() / 2 + shift;
  for (int i = 0; i < columns; ++i) {
    const int height = 2 * i + 1;
    const int x = left ? x0 + i : x0 + columns - 1 - i;
    dc->FillSolidRect(x, cy - i, 1, height, color);
  }
  if (bar) {
    const int barHeight = m_nHeight >= 20 ? 9 : 7;
    const int x = left ? x0 - 2 : x0 + columns + 1;
    dc->FillSolidRect(x, cy - barHeight / 2, 1, barHeight, color);
  }
}

void CGXTabBeam::Paint() {
  CPaintDC paint(this);
  CRect update = paint.m_ps.rcPaint;
  CRect client;
  GetClientRect(&client);
  if (m_nRepaintStart == -2) update = client;
  if (update.IsRectEmpty()) return;
  // Off screen into a bitmap of the update rectangle, then copied.
  CDC memory;
  memory.CreateCompatibleDC(&paint);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&paint, update.Width(), update.Height());
  CBitmap* oldBitmap = memory.SelectObject(&bitmap);
  memory.SetViewportOrg(-update.left, -update.top);
  memory.FillSolidRect(&client, m_clrFace);
  CRect strip(client);
  strip.left = GetButtonAreaWidth();
  bool themedBack = false;
  if (Themed()) {
    if (HTHEME theme = SafeOpenThemeData(m_hWnd, u"HEADER")) {
      themedBack = SafeDrawThemeBackground(theme, memory.GetSafeHdc(), 1, 1, &strip, nullptr) == S_OK;
      SafeCloseThemeData(theme);
    }
  }
  if (!themedBack) memory.FillSolidRect(&strip, m_clrEmpty);
  memory.FillSolidRect(client.left, 0, client.Width(), 1, RGB(0, 0, 0));
  if (m_bShowButtons && (update.left < GetButtonAreaWidth() || m_nRepaintStart == -2)) {
    for (int p = 0; p < m_nButtons; ++p) {
      const int code = m_nButtons == 2 ? p + 1 : p;
      DrawButton(&memory, code, m_nPressed == code && m_bPressedLook);
    }
  }
  if (GetCount() > 0) {
    const int last = std::min(GetCount() - 1, std::max(GetLastVisibleTab() + 1, m_nFirst));
    for (int i = last; i >= m_nFirst; --i)
      if (i != m_nCurrent) DrawTab(&memory, i, TRUE);
    if (m_nCurrent >= m_nFirst && m_nCurrent <= last) DrawTab(&memory, m_nCurrent, TRUE);
  }
  // The buttons stay on top of a tab scrolled beneath them.
  if (m_bShowButtons && GetCount() > 0 && m_nFirst > 0) {
    for (int p = 0; p < m_nButtons; ++p) {
      const int code = m_nButtons == 2 ? p + 1 : p;
      DrawButton(&memory, code, m_nPressed == code && m_bPressedLook);
    }
  }
  memory.SetViewportOrg(0, 0);
  paint.BitBlt(update.left, update.top, update.Width(), update.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(oldBitmap);
  if (m_nRepaintStart == -2) m_nRepaintStart = -1;
}

// ---- Mouse --------------------------------------------------------------------------------------------------

int CGXTabBeam::ButtonFromPoint(int x, int y, int required, BOOL scroll) {
  if (!m_bShowButtons || x < 0 || x >= GetButtonAreaWidth() || y < 0 || y >= m_nHeight) return -1;
  const int code = x / m_nButtonWidth + (m_nButtons == 2 ? 1 : 0);
  if (!CanScroll(code)) return -1;
  if (required != -1 && code != required) return -1;
  if (scroll) ScrollTabs(code);
  return code;
}

int CGXTabBeam::ClickedTab(int x) const {
  if (x < GetButtonAreaWidth()) return -1;
  // The slanted edge left of the first visible tab belongs to the tab scrolled out before it.
  if (x < GetTabLeft(m_nFirst) + m_nMargin && m_nFirst > 0) return m_nFirst - 1;
  return TabFromX(x);
}

void CGXTabBeam::SelectTabAtX(int x, int y) {
  (void)y;
  const int tab = ClickedTab(x);
  if (tab < 0) return;
  CWnd* notify = GetNotifyWnd();
  const HWND self = m_hWnd;
  const LRESULT refused = notify ? notify->SendMessage(gxtab::kCanSelect, static_cast<WPARAM>(tab)) : 0;
  if (!::IsWindow(self)) return;
  if (refused == 0 && tab < GetCount()) {
    if (!GetTab(tab).bSel)
      for (int i = 0; i < GetCount(); ++i) GetTab(i).bSel = FALSE;
    const int first = m_nFirst;
    const bool changed = tab != m_nCurrent;
    m_nCurrent = tab;
    ScrollIntoView(tab);
    if (changed || first != m_nFirst) Invalidate(FALSE);
  }
  if (notify) notify->PostMessage(gxtab::kSelected, static_cast<WPARAM>(m_nCurrent));
}

// Tracking runs on the window's own messages (capture, a repeat timer and the button-up), not in a nested
// loop: a held button repeats after 200 ms, then every 20 ms faster down to 100 ms.
void CGXTabBeam::TrackButton(UINT endMessage) {
  (void)endMessage;
  m_bTracking = TRUE;
  m_nRepeatDelay = 200;
  SetCapture();
  SetTimer(kRepeatTimer, m_nRepeatDelay, nullptr);
}

void CGXTabBeam::OnButtonDown(UINT flags, CPoint point) {
  const int code = ButtonFromPoint(point.x, point.y, -1, TRUE);
  if (code >= 0) {
    m_nPressed = code;
    m_bPressedLook = TRUE;
    CRect r(0, 0, GetButtonAreaWidth(), m_nHeight);
    InvalidateRect(&r, FALSE);
    TrackButton(WM_LBUTTONUP);
    return;
  }
  if (point.x < GetButtonAreaWidth()) return;
  const int tab = TabFromX(point.x);
  if ((flags & MK_CONTROL) && tab >= 0) {
    GetTab(tab).bSel = !GetTab(tab).bSel;
  } else if ((flags & MK_SHIFT) && tab >= 0 && m_nCurrent >= 0) {
    for (int i = std::min(tab, m_nCurrent); i <= std::max(tab, m_nCurrent); ++i) GetTab(i).bSel = TRUE;
  } else {
    SelectTabAtX(point.x, point.y);
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CGXTabBeam::OnButtonUp() {
  if (!m_bTracking) return;
  m_bTracking = FALSE;
  KillTimer(kRepeatTimer);
  if (GetCapture() == this) ::ReleaseCapture();
  const bool wasPressed = m_bPressedLook != FALSE;
  m_nPressed = -1;
  m_bPressedLook = FALSE;
  if (wasPressed) {
    CRect r(0, 0, GetButtonAreaWidth(), m_nHeight);
    InvalidateRect(&r, FALSE);
  }
}

void CGXTabBeam::OnRepeat() {
  if (!m_bTracking) return;
  POINT p{};
  ::GetCursorPos(&p);
  ScreenToClient(&p);
  if (m_bPressedLook) ButtonFromPoint(p.x, p.y, m_nPressed, TRUE);
  m_nRepeatDelay = std::max<UINT>(100, m_nRepeatDelay - 20);
  SetTimer(kRepeatTimer, m_nRepeatDelay, nullptr);
}

void CGXTabBeam::OnDoubleClick(UINT flags, CPoint point) {
  if (point.x >= GetButtonAreaWidth() && TabFromX(point.x) >= m_nFirst) {
    // The first click made the tab current; a tab that stayed behind (its sheet or the one shown refused the
    // change, as an edit whose value its cell refuses does) is not renamed, nor is the current one instead.
    if (ClickedTab(point.x) != m_nCurrent) return;
    if (CWnd* notify = GetNotifyWnd()) notify->PostMessage(gxtab::kRename, static_cast<WPARAM>(m_nCurrent));
    return;
  }
  OnButtonDown(flags, point);
}

void CGXTabBeam::OnMove(CPoint point) {
  ::SetCursor(CGXSysColorTable::GetArrowCursor());
  if (m_bTracking) {
    const bool over = ButtonFromPoint(point.x, point.y, m_nPressed, FALSE) == m_nPressed;
    if (over != (m_bPressedLook != FALSE)) {
      m_bPressedLook = over;
      CRect r(0, 0, GetButtonAreaWidth(), m_nHeight);
      InvalidateRect(&r, FALSE);
    }
    return;
  }
  if (!Themed()) return;
  bool changed = false;
  const int code = ButtonFromPoint(point.x, point.y, -1, FALSE);
  for (int c = 0; c < 4; ++c) {
    const BOOL hot = c == code;
    changed |= hot != m_bHotButton[c];
    m_bHotButton[c] = hot;
  }
  const int tab = TabFromX(point.x);
  for (int i = 0; i < GetCount(); ++i) {
    const BOOL hot = i == tab;
    changed |= hot != GetTab(i).bHot;
    GetTab(i).bHot = hot;
  }
  TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
  SafeTrackMouseEvent(&tme);
  if (changed) Invalidate(FALSE);
}

void CGXTabBeam::OnSettingChange() {
  RefreshDateTimeSettings();
  const int height = ::GetSystemMetrics(SM_CYHSCROLL);
  if (height == m_nHeight) return;
  m_nHeight = m_nButtonWidth = height;
  BuildFonts();
  for (int i = 0; i < GetCount(); ++i) AdjustTabSize(i);
  Invalidate(FALSE);
}

LRESULT CGXTabBeam::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  switch (message) {
    case WM_CREATE:
      if (!m_fontNormal.m_hObject) BuildFonts();
      break;
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: {
      // Only while the splitter moves: the part from the repaint start on.
      if (m_nRepaintStart >= 0) {
        CRect r;
        GetClientRect(&r);
        r.left = m_nRepaintStart;
        CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
        dc->FillSolidRect(&r, m_clrEmpty);
      }
      return TRUE;
    }
    case WM_LBUTTONDOWN: OnButtonDown(static_cast<UINT>(wParam), point); return 0;
    case WM_LBUTTONUP: OnButtonUp(); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(static_cast<UINT>(wParam), point); return 0;
    case WM_MOUSEMOVE: OnMove(point); return 0;
    case WM_MOUSELEAVE: {
      bool any = false;
      for (BOOL& hot : m_bHotButton) any |= hot != FALSE, hot = FALSE;
      for (int i = 0; i < GetCount(); ++i) any |= GetTab(i).bHot != FALSE, GetTab(i).bHot = FALSE;
      if (any) Invalidate(FALSE);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimer) {
        OnRepeat();
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (m_bTracking && reinterpret_cast<HWND>(lParam) != m_hWnd) OnButtonUp();
      break;
    case WM_SYSCOLORCHANGE:
      CGXSysColorTable::Refresh();
      LoadColors();
      Invalidate(FALSE);
      return 0;
    case WM_SETTINGCHANGE: OnSettingChange(); return 0;
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
