#include "platform/gdi/CDC.h"

#include <cstring>
#include <string>

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Printers.h"

namespace plat {
int drawTextImpl(HDC dc, LPSTR text, int count, size_t capacity, LPRECT rect, UINT format);
}

CDC::~CDC() {
  if (owns_) DeleteDC();
}

CDC* CDC::FromHandle(HDC h) {
  if (!h) return nullptr;
  if (auto* o = dynamic_cast<CDC*>(plat::FindTempGdiObject(h))) return o;
  auto* o = new CDC();
  o->m_hDC = o->m_hAttribDC = h;
  plat::KeepTempGdiObject(h, o, [](CObject* w) {
    auto* dc = static_cast<CDC*>(w);
    dc->m_hDC = dc->m_hAttribDC = nullptr;
    dc->owns_ = false;
  });
  return o;
}

BOOL CDC::Attach(HDC h) {
  if (!h) return FALSE;
  m_hDC = m_hAttribDC = h;
  owns_ = false;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = m_hAttribDC = nullptr;
  owns_ = false;
  return h;
}

BOOL CDC::CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode) {
  HDC h = ::CreateDCA(driver, device, output, devmode);
  if (!h) return FALSE;
  Attach(h);
  owns_ = true;
  m_bPrinting = ::GetDeviceCaps(h, TECHNOLOGY) == DT_RASPRINTER;
  return TRUE;
}

BOOL CDC::CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode) {
  HDC h = ::CreateICA(driver, device, output, devmode);
  if (!h) return FALSE;
  Attach(h);
  owns_ = true;
  return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  HDC h = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  if (!h) return FALSE;
  Attach(h);
  owns_ = true;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CPen* CDC::SelectObject(CPen* p) {
  return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, p ? p->m_hObject : nullptr)));
}
CBrush* CDC::SelectObject(CBrush* b) {
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, b ? b->m_hObject : nullptr)));
}
CFont* CDC::SelectObject(CFont* f) {
  // A separate attribute device (a printer measuring for the screen) measures with the same font.
  if (m_hAttribDC && m_hAttribDC != m_hDC) ::SelectObject(m_hAttribDC, f ? f->m_hObject : nullptr);
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, f ? f->m_hObject : nullptr)));
}
CBitmap* CDC::SelectObject(CBitmap* b) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, b ? b->m_hObject : nullptr)));
}
int CDC::SelectObject(CRgn* r) {
  return r ? static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, r->m_hObject))) : ERROR;
}
CGdiObject* CDC::SelectObject(CGdiObject* o) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, o ? o->m_hObject : nullptr));
}
CGdiObject* CDC::SelectStockObject(int index) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index)));
}
CPalette* CDC::SelectPalette(CPalette* p, BOOL background) {
  return CPalette::FromHandle(::SelectPalette(m_hDC, p ? static_cast<HPALETTE>(p->m_hObject) : nullptr, background));
}

CPoint CDC::GetBrushOrg() const {
  POINT p{};
  ::GetBrushOrgEx(m_hDC, &p);
  return CPoint(p);
}
CPoint CDC::SetBrushOrg(int x, int y) {
  POINT p{};
  ::SetBrushOrgEx(m_hDC, x, y, &p);
  return CPoint(p);
}
CPoint CDC::GetViewportOrg() const {
  POINT p{};
  ::GetViewportOrgEx(m_hAttribDC, &p);
  return CPoint(p);
}
CPoint CDC::SetViewportOrg(int x, int y) {
  POINT p{};
  ::SetViewportOrgEx(m_hDC, x, y, &p);
  return CPoint(p);
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  POINT p{};
  ::OffsetViewportOrgEx(m_hDC, dx, dy, &p);
  return CPoint(p);
}
CSize CDC::GetViewportExt() const {
  SIZE s{};
  ::GetViewportExtEx(m_hAttribDC, &s);
  return CSize(s);
}
CSize CDC::SetViewportExt(int cx, int cy) {
  SIZE s{};
  ::SetViewportExtEx(m_hDC, cx, cy, &s);
  return CSize(s);
}
CSize CDC::ScaleViewportExt(int xn, int xd, int yn, int yd) {
  SIZE s{};
  ::ScaleViewportExtEx(m_hDC, xn, xd, yn, yd, &s);
  return CSize(s);
}
CPoint CDC::GetWindowOrg() const {
  POINT p{};
  ::GetWindowOrgEx(m_hAttribDC, &p);
  return CPoint(p);
}
CPoint CDC::SetWindowOrg(int x, int y) {
  POINT p{};
  ::SetWindowOrgEx(m_hDC, x, y, &p);
  return CPoint(p);
}
CPoint CDC::OffsetWindowOrg(int dx, int dy) {
  POINT p{};
  ::OffsetWindowOrgEx(m_hDC, dx, dy, &p);
  return CPoint(p);
}
CSize CDC::GetWindowExt() const {
  SIZE s{};
  ::GetWindowExtEx(m_hAttribDC, &s);
  return CSize(s);
}
CSize CDC::SetWindowExt(int cx, int cy) {
  SIZE s{};
  ::SetWindowExtEx(m_hDC, cx, cy, &s);
  return CSize(s);
}
CSize CDC::ScaleWindowExt(int xn, int xd, int yn, int yd) {
  SIZE s{};
  ::ScaleWindowExtEx(m_hDC, xn, xd, yn, yd, &s);
  return CSize(s);
}

