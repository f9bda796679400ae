#include "foundation/SECBitmapButton.h"

#include <algorithm>

#include "foundation/ButtonBitmap.h"
#include "foundation/StyleColors.h"
#include "foundation/VisualStyles.h"
#include "platform/gdi/SysColors.h"
#include "platform/framework/CPaintDC.h"


BEGIN_MESSAGE_MAP(SECBitmapButton, SECOwnerDrawButton)
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void SECBitmapButton::ResourceName::Set(LPCSTR name) {
  if (!name) {
    m_id = 0;
    m_text.Empty();
  } else if (IS_INTRESOURCE(name)) {
    m_id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    m_text.Empty();
  } else {
    m_id = 0;
    m_text = name;
  }
}

BOOL SECBitmapButton::LoadBitmapNamed(LPCSTR name) { return name && LoadButtonBitmap(m_bitmap, name); }

BOOL SECBitmapButton::AttachButton(UINT nID, UINT nAlign, LPCSTR lpszBitmap, CWnd* pParent, DWORD nExtStyle) {
  // The bitmap first: a button whose bitmap cannot be had is not attached at all.
  if (!LoadBitmapNamed(lpszBitmap)) return FALSE;
  m_nAlign = nAlign;
  m_bitmapName.Set(lpszBitmap);
  if (!SECOwnerDrawButton::AttachButton(nID, pParent, nExtStyle)) return FALSE;
  CalcLayout();
  return TRUE;
}

BOOL SECBitmapButton::AttachButton(UINT nID, UINT nAlign, UINT nBitmapID, CWnd* pParent, DWORD nExtStyle) {
  return AttachButton(nID, nAlign, MAKEINTRESOURCE(nBitmapID), pParent, nExtStyle);
}

BOOL SECBitmapButton::Create(LPCSTR lpszCaption, DWORD dwStyle, UINT nAlign, UINT nBitmapID, const RECT& rect,
                             CWnd* pParent, UINT nID, DWORD nExtStyle) {
  return Create(lpszCaption, dwStyle, nAlign, MAKEINTRESOURCE(nBitmapID), rect, pParent, nID, nExtStyle);
}

BOOL SECBitmapButton::Create(LPCSTR lpszCaption, DWORD dwStyle, UINT nAlign, LPCSTR lpszBitmap, const RECT& rect,
                             CWnd* pParent, UINT nID, DWORD nExtStyle) {
  if (!LoadBitmapNamed(lpszBitmap)) return FALSE;
  m_nAlign = nAlign;
  m_bitmapName.Set(lpszBitmap);
  if (!SECOwnerDrawButton::Create(lpszCaption, dwStyle, rect, pParent, nID, nExtStyle)) return FALSE;
  CalcLayout();
  return TRUE;
}

void SECBitmapButton::CalcLayout() {
  if (!m_hWnd) return;
  BITMAP bm{};
  if (m_bitmap.m_hObject) m_bitmap.GetBitmap(&bm);
  const int w = bm.bmWidth, h = bm.bmHeight;
  CRect client;
  GetClientRect(&client);
  const int cw = client.Width() - 3, ch = client.Height() - 3;
  CRect bitmap(0, 0, w, h);
  CRect text(0, 0, cw, ch);
  switch (m_nAlign) {
    case SEC_BMP_LEFT:
      bitmap.OffsetRect(m_cxMargin, (ch - h) / 2);
      text.left = bitmap.right + 1;
      break;
    case SEC_BMP_RIGHT:
      bitmap.OffsetRect(cw - w - m_cxMargin, (ch - h) / 2);
      text.right = bitmap.left - 1;
      break;
    case SEC_BMP_TOP:
      bitmap.OffsetRect((cw - w) / 2, m_cyMargin);
      text.top = bitmap.bottom + 1;
      break;
    case SEC_BMP_BOTTOM:
      bitmap.OffsetRect((cw - w) / 2, ch - h - m_cyMargin);
      text.bottom = bitmap.top - 1;
      break;
    case SEC_BMP_ONLY:
      bitmap.OffsetRect((cw - w) / 2, (ch - h) / 2);
      text.SetRectEmpty();
      break;
    default:
      return;  // unknown modes leave both rectangles as they were
  }
  auto clamp = [&](CRect& r) {
    r.left = std::clamp(static_cast<int>(r.left), 0, std::max(cw, 0));
    r.right = std::clamp(static_cast<int>(r.right), 0, std::max(cw, 0));
    r.top = std::clamp(static_cast<int>(r.top), 0, std::max(ch, 0));
    r.bottom = std::clamp(static_cast<int>(r.bottom), 0, std::max(ch, 0));
  };
  clamp(bitmap);
  clamp(text);
  m_rcBitmap = bitmap;
  m_rcText = text;
}

