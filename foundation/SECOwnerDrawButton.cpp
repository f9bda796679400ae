#include "foundation/SECOwnerDrawButton.h"

#include "foundation/StyleColors.h"
#include "foundation/VisualStyles.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/ControlCodes.h"


namespace {

// The operating system reports a modern version (major 4 or more) everywhere this runs, so the 3-D look is
// the default; the old look stays reachable for derived classes that clear m_bNewLook.
constexpr BYTE kSystemMajorVersion = 6;

// Keeps a previous selection and puts it back.
template <typename T>
class Selected {
 public:
  Selected(CDC* dc, T* object) : dc_(dc), old_(dc->SelectObject(object)) {}
  ~Selected() {
    if (old_) dc_->SelectObject(old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  CDC* dc_;
  T* old_;
};

}  // namespace

BEGIN_MESSAGE_MAP(SECOwnerDrawButton, CButton)
  ON_WM_DRAWITEM_REFLECT()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_GETDLGCODE()
  ON_WM_KEYUP()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_SYSCOLORCHANGE()
  ON_MESSAGE(BM_SETSTYLE, OnSetStyleMessage)
END_MESSAGE_MAP()

SECOwnerDrawButton::SECOwnerDrawButton() : m_bNewLook(kSystemMajorVersion >= 4) { UpdateButtonColors(); }

BOOL SECOwnerDrawButton::AttachButton(UINT nID, CWnd* pParent, DWORD nExtStyle) {
  m_nExtStyle = nExtStyle;
  if (!pParent || !SubclassDlgItem(nID, pParent)) return FALSE;
  // The button paints every pixel itself; a class brush would only flicker under it.
  SetClassLongPtr(m_hWnd, GCLP_HBRBACKGROUND, 0);
  return TRUE;
}

BOOL SECOwnerDrawButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                                DWORD nExtStyle) {
  m_nExtStyle = nExtStyle;
  return CButton::Create(lpszCaption, dwStyle | BS_OWNERDRAW, rect, pParent, nID);
}

LRESULT SECOwnerDrawButton::OnSetStyle(WPARAM style, LPARAM redraw) {
  // The dialog manager moves the default look around with BM_SETSTYLE; the button stays owner-drawn because
  // bits are only ever added (BS_OWNERDRAW already holds BS_DEFPUSHBUTTON's bit).
  const DWORD before = GetStyle();
  const DWORD after = before | static_cast<DWORD>(style) | BS_OWNERDRAW;
  if (after != before) {
    ModifyStyle(0, after & 0xFFFF);
    if (redraw) Invalidate(TRUE);
  }
  return 0;
}

LRESULT SECOwnerDrawButton::OnSetStyleMessage(WPARAM wParam, LPARAM lParam) { return OnSetStyle(wParam, lParam); }

BOOL SECOwnerDrawButton::IsThemed() const {
  CThemeScope theme(m_hWnd, u"Button");
  return theme.Themed();
}

void SECOwnerDrawButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  const CRect item(lpDIS->rcItem);
  CDC memDC;
  CBitmap bitmap;
  if (memDC.CreateCompatibleDC(pDC) && bitmap.CreateCompatibleBitmap(pDC, item.right, item.bottom)) {
    CBitmap* old = memDC.SelectObject(&bitmap);
    PrepareDC(pDC, &memDC);
    const CRect interior = DrawFrame(&memDC, lpDIS);
    DrawContent(&memDC, lpDIS, interior);
    if (lpDIS->itemState & ODS_DISABLED) DrawDisabled(&memDC, item.right, item.bottom);
    pDC->BitBlt(item.left, item.top, item.Width(), item.Height(), &memDC, item.left, item.top, SRCCOPY);
    RestoreDC(pDC, &memDC);
    memDC.SelectObject(old);
  } else {
    PrepareDC(pDC, pDC);
    const CRect interior = DrawFrame(pDC, lpDIS);
    DrawContent(pDC, lpDIS, interior);
    RestoreDC(pDC, pDC);
  }
  DrawFocus(pDC, lpDIS);
}

void SECOwnerDrawButton::DrawOldOutline(CDC* pDC, const CRect& r) const {
  // Four one-pixel lines that leave the corners out: the rounded outline of the old look.
  const COLORREF frame = GetButtonColors().frame;
  pDC->FillSolidRect(r.left + 1, r.top, r.Width() - 2, 1, frame);
  pDC->FillSolidRect(r.left + 1, r.bottom - 1, r.Width() - 2, 1, frame);
  pDC->FillSolidRect(r.left, r.top + 1, 1, r.Height() - 2, frame);
  pDC->FillSolidRect(r.right - 1, r.top + 1, 1, r.Height() - 2, frame);
}

