#include "foundation/SECWellButton.h"

#include "foundation/StyleColors.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CommonDialogs.h"


BEGIN_MESSAGE_MAP(SECWellButton, SECOwnerDrawButton)
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_MESSAGE(SEC_WM_COLORCHANGED, OnColorChanged)
  ON_MESSAGE(SEC_WM_OPENCOLORDLG, OnOpenColorDialog)
END_MESSAGE_MAP()

SECWellButton::SECWellButton() : m_pPopup(std::make_unique<SECPopupColorWell>()) { CreatePalette(); }

SECWellButton::~SECWellButton() {
  if (m_pPopup && m_pPopup->m_hWnd) m_pPopup->DestroyWindow();
}

BOOL SECWellButton::CreatePalette() {
  LOGPALETTE lp{0x300, 1, {{0, 0, 0, 0}}};
  m_palette.DeleteObject();
  return m_palette.CreatePalette(&lp);
}

void SECWellButton::SetColor(COLORREF color) {
  PALETTEENTRY e{GetRValue(color), GetGValue(color), GetBValue(color), 0};
  m_palette.SetPaletteEntries(0, 1, &e);
  if (m_hWnd) Invalidate();
}

COLORREF SECWellButton::GetColor() const {
  PALETTEENTRY e{};
  m_palette.GetPaletteEntries(0, 1, &e);
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

void SECWellButton::OnButtonClicked() {
  if (!m_pPopup->IsOpen()) ShowPopup();
  m_bHot = FALSE;
}

void SECWellButton::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  m_bKeyDownHere = TRUE;
  SECOwnerDrawButton::OnKeyDown(nChar, nRepCnt, nFlags);
}

void SECWellButton::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  // Enter chooses in the popup on its key-down; the focus is back here when the key comes up, and that key-up
  // must not open the popup again.
  if (!m_bKeyDownHere) return;
  m_bKeyDownHere = FALSE;
  SECOwnerDrawButton::OnKeyUp(nChar, nRepCnt, nFlags);
}

void SECWellButton::ShowPopup() {
  CRect rect;
  GetWindowRect(&rect);
  m_pPopup->SetDialogFlags(m_dwDialogFlags);
  m_pPopup->SetCustomColors(m_pCustomColors);
  m_pPopup->SetPaletteRelative(m_bPaletteRelative);
  m_pPopup->Create(0, rect, this, m_bPopupOther, GetColor());
}

void SECWellButton::PrepareDC(CDC* pDC, CDC* pMemDC) {
  if (!m_bPaletteRelative) return;
  m_pOldScreenPalette = pDC->SelectPalette(&m_palette, FALSE);
  pDC->RealizePalette();
  if (pMemDC != pDC) {
    m_pOldMemPalette = pMemDC->SelectPalette(&m_palette, FALSE);
    pMemDC->RealizePalette();
  }
}

void SECWellButton::RestoreDC(CDC* pDC, CDC* pMemDC) {
  if (!m_bPaletteRelative) return;
  if (m_pOldScreenPalette) pDC->SelectPalette(m_pOldScreenPalette, FALSE);
  if (m_pOldMemPalette && pMemDC != pDC) pMemDC->SelectPalette(m_pOldMemPalette, FALSE);
  m_pOldScreenPalette = m_pOldMemPalette = nullptr;
}

void SECWellButton::DrawFocusFrame(CDC* pDC, CRect rect) {
  rect.DeflateRect(1, 1);
  pDC->DrawFocusRect(&rect);
}

void SECWellButton::DrawContent(CDC* pDC, LPDRAWITEMSTRUCT lpDIS, CRect interior) {
  if (!((lpDIS->itemState & ODS_FOCUS) && !m_bFlat)) interior.DeflateRect(1, 1);
  const int L = interior.left, T = interior.top, R = interior.right, B = interior.bottom;
  // The drop arrow, a small filled triangle.
  {
    const int x = R - 7, y = T + (B - T - 3) / 2;
    const POINT arrow[3] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
    CGdiObject* oldPen = pDC->SelectStockObject(BLACK_PEN);
    CGdiObject* oldBrush = pDC->SelectStockObject(BLACK_BRUSH);
    pDC->Polygon(arrow, 3);
    pDC->SelectObject(oldBrush);
    pDC->SelectObject(oldPen);
  }
  // The separator: a shadow line and a highlight line.
  const SECButtonColors& c = GetButtonColors();
  pDC->FillSolidRect(R - 10, T + 2, 1, B - T - 4, c.shadow2);
  pDC->FillSolidRect(R - 9, T + 2, 1, B - T - 4, c.highlight);
  // The swatch.
  if (lpDIS->itemState & ODS_DISABLED) return;
  CRect swatch(L + 3, T + 2, R - 13, B - 2);
  pDC->FrameRect(&swatch, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))));
  swatch.DeflateRect(1, 1);
  pDC->FillSolidRect(&swatch, m_bPaletteRelative ? PALETTEINDEX(0) : GetColor());
}

LRESULT SECWellButton::OnColorChanged(WPARAM, LPARAM lParam) {
  SetColor(static_cast<COLORREF>(lParam));
  if (CWnd* parent = GetParent()) parent->SendMessage(SEC_WM_COLORCHANGED, static_cast<WPARAM>(GetDlgCtrlID()), lParam);
  return 0;
}

LRESULT SECWellButton::OnOpenColorDialog(WPARAM, LPARAM) {
  CColorDialog dialog(GetColor(), m_dwDialogFlags, this);
  if (m_pCustomColors) dialog.m_cc.lpCustColors = m_pCustomColors;
  if (dialog.DoModal() == IDOK) OnColorChanged(0, static_cast<LPARAM>(dialog.GetColor()));
  return 0;
}

void DDX_SECWellButton(CDataExchange* pDX, SECWellButton& button, COLORREF& value) {
  if (pDX->m_bSaveAndValidate) value = button.GetColor();
  else button.SetColor(value);
}