// Sizes convert as the difference of two converted points, so that origins cancel.
void CDC::DPtoLP(LPSIZE s) const {
  POINT p[2] = {{0, 0}, {s->cx, s->cy}};
  ::DPtoLP(m_hAttribDC, p, 2);
  s->cx = p[1].x - p[0].x;
  s->cy = p[1].y - p[0].y;
}
void CDC::LPtoDP(LPSIZE s) const {
  POINT p[2] = {{0, 0}, {s->cx, s->cy}};
  ::LPtoDP(m_hAttribDC, p, 2);
  s->cx = p[1].x - p[0].x;
  s->cy = p[1].y - p[0].y;
}

CPoint CDC::GetCurrentPosition() const {
  POINT p{};
  ::GetCurrentPositionEx(m_hAttribDC, &p);
  return CPoint(p);
}
CPoint CDC::MoveTo(int x, int y) {
  POINT p{};
  ::MoveToEx(m_hDC, x, y, &p);
  return CPoint(p);
}

void CDC::FillSolidRect(LPCRECT r, COLORREF color) {
  ::SetBkColor(m_hDC, color);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, "", 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  const RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, color);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight) {
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  // Top row [x, x+cx-1) and left column [y, y+cy-1) in the top-left colour; right column and bottom row, each
  // over its full length, in the bottom-right colour.
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx, y, -1, cy, bottomRight);
  FillSolidRect(x, y + cy, cx, -1, bottomRight);
}

int CDC::GetTextFace(CString& face) const {
  char buf[LF_FACESIZE] = {};
  const int n = ::GetTextFaceA(m_hAttribDC, LF_FACESIZE, buf);
  face = buf;
  return n;
}

CSize CDC::GetTextExtent(LPCSTR text, int count) const {
  SIZE s{};
  ::GetTextExtentPoint32A(m_hAttribDC, text, count, &s);
  return CSize(s);
}

CSize CDC::GetTabbedTextExtent(LPCSTR text, int count, int tabs, LPINT positions) const {
  const DWORD v = ::GetTabbedTextExtentA(m_hAttribDC, text, count, tabs, positions);
  return CSize(LOWORD(v), HIWORD(v));
}

CSize CDC::TabbedTextOut(int x, int y, LPCSTR text, int count, int tabs, LPINT positions, int origin) {
  const LONG v = ::TabbedTextOutA(m_hDC, x, y, text, count, tabs, positions, origin);
  return CSize(LOWORD(static_cast<DWORD>(v)), HIWORD(static_cast<DWORD>(v)));
}

int CDC::DrawText(const CString& s, LPRECT r, UINT format) {
  if (format & DT_MODIFYSTRING) {
    // The shortened text never grows beyond the original length plus the ellipsis.
    CString& text = const_cast<CString&>(s);
    const int len = text.GetLength();
    char* buf = text.GetBuffer(len + 4);
    const int h = plat::drawTextImpl(m_hDC, buf, len, static_cast<size_t>(len) + 5, r, format);
    text.ReleaseBuffer();
    return h;
  }
  return ::DrawTextA(m_hDC, s, s.GetLength(), r, format);
}

int CDC::StartDoc(LPCSTR name) {
  DOCINFO di{};
  di.cbSize = sizeof di;
  di.lpszDocName = name;
  return StartDoc(&di);
}

HDC AfxCreateDC(HGLOBAL devNames, HGLOBAL devMode) {
  plat::DevNamesValue names{"WINSPOOL", plat::DefaultPrinterName(), "", true};
  if (devNames) {
    const void* p = GlobalLock(devNames);
    auto v = plat::UnpackDevNames(p, GlobalSize(devNames));
    GlobalUnlock(devNames);
    if (!v) return nullptr;
    names = *v;
  }
  HDC dc = nullptr;
  if (devMode) {
    const void* p = GlobalLock(devMode);
    const size_t size = GlobalSize(devMode);
    if (!plat::ValidateDevMode(p, size)) dc = ::CreateDCA(names.driver.c_str(), names.device.c_str(), nullptr, p);
    GlobalUnlock(devMode);
  } else {
    dc = ::CreateDCA(names.driver.c_str(), names.device.c_str(), nullptr, nullptr);
  }
  return dc;
}