CRect SECOwnerDrawButton::DrawFrame(CDC* pDC, LPDRAWITEMSTRUCT lpDIS) {
  const SECButtonColors& c = GetButtonColors();
  CThemeScope theme(m_hWnd, u"Button");
  const bool themed = theme.Themed();
  const bool focused = (lpDIS->itemState & ODS_FOCUS) != 0;
  const bool pressed = (lpDIS->itemState & ODS_SELECTED) != 0;
  CRect r(lpDIS->rcItem);

  pDC->FillSolidRect(&r, c.face);
  if (focused && !m_bFlat && !themed) {
    // The default button's outline.
    CBrush frame;
    frame.CreateSolidBrush(c.frame);
    pDC->FrameRect(&r, &frame);
    r.DeflateRect(1, 1);
  }
  auto themedBackground = [&](int state) {
    SafeDrawThemeBackground(theme.Theme(), pDC->m_hDC, BP_PUSHBUTTON, state, &r, nullptr);
    r.DeflateRect(2, 2);
  };

  if (!pressed) {
    if (m_bNewLook && m_bFlat) {
      if (themed && m_bHot) themedBackground(PBS_HOT);
    } else if (m_bNewLook && !themed) {
      pDC->Draw3dRect(&r, c.highlight, c.frame);
      r.DeflateRect(1, 1);
      pDC->Draw3dRect(&r, c.face, c.shadow);
      r.right -= 1;
      r.bottom -= 1;
    } else if (m_bNewLook) {
      themedBackground(m_bHot ? PBS_HOT : focused ? PBS_DEFAULTED : PBS_NORMAL);
    } else {
      DrawOldOutline(pDC, r);
      r.DeflateRect(1, 1);
      pDC->Draw3dRect(&r, c.highlight, c.shadow);
      r.DeflateRect(1, 1);
      pDC->Draw3dRect(&r, c.highlight, c.shadow);
      r.right -= 1;
      r.bottom -= 1;
    }
  } else if (themed) {
    themedBackground(PBS_PRESSED);
  } else if (m_bNewLook) {
    pDC->Draw3dRect(&r, c.frame, c.highlight);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, c.shadow, c.face);
    r.left += 1;
    r.top += 1;
  } else {
    DrawOldOutline(pDC, r);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, c.shadow, c.highlight);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, c.shadow, c.highlight);
    r.left += 1;
    r.top += 1;
  }
  return r;
}

void SECOwnerDrawButton::DrawDisabled(CDC* pMemDC, int cx, int cy) {
  if (IsThemed() || cx < 4 || cy < 4) return;
  const SECButtonColors& c = GetButtonColors();

  // 1. A mask of the image's "ink": face and highlight pixels white, everything else black.
  CDC maskDC;
  CBitmap mask;
  if (!maskDC.CreateCompatibleDC(pMemDC) || !mask.CreateBitmap(cx, cy, 1, 1, nullptr)) return;
  CBitmap* oldMask = maskDC.SelectObject(&mask);
  maskDC.PatBlt(0, 0, cx, cy, WHITENESS);
  const COLORREF oldBk = pMemDC->SetBkColor(c.face);
  maskDC.BitBlt(0, 0, cx - 3, cy - 3, pMemDC, 1, 1, SRCCOPY);
  pMemDC->SetBkColor(c.highlight);
  maskDC.BitBlt(0, 0, cx - 3, cy - 3, pMemDC, 1, 1, SRCPAINT);

  // 2. The ink in the highlight colour one pixel down-right, then in the shadow colour in its place.
  pMemDC->SetBkColor(RGB(255, 255, 255));
  const COLORREF oldText = pMemDC->SetTextColor(RGB(0, 0, 0));
  constexpr DWORD kInkInBrush = 0x00B8074A;
  {
    CBrush highlight;
    highlight.CreateSolidBrush(c.highlight);
    Selected<CBrush> brush(pMemDC, &highlight);
    pMemDC->BitBlt(2, 2, cx - 4, cy - 4, &maskDC, 0, 0, kInkInBrush);
  }
  {
    CBrush shadow;
    shadow.CreateSolidBrush(c.shadow);
    Selected<CBrush> brush(pMemDC, &shadow);
    pMemDC->BitBlt(1, 1, cx - 3, cy - 3, &maskDC, 0, 0, kInkInBrush);
  }
  pMemDC->SetTextColor(oldText);
  pMemDC->SetBkColor(oldBk);
  maskDC.SelectObject(oldMask);
}

void SECOwnerDrawButton::DrawFocus(CDC* pDC, LPDRAWITEMSTRUCT lpDIS) {
  if (!(lpDIS->itemState & ODS_FOCUS)) return;
  CRect r(lpDIS->rcItem);
  const int inset = m_bNewLook ? 1 : 2;
  r.DeflateRect(inset, inset);
  if (lpDIS->itemState & ODS_SELECTED) {
    r.left += 1;
    r.top += 1;
  } else {
    r.right -= 1;
    r.bottom -= 1;
  }
  pDC->SetBkColor(GetButtonColors().face);
  DrawFocusFrame(pDC, r);
}

// ---- Default-button hand-over ------------------------------------------------------------------------------

