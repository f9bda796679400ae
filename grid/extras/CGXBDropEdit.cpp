#include "grid/extras/CGXBDropEdit.h"

#include "foundation/VisualStyles.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/extras/GXThemeOwner.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CGXBDropEdit, CEdit)

namespace {

constexpr UINT kFrameFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED;  // 0x27

}  // namespace

CGXBDropEdit::CGXBDropEdit() = default;

CGXBDropEdit::~CGXBDropEdit() { m_bmpGlyph.DeleteObject(); }

LPCSTR CGXBDropEdit::WindowClassName() const { return WC_EDIT; }

BOOL CGXBDropEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  CGXSysColorTable::Refresh();
  if (!CWnd::Create(WindowClassName(), "", style, rect, parent, id)) return FALSE;
  if (HasButtonBitmap()) RecomputeFrame();
  return TRUE;
}

void CGXBDropEdit::RecomputeFrame() { SetWindowPos(nullptr, 0, 0, 0, 0, kFrameFlags); }

BOOL CGXBDropEdit::SetButtonBitmap(UINT resourceId) {
  m_bmpGlyph.DeleteObject();
  m_rcButton.SetRectEmpty();
  m_nBitmapId = resourceId;
  if (resourceId != 0 && !LoadSysColorBitmap(m_bmpGlyph, MAKEINTRESOURCE(resourceId))) m_nBitmapId = 0;
  if (m_hWnd) RecomputeFrame();
  return TRUE;
}

CWnd* CGXBDropEdit::ParentWnd() const {
  HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  return parent ? CWnd::FromHandle(parent) : nullptr;
}

BOOL CGXBDropEdit::HitTestButton(int x, int y, BOOL clientCoordinates) {
  CPoint pt(x, y);
  if (CWnd* parent = ParentWnd()) {
    if (clientCoordinates) ClientToScreen(&pt);
    parent->ScreenToClient(&pt);
  }
  return m_rcButton.PtInRect(pt);
}

void CGXBDropEdit::OnButtonClicked() {
  if (CWnd* parent = ParentWnd())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGXBDropEdit::InvalidateButton() {
  if (CWnd* parent = ParentWnd()) parent->InvalidateRect(&m_rcButton, FALSE);
}

void CGXBDropEdit::SetFlag(WORD flag, bool on) {
  m_wFlags = static_cast<WORD>(on ? (m_wFlags | flag) : (m_wFlags & ~flag));
}

void CGXBDropEdit::OnNcCalcSize(LPARAM lParam) {
  m_rcButton.SetRectEmpty();
  BITMAP bm{};
  m_bmpGlyph.GetBitmap(&bm);
  const int width = m_nLeftMargin + bm.bmWidth + m_nRightMargin + 4;
  // The first rectangle of both forms of the message; a child's is in its parent's client coordinates.
  RECT& client = *reinterpret_cast<RECT*>(lParam);
  if (m_wFlags & kRightEdge) {
    client.right -= width;
    m_rcButton.left = client.right;
    m_rcButton.right = client.right + width;
  } else {
    m_rcButton.left = client.left;
    m_rcButton.right = client.left + width;
    client.left += width;
  }
  m_rcButton.top = client.top;
  m_rcButton.bottom = client.bottom;
}

void CGXBDropEdit::PaintButton() {
  CRect window;
  GetWindowRect(&window);
  if (CWnd* parent = ParentWnd()) parent->ScreenToClient(&window);
  CRect button = m_rcButton;
  button.OffsetRect(-window.left, -window.top);
  CWindowDC dc(this);
  CDC memory;
  CBitmap bitmap;
  if (!memory.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, button.Width(), button.Height())) {
    DrawButton(&dc, button);
    return;
  }
  CBitmap* old = memory.SelectObject(&bitmap);
  gx::ThemeOwnerScope owner(m_hWnd);
  DrawButton(&memory, CRect(0, 0, button.Width(), button.Height()));
  if (!IsWindowEnabled()) DrawDisabledGlyph(&memory, 2, 2, button.Width() - 4, button.Height() - 4);
  dc.BitBlt(button.left, button.top, button.Width(), button.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}

void CGXBDropEdit::DrawButton(CDC* dc, CRect rect) {
  bool themed = false;
  {
    HWND owner = gx::ThemedOwner(*dc);
    if (owner && CWnd::FromHandlePermanent(owner)) {
      if (HTHEME theme = SafeOpenThemeData(owner, u"BUTTON")) {
        const int state = (m_wFlags & kPressed) ? 3 : (m_wFlags & kHot) ? 2 : 1;
        SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, state, &rect, nullptr);
        SafeCloseThemeData(theme);
        rect.DeflateRect(2, 2);
        themed = true;
      }
    }
  }
  if (!themed) {
    const COLORREF face = CGXSysColorTable::GetColor(COLOR_BTNFACE);
    const COLORREF shadow = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
    if (m_wFlags & kPressed) {
      dc->Draw3dRect(&rect, shadow, shadow);
      rect.DeflateRect(1, 1);
      dc->FillSolidRect(&rect, face);
      rect.DeflateRect(1, 1);
    } else {
      dc->Draw3dRect(&rect, face, CGXSysColorTable::GetColor(COLOR_WINDOWFRAME));
      rect.DeflateRect(1, 1);
      dc->Draw3dRect(&rect, CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT), shadow);
      rect.DeflateRect(1, 1);
      dc->FillSolidRect(&rect, face);
    }
  }
  CDC memory;
  if (!m_bmpGlyph.GetSafeHandle() || !memory.CreateCompatibleDC(dc)) return;
  BITMAP bm{};
  m_bmpGlyph.GetBitmap(&bm);
  CBitmap* old = memory.SelectObject(&m_bmpGlyph);
  int x = rect.left + m_nLeftMargin;
  int y = rect.top + (rect.Height() - bm.bmHeight) / 2;
  if (m_wFlags & kPressed) ++x, ++y;
  dc->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}