CFont* SECBitmapButton::CaptionFont() const {
  if (CFont* font = GetFont()) return font;
  return CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

void SECBitmapButton::DrawContent(CDC* pDC, LPDRAWITEMSTRUCT lpDIS, CRect interior) {
  const bool themed = IsThemed() != FALSE;
  const bool disabled = (lpDIS->itemState & ODS_DISABLED) != 0;
  CPoint origin = interior.TopLeft();
  // The classic focused button draws one pixel up-left, inside its default outline.
  if ((lpDIS->itemState & ODS_FOCUS) && !m_bFlat && !themed) origin.Offset(-1, -1);

  // 1. The bitmap.
  if (m_bitmap.m_hObject && !m_rcBitmap.IsRectEmpty()) {
    CDC bitmapDC;
    if (bitmapDC.CreateCompatibleDC(pDC)) {
      CBitmap* old = bitmapDC.SelectObject(&m_bitmap);
      const int x = origin.x + m_rcBitmap.left, y = origin.y + m_rcBitmap.top;
      const int cx = m_rcBitmap.Width(), cy = m_rcBitmap.Height();
      const COLORREF face = GetSysColor(COLOR_BTNFACE);
      if (!themed) pDC->BitBlt(x, y, cx, cy, &bitmapDC, 0, 0, SRCCOPY);
      else if (disabled) DrawBitmapDisabled(pDC, x, y, cx, cy, &bitmapDC, 0, 0, face, GetButtonColors().shadow);
      else DrawBitmapTransparent(pDC, x, y, cx, cy, &bitmapDC, 0, 0, face, FALSE);
      bitmapDC.SelectObject(old);
    }
  }

  // 2. The caption.
  if (m_nAlign == SEC_BMP_ONLY) return;
  CString caption;
  GetWindowText(caption);
  CFont* font = CaptionFont();
  if (!font || !font->m_hObject) return;
  CRect text = m_rcText;
  text.OffsetRect(origin.x, origin.y);
  CFont* oldFont = pDC->SelectObject(font);
  pDC->SetBkColor(GetButtonColors().face);
  const int oldMode = pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(themed && disabled ? GetButtonColors().shadow : GetSysColor(COLOR_BTNTEXT));
  pDC->DrawText(caption, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  pDC->SetBkMode(oldMode);
  pDC->SelectObject(oldFont);
}

void SECBitmapButton::DrawFocusFrame(CDC* pDC, CRect rect) {
  CRect focus;
  if (m_nAlign == SEC_BMP_ONLY) {
    focus = m_rcBitmap;
    focus.OffsetRect(rect.left, rect.top);
    focus.InflateRect(3, 3);
  } else {
    CString caption;
    GetWindowText(caption);
    CRect measured(0, 0, 0, 0);
    CFont* oldFont = pDC->SelectObject(CaptionFont());
    pDC->DrawText(caption, &measured, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    pDC->SelectObject(oldFont);
    CRect text = m_rcText;
    text.OffsetRect(rect.left, rect.top);
    const int left = text.left + (text.Width() - measured.Width()) / 2;
    const int top = text.top + (text.Height() - measured.Height()) / 2;
    focus.left = left - 1;
    focus.right = focus.left + measured.Width() + 4;
    focus.top = top;
    focus.bottom = top + measured.Height();
    CRect client;
    GetClientRect(&client);
    client.DeflateRect(4, 4);
    focus.left = std::max(focus.left, client.left);
    focus.top = std::max(focus.top, client.top);
    focus.right = std::min(focus.right, client.right);
    focus.bottom = std::min(focus.bottom, client.bottom);
  }
  pDC->DrawFocusRect(&focus);
}

BOOL SECBitmapButton::SetBitmap(LPCSTR lpszBitmap) {
  if (!LoadBitmapNamed(lpszBitmap)) {
    LoadBitmapNamed(m_bitmapName.Get());
    return FALSE;
  }
  m_bitmapName.Set(lpszBitmap);
  // A bitmap of another size needs its place worked out again.
  CalcLayout();
  if (m_hWnd) Invalidate();
  return TRUE;
}

void SECBitmapButton::SetMargins(int cx, int cy) {
  m_cxMargin = cx;
  m_cyMargin = cy;
  CalcLayout();
  if (m_hWnd) Invalidate();
}

void SECBitmapButton::SizeToContent() {
  if (!m_hWnd) return;
  BITMAP bm{};
  if (m_bitmap.m_hObject) m_bitmap.GetBitmap(&bm);
  CSize caption(0, 0);
  if (m_nAlign != SEC_BMP_ONLY) {
    CString text;
    GetWindowText(text);
    CClientDC dc(this);
    CFont* oldFont = dc.SelectObject(CaptionFont());
    CRect measured(0, 0, 0, 0);
    dc.DrawText(text, &measured, DT_CALCRECT | DT_SINGLELINE);
    dc.SelectObject(oldFont);
    caption = measured.Size();
  }
  int width, height;
  if (m_nAlign == SEC_BMP_LEFT || m_nAlign == SEC_BMP_RIGHT) {
    width = bm.bmWidth + caption.cx + 5;
    height = std::max<int>(bm.bmHeight, caption.cy);
  } else {
    width = std::max<int>(bm.bmWidth, caption.cx);
    height = bm.bmHeight + caption.cy + 5;
  }
  SetWindowPos(nullptr, 0, 0, width + 2 * m_cxMargin + 3, height + 2 * m_cyMargin + 3,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SECBitmapButton::OnSysColorChange() {
  // Reloading maps the bitmap's colour table to the new system colours.
  LoadBitmapNamed(m_bitmapName.Get());
  SECOwnerDrawButton::OnSysColorChange();
}

void SECBitmapButton::OnSize(UINT nType, int cx, int cy) {
  SECOwnerDrawButton::OnSize(nType, cx, cy);
  CalcLayout();
}

void SECBitmapButton::OnDestroy() {
  m_bitmap.DeleteObject();
  SECOwnerDrawButton::OnDestroy();
}