void SECOwnerDrawButton::OnSetFocus(CWnd* pOldWnd) {
  CWnd* parent = GetParent();
  m_dwDefIdReply = parent ? static_cast<DWORD>(parent->SendMessage(DM_GETDEFID)) : 0;
  if (HIWORD(m_dwDefIdReply) == DC_HASDEFID) {
    const HWND self = m_hWnd;
    // The previous default's style is taken before DM_SETDEFID, which may already restyle it.
    HWND previous = ::GetDlgItem(parent->m_hWnd, LOWORD(m_dwDefIdReply));
    if (previous && previous != self) m_dwPrevDefStyle = static_cast<DWORD>(::GetWindowLong(previous, GWL_STYLE));
    parent->SendMessage(DM_SETDEFID, static_cast<WPARAM>(GetDlgCtrlID()));
    if (!::IsWindow(self)) return;
    if (previous && previous != self && ::IsWindow(previous)) {
      ::SendMessage(previous, BM_SETSTYLE, (m_dwPrevDefStyle & 0xFFFF) & ~BS_DEFPUSHBUTTON, TRUE);
      ::InvalidateRect(previous, nullptr, TRUE);
      ::UpdateWindow(previous);
    }
    if (!::IsWindow(self)) return;
  }
  CButton::OnSetFocus(pOldWnd);
}

void SECOwnerDrawButton::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  if (HIWORD(m_dwDefIdReply) == DC_HASDEFID) {
    if (CWnd* parent = GetParent()) {
      const WORD previousId = LOWORD(m_dwDefIdReply);
      parent->SendMessage(DM_SETDEFID, previousId);
      HWND previous = ::GetDlgItem(parent->m_hWnd, previousId);
      if (previous && previous != m_hWnd) {
        ::SendMessage(previous, BM_SETSTYLE, m_dwPrevDefStyle & 0xFFFF, TRUE);
        ::InvalidateRect(previous, nullptr, TRUE);
        ::UpdateWindow(previous);
      }
    }
  }
  m_dwDefIdReply = 0;
}

UINT SECOwnerDrawButton::OnGetDlgCode() {
  if (::GetFocus() == m_hWnd && (m_nExtStyle & SEC_BTN_DEFAULT)) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
  return DLGC_BUTTON;
}

// ---- Clicks ------------------------------------------------------------------------------------------------

void SECOwnerDrawButton::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  const HWND self = m_hWnd;
  CButton::OnKeyUp(nChar, nRepCnt, nFlags);
  if ((nChar == VK_SPACE || nChar == VK_RETURN) && ::IsWindow(self)) OnButtonClicked();
}

bool SECOwnerDrawButton::IsReleaseAClick(CPoint point) const {
  CRect client;
  GetClientRect(&client);
  return client.PtInRect(point) && (GetState() & BST_PUSHED) && ::GetCapture() == m_hWnd;
}

void SECOwnerDrawButton::OnLButtonUp(UINT nFlags, CPoint point) {
  if (IsReleaseAClick(point)) {
    m_bHot = FALSE;
    const HWND self = m_hWnd;
    OnButtonClicked();
    if (!::IsWindow(self)) return;
  }
  CButton::OnLButtonUp(nFlags, point);
}

void SECOwnerDrawButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
  // A double click is a second click, never a BN_DOUBLECLICKED.
  SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void SECOwnerDrawButton::OnMouseMove(UINT nFlags, CPoint point) {
  const HWND self = m_hWnd;
  CButton::OnMouseMove(nFlags, point);
  if (!::IsWindow(self)) return;
  CRect client;
  GetClientRect(&client);
  const bool inside = client.PtInRect(point) != FALSE;
  const bool pushed = (GetState() & BST_PUSHED) != 0;
  const BOOL wasHot = m_bHot;
  if (inside) m_bHot = TRUE;
  else if (!pushed) m_bHot = FALSE;
  const bool themed = IsThemed() != FALSE;
  if (wasHot != m_bHot && themed) {
    Invalidate(FALSE);
    UpdateWindow();
  }

  if (m_bFlat) {
    if (pushed) return;
    if (inside) {
      if (::GetCapture() != m_hWnd) SetCapture();
      if (!themed) {
        CClientDC dc(this);
        const SECButtonColors& c = GetButtonColors();
        dc.Draw3dRect(&client, c.highlight, c.shadow);
      }
    } else {
      if (!themed) {
        CClientDC dc(this);
        const COLORREF face = GetButtonColors().face;
        dc.Draw3dRect(&client, face, face);
      }
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    return;
  }
  if (nFlags & MK_LBUTTON) return;
  if (inside) {
    if (::GetCapture() != m_hWnd) SetCapture();
  } else if (::GetCapture() == m_hWnd) {
    ::ReleaseCapture();
  }
}

void SECOwnerDrawButton::OnSysColorChange() {
  CButton::OnSysColorChange();
  UpdateButtonColors();
  Invalidate(TRUE);
}