void CGXBDropEdit::DrawDisabledGlyph(CDC* dc, int x, int y, int cx, int cy) {
  if (cx <= 0 || cy <= 0) return;
  CDC mask;
  CBitmap bits;
  if (!mask.CreateCompatibleDC(dc) || !bits.CreateBitmap(cx, cy, 1, 1, nullptr)) return;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  CBitmap* oldBits = mask.SelectObject(&bits);
  mask.PatBlt(0, 0, cx, cy, WHITENESS);
  // Face and highlight pixels become white in the mask, every other pixel black.
  const COLORREF oldBk = dc->SetBkColor(face);
  mask.BitBlt(0, 0, cx, cy, dc, x, y, SRCCOPY);
  dc->SetBkColor(highlight);
  mask.BitBlt(0, 0, cx, cy, dc, x, y, SRCPAINT);
  dc->SetBkColor(RGB(255, 255, 255));
  const COLORREF oldText = dc->SetTextColor(RGB(0, 0, 0));
  constexpr DWORD kBrushWhereBlack = 0x00B8074A;
  CBrush highlightBrush(highlight), shadowBrush(shadow);
  CBrush* oldBrush = dc->SelectObject(&highlightBrush);
  dc->BitBlt(x + 1, y + 1, cx - 1, cy - 1, &mask, 0, 0, kBrushWhereBlack);
  dc->SelectObject(&shadowBrush);
  dc->BitBlt(x, y, cx, cy, &mask, 0, 0, kBrushWhereBlack);
  dc->SelectObject(oldBrush);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
  mask.SelectObject(oldBits);
}

void CGXBDropEdit::EndTracking() {
  ReleaseCapture();
  SetFlag(kTracking, false);
  if (m_wFlags & kPressed) {
    SetFlag(kPressed, false);
    InvalidateButton();
    UpdateWindow();
  }
}

LRESULT CGXBDropEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
      if (HasButtonBitmap()) OnNcCalcSize(lParam);
      return result;
    }
    case WM_NCPAINT: {
      const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
      if (HasButtonBitmap()) PaintButton();
      return result;
    }
    case WM_NCHITTEST: {
      const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
      if (result == HTNOWHERE && HitTestButton(pt.x, pt.y, FALSE)) return HTBORDER;
      return result;
    }
    case WM_NCLBUTTONDOWN:
      if (!(m_wFlags & kPressed) && HitTestButton(pt.x, pt.y, FALSE)) {
        SetFlag(kPressed | kTracking, true);
        InvalidateButton();
        UpdateWindow();
        SetCapture();
        return 0;
      }
      break;
    case WM_NCMOUSEMOVE:
      if (HitTestButton(pt.x, pt.y, FALSE) && !(m_wFlags & kHot)) {
        SetFlag(kHot, true);
        InvalidateButton();
        UpdateWindow();
        TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_NONCLIENT, m_hWnd, HOVER_DEFAULT};
        SafeTrackMouseEvent(&tme);
      }
      break;
    case WM_NCMOUSELEAVE:
      if (m_wFlags & kHot) {
        SetFlag(kHot, false);
        InvalidateButton();
        UpdateWindow();
      }
      break;
    case WM_MOUSEMOVE:
      if (m_wFlags & kTracking) {
        const BOOL inside = HitTestButton(pt.x, pt.y, TRUE);
        const bool pressed = (m_wFlags & kPressed) != 0;
        if (inside != pressed) {
          SetFlag(kPressed, inside);
          InvalidateButton();
          UpdateWindow();
        }
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (m_wFlags & kTracking) {
        EndTracking();
        if (HitTestButton(pt.x, pt.y, TRUE)) OnButtonClicked();
        return 0;
      }
      break;
    case WM_CANCELMODE:
      if (m_wFlags & kTracking) EndTracking();
      return 0;
    case WM_SYSCOLORCHANGE:
      CGXSysColorTable::Refresh();
      if (HasButtonBitmap()) {
        m_bmpGlyph.DeleteObject();
        LoadSysColorBitmap(m_bmpGlyph, MAKEINTRESOURCE(m_nBitmapId));
      }
      break;
    case WM_ENABLE: InvalidateButton(); break;
    case WM_KEYDOWN:
      if (wParam == VK_F4) {
        OnButtonClicked();
        return 0;
      }
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_DOWN) {
        OnButtonClicked();
        return 0;
      }
      break;
    default: break;
  }
  return CEdit::WindowProc(message, wParam, lParam);
}
