#include "platform/framework/CPaintDC.h"

#include "platform/base/CException.h"

namespace plat {
CDC* DcFromHandle(HDC hdc) { return CDC::FromHandle(hdc); }
}  // namespace plat

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(HwndOf(pWnd)) {
  if (!Attach(::BeginPaint(m_hWnd, &m_ps))) AfxThrowResourceException();
}

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

// A null window means the screen, as in the classic class.
CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(HwndOf(pWnd)) {
  if (!Attach(::GetDC(m_hWnd))) AfxThrowResourceException();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(HwndOf(pWnd)) {
  if (!Attach(::GetWindowDC(m_hWnd))) AfxThrowResourceException();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
