#include "grid/controls/CGXBitmapButtonChild.h"

#include <algorithm>

#include "grid/core/CGXDIB.h"
#include "platform/base/GlobalMemory.h"
#include "platform/window/windowapi.h"

namespace {

// A DIB resource in global memory, or null when it is missing or its bytes are no sound DIB.
HGLOBAL LoadCheckedDib(UINT id) {
  HGLOBAL dib = LoadDibResourceAnyModule(MAKEINTRESOURCE(id));
  if (!dib) return nullptr;
  gx::DibInfo info;
  const void* p = GlobalLock(dib);
  const bool sound = gx::InspectDib(p, GlobalSize(dib), info);
  GlobalUnlock(dib);
  if (sound) return dib;
  GlobalFree(dib);
  return nullptr;
}

CSize DibSize(HGLOBAL dib) {
  if (!dib) return CSize(0, 0);
  gx::DibInfo info;
  const void* p = GlobalLock(dib);
  const bool sound = gx::InspectDib(p, GlobalSize(dib), info);
  GlobalUnlock(dib);
  if (!sound) return CSize(0, 0);
  const LONG h = info.header.biHeight;
  return CSize(info.header.biWidth, h < 0 ? -h : h);
}

}  // namespace

CGXBitmapButtonChild::~CGXBitmapButtonChild() { FreeBitmaps(); }

void CGXBitmapButtonChild::FreeBitmaps() {
  for (HGLOBAL* h : {&m_hNormal, &m_hPressed, &m_hFocus}) {
    if (*h) GlobalFree(*h);
    *h = nullptr;
  }
}

BOOL CGXBitmapButtonChild::LoadBitmaps(UINT normal, UINT pressed, UINT focus) {
  FreeBitmaps();
  m_hNormal = LoadCheckedDib(normal);
  if (!m_hNormal) return FALSE;
  BOOL all = TRUE;
  if (pressed && !(m_hPressed = LoadCheckedDib(pressed))) all = FALSE;
  if (focus && !(m_hFocus = LoadCheckedDib(focus))) all = FALSE;
  m_bRedrawOnChange = pressed != 0 || focus != 0;
  return all;
}

void CGXBitmapButtonChild::Draw(CDC* dc, BOOL) {
  HGLOBAL dib = m_hNormal;
  if (m_bPressed) {
    if (m_hPressed) dib = m_hPressed;
  } else if (m_hFocus && IsActiveChild()) {
    dib = m_hFocus;
  }
  // Natural size from the top-left corner: a lower rectangle shows the picture's top rows.
  CGXDIB::Draw(dc, dib, &m_rect, CGXDIB::natural, 0);
}

CSize CGXBitmapButtonChild::GetBitmapSize() const {
  CSize size(0, 0);
  for (HGLOBAL h : {m_hNormal, m_hPressed, m_hFocus}) {
    const CSize s = DibSize(h);
    size.cx = std::max(size.cx, s.cx);
    size.cy = std::max(size.cy, s.cy);
  }
  return size;
}
