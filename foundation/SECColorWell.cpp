#include "foundation/SECColorWell.h"

#include "foundation/ButtonBitmap.h"
#include "foundation/SECPopupColorWell.h"
#include "foundation/StyleColors.h"
#include "foundation/VisualStyles.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/DialogManager.h"

namespace {

constexpr const char* kWellClass = "SECColorWell";

// The 20 static colours, for a stock palette that has none.
constexpr COLORREF kDefaultColors[20] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
    RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
    RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
    RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};

}  // namespace

// ---- SECOtherButton -----------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(SECOtherButton, CButton)
  ON_WM_GETDLGCODE()
  ON_WM_KEYDOWN()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

SECColorWell* SECOtherButton::Well() const {
  return dynamic_cast<SECColorWell*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

UINT SECOtherButton::OnGetDlgCode() { return DLGC_BUTTON | DLGC_WANTTAB; }

void SECOtherButton::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  SECColorWell* well = Well();
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  const bool arrow = nChar == VK_LEFT || nChar == VK_RIGHT || nChar == VK_UP || nChar == VK_DOWN;
  if (well && dynamic_cast<SECPopupColorWell*>(well) && (nChar == VK_TAB || arrow)) {
    well->SetFocus();  // in a popup every way out of the button leads back to the grid
    return;
  }
  if (well && nChar == VK_TAB) {
    if (shift) {
      well->SetFocus();
    } else if (HWND dialog = ::GetParent(well->m_hWnd)) {
      // The tab item that follows the well in the well's parent.
      if (HWND next = ::GetNextDlgTabItem(dialog, well->m_hWnd, FALSE)) ::SetFocus(next);
    }
    return;
  }
  CButton::OnKeyDown(nChar, nRepCnt, nFlags);
}

void SECOtherButton::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  SECColorWell* well = Well();
  auto* popup = dynamic_cast<SECPopupColorWell*>(well);
  if (popup && HwndOf(pNewWnd) != popup->m_hWnd && popup->IsOpen()) popup->Close();
}

// ---- SECColorWell -------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(SECColorWell, CWnd)
  ON_WM_PAINT()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_GETDLGCODE()
  ON_WM_KEYDOWN()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(SEC_IDC_OTHER_BUTTON, OnOtherCommand)
END_MESSAGE_MAP()

SECColorWell::SECColorWell() {
  UpdateWellColors();
  m_bgBrush.CreateSolidBrush(GetWellColors().face);
}

SECColorWell::~SECColorWell() {
  if (m_hWnd) DestroyWindow();
}

BOOL SECColorWell::RegisterClassOnce() const {
  WNDCLASS wc{};
  if (::GetClassInfo(nullptr, kWellClass, &wc)) return TRUE;
  wc.style = CS_GLOBALCLASS;  // created under any module, as the standard controls are
  wc.lpfnWndProc = ::DefWindowProc;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kWellClass;
  return ::RegisterClass(&wc) != 0;
}

void SECColorWell::ComputeCellSize(CWnd* pParent) {
  // Cells are 10 × 10 dialog units: the dialog's own units when the parent is a dialog.
  CWnd* permanent = pParent ? CWnd::FromHandlePermanent(pParent->m_hWnd) : nullptr;
  if (auto* dialog = dynamic_cast<CDialog*>(permanent)) {
    CRect cell(0, 0, 10, 10);
    dialog->MapDialogRect(&cell);
    m_nCellWidth = cell.Width();
    m_nCellHeight = cell.Height();
  } else {
    const LONG base = ::GetDialogBaseUnits();
    m_nCellWidth = LOWORD(base) * 10 / 4;
    m_nCellHeight = HIWORD(base) * 10 / 8;
  }
  m_nRowPitch = m_nCellHeight + 2;
}

void SECColorWell::CalcSize(CRect& rect, CWnd* pParent, int x, int y, BOOL bDialogUnits) {
  ComputeCellSize(pParent);
  if (bDialogUnits) {
    CRect at(x, y, x, y);
    if (pParent) ::MapDialogRect(pParent->m_hWnd, &at);
    x = at.left;
    y = at.top;
  }
  rect.left = x;
  rect.top = y;
  rect.right = m_nCellWidth * m_nCols + x + (m_cxMargin + m_nCols) * 2 - 2;
  rect.bottom = m_nCellHeight * m_nRows + y + (m_cyMargin + m_nRows) * 2 - 2;
  if (m_bHasOther) rect.bottom += m_nCellHeight + 2 + 6;
}

BOOL SECColorWell::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID, BOOL bOther) {
  if (!RegisterClassOnce()) return FALSE;
  m_bHasOther = bOther;
  m_otherCell = CPoint(0, m_nRows);
  m_nOtherIndex = m_nRows * m_nCols;
  ComputeCellSize(pParent);
  const DWORD style = dwStyle | ExtraStyle();
  BOOL made = (style & WS_POPUP)
                  ? CWnd::CreateEx(0, kWellClass, "", style, rect, pParent, 0)
                  : CWnd::CreateEx(0, kWellClass, "", style | WS_CHILD, rect, pParent, nID);
  if (!made) return FALSE;
  if (!CreatePalette()) return FALSE;
  if (m_bHasOther) {
    m_pOther = std::make_unique<SECOtherButton>();
    const CString caption = foundation::LoadFoundationString(SEC_IDS_OTHER);
    if (!m_pOther->Create(caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(0, 0, 1, 1), this,
                          SEC_IDC_OTHER_BUTTON)) {
      m_pOther.reset();
    } else {
      if (pParent) m_pOther->SetFont(pParent->GetFont(), FALSE);
      PlaceOtherButton();
    }
  }
  return TRUE;
}

void SECColorWell::PlaceOtherButton() {
  if (!m_pOther || !m_pOther->m_hWnd) return;
  const CRect cell = CellRect(m_otherCell.x, m_otherCell.y);
  const int gridRight = m_cxMargin + m_nCols * (m_nCellWidth + 2) - 2;
  // Once the other colour shows, the button gives its cell room on the left.
  const int left = m_bOtherSet ? cell.right + 2 : cell.left;
  m_pOther->MoveWindow(left, cell.top - 1, gridRight - left, m_nCellHeight + 2);
}

void SECColorWell::Reset() {
  m_nSelCol = m_nSelRow = 0;
  m_cxMargin = m_cyMargin = 2;
  m_bHasOther = m_bOtherSet = FALSE;
  if (m_pOther && m_pOther->m_hWnd) m_pOther->DestroyWindow();
  m_pOther.reset();
  m_palette.DeleteObject();
}

BOOL SECColorWell::CreatePalette() {
  const int cells = m_nRows * m_nCols;
  const int count = cells + 1;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<std::size_t>(count));
  auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(count);
  PALETTEENTRY* entries = lp->palPalEntry;
  // The stock palette's entries, as many as it holds; the static colours otherwise.
  PALETTEENTRY stock[256]{};
  const UINT held = ::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0, 256, stock);
  int filled = 0;
  if (held > 0) {
    for (; filled < cells && filled < static_cast<int>(held); ++filled) entries[filled] = stock[filled];
  } else {
    for (; filled < cells && filled < 20; ++filled)
      entries[filled] = {GetRValue(kDefaultColors[filled]), GetGValue(kDefaultColors[filled]),
                         GetBValue(kDefaultColors[filled]), 0};
  }
  for (int i = filled; i < cells; ++i) entries[i] = {0, 0, 0, 0};
  CustomizeColors(entries, cells, filled);
  entries[cells] = {0, 0, 0, 0};
  m_nOtherIndex = cells;
  m_bOtherSet = FALSE;
  m_palette.DeleteObject();
  return m_palette.CreatePalette(lp);
}

COLORREF SECColorWell::CellColor(int col, int row) const {
  PALETTEENTRY e{};
  if (!m_palette.m_hObject) return 0;
  m_palette.GetPaletteEntries(static_cast<UINT>(PaletteIndex(col, row)), 1, &e);
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

COLORREF SECColorWell::GetColor() const { return CellColor(m_nSelCol, m_nSelRow); }

CRect SECColorWell::CellRect(int col, int row) const {
  const int left = m_cxMargin + (m_nCellWidth + 2) * col;
  int top = m_cyMargin + m_nRowPitch * row;
  if (IsOtherCell(col, row)) top += 5;
  return CRect(left, top, left + m_nCellWidth, top + m_nCellHeight);
}

bool SECColorWell::HitTest(CPoint point, int& col, int& row) const {
  for (int r = 0; r < m_nRows; ++r)
    for (int c = 0; c < m_nCols; ++c) {
      CRect cell = CellRect(c, r);
      cell.InflateRect(1, 1);
      if (cell.PtInRect(point)) {
        col = c;
        row = r;
        return true;
      }
    }
  if (OtherAvailable()) {
    CRect cell = CellRect(m_otherCell.x, m_otherCell.y);
    cell.InflateRect(1, 1);
    if (cell.PtInRect(point)) {
      col = m_otherCell.x;
      row = m_otherCell.y;
      return true;
    }
  }
  return false;
}

bool SECColorWell::MoveByKey(UINT key, int& c, int& r) const {
  const int C = m_nCols, R = m_nRows;
  const bool fromOther = IsOtherCell(c, r);
  const bool other = OtherAvailable();
  auto toOther = [&] {
    c = m_otherCell.x;
    r = m_otherCell.y;
  };
  switch (key) {
    case VK_LEFT:
      if (fromOther) c = C - 1, r = R - 1;
      else if (c > 0) --c;
      else if (r > 0) c = C - 1, --r;
      else if (other) toOther();
      else c = C - 1, r = R - 1;
      return true;
    case VK_RIGHT:
      if (fromOther) c = 0, r = 0;
      else if (c < C - 1) ++c;
      else if (r < R - 1) c = 0, ++r;
      else if (other) toOther();
      else c = 0, r = 0;
      return true;
    case VK_UP:
      if (fromOther) r = R - 1;
      else if (r > 0) --r;
      else if (other && c == m_otherCell.x) toOther();
      else r = R - 1;
      return true;
    case VK_DOWN:
      if (fromOther) r = 0;
      else if (r < R - 1) ++r;
      else if (other && c == m_otherCell.x) toOther();
      else r = 0;
      return true;
    default: return false;
  }
}

void SECColorWell::NotifyParent() {
  if (CWnd* parent = GetParent())
    parent->SendMessage(SEC_WM_COLORCHANGED, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(GetColor()));
}

void SECColorWell::SelectCell(int col, int row, int how) {
  (void)how;
  CRect old = CellRect(m_nSelCol, m_nSelRow);
  old.InflateRect(1, 1);
  InvalidateRect(&old, FALSE);
  m_nSelCol = col;
  m_nSelRow = row;
  CRect now = CellRect(col, row);
  now.InflateRect(1, 1);
  InvalidateRect(&now, FALSE);
  NotifyParent();
}

void SECColorWell::SetColor(COLORREF color) {
  color &= 0x00FFFFFF;
  for (int r = 0; r < m_nRows; ++r)
    for (int c = 0; c < m_nCols; ++c)
      if (CellColor(c, r) == color) {
        SelectCell(c, r, SEC_SELECT_KEY);
        return;
      }
  if (!m_bHasOther) return;
  PALETTEENTRY e{GetRValue(color), GetGValue(color), GetBValue(color), 0};
  m_palette.SetPaletteEntries(static_cast<UINT>(m_nOtherIndex), 1, &e);
  if (!m_bOtherSet) {
    m_bOtherSet = TRUE;
    PlaceOtherButton();
  }
  SelectCell(m_otherCell.x, m_otherCell.y, SEC_SELECT_KEY);
}

// ---- Painting -----------------------------------------------------------------------------------------------

void SECColorWell::DrawCell(CDC* pDC, CPalette*, CPoint, int col, int row) {
  CRect r = CellRect(col, row);
  if (!pDC->RectVisible(&r)) return;
  const SECWellColors& w = GetWellColors();
  CThemeScope theme(m_hWnd, u"Button");
  if (theme.Themed()) {
    CBrush frame;
    frame.CreateSolidBrush(w.frame);
    pDC->FrameRect(&r, &frame);
    r.DeflateRect(1, 1);
  } else {
    pDC->Draw3dRect(&r, w.shadow, w.highlight);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, w.darkShadow, w.light);
    r.DeflateRect(1, 1);
  }
  const int index = PaletteIndex(col, row);
  pDC->FillSolidRect(&r, m_bPaletteRelative ? PALETTEINDEX(static_cast<WORD>(index)) : CellColor(col, row));
}

void SECColorWell::DrawSelectedCell(CDC* pDC, CPalette*, CPoint, int col, int row) {
  CRect r = CellRect(col, row);
  r.InflateRect(1, 1);
  for (COLORREF c : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)}) {
    CBrush frame;
    frame.CreateSolidBrush(c);
    pDC->FrameRect(&r, &frame);
    r.DeflateRect(1, 1);
  }
  const int index = PaletteIndex(col, row);
  pDC->FillSolidRect(&r, m_bPaletteRelative ? PALETTEINDEX(static_cast<WORD>(index)) : CellColor(col, row));
}

void SECColorWell::OnPaint() {
  CPaintDC paint(this);
  CRect client;
  GetClientRect(&client);
  CDC memDC;
  CBitmap bitmap;
  CDC* pDC = &paint;
  CBitmap* oldBitmap = nullptr;
  if (memDC.CreateCompatibleDC(&paint) && bitmap.CreateCompatibleBitmap(&paint, client.Width(), client.Height())) {
    oldBitmap = memDC.SelectObject(&bitmap);
    pDC = &memDC;
  }
  CPalette* oldPalette = nullptr;
  if (m_bPaletteRelative && m_palette.m_hObject) {
    oldPalette = pDC->SelectPalette(&m_palette, FALSE);
    pDC->RealizePalette();
  }
  const SECWellColors& w = GetWellColors();

  // 1. Face, and the focus frame.
  CRect r = client;
  pDC->FillSolidRect(&r, w.face);
  if (HasFocusFrame() && m_bFocusShown) {
    CBrush frame;
    frame.CreateSolidBrush(w.frame);
    pDC->FrameRect(&r, &frame);
  }
  r.DeflateRect(1, 1);
  // 2. A raised border for wells that ask for it (the popup).
  if (GetStyle() & 0x1) {
    pDC->Draw3dRect(&r, w.light, w.darkShadow);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, w.highlight, w.shadow);
  }
  // 3. The cells.
  const CPoint origin(m_cxMargin, m_cyMargin);
  for (int row = 0; row < m_nRows; ++row)
    for (int col = 0; col < m_nCols; ++col)
      if (col == m_nSelCol && row == m_nSelRow) DrawSelectedCell(pDC, &m_palette, origin, col, row);
      else DrawCell(pDC, &m_palette, origin, col, row);
  // 4. The etched line above the other cell, and the cell once it has a colour.
  if (m_bHasOther) {
    const int y = m_cyMargin + m_nRowPitch * m_nRows + 1;
    pDC->Draw3dRect(CRect(m_cxMargin, y, client.right - m_cxMargin, y + 2), w.shadow, RGB(255, 255, 255));
    if (m_bOtherSet) {
      if (IsOtherCell(m_nSelCol, m_nSelRow)) DrawSelectedCell(pDC, &m_palette, origin, m_otherCell.x, m_otherCell.y);
      else DrawCell(pDC, &m_palette, origin, m_otherCell.x, m_otherCell.y);
    }
  }
  if (oldPalette) pDC->SelectPalette(oldPalette, FALSE);
  if (pDC == &memDC) {
    paint.BitBlt(0, 0, client.Width(), client.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(oldBitmap);
  }
}

// ---- Input --------------------------------------------------------------------------------------------------

void SECColorWell::OnSetFocus(CWnd* pOldWnd) {
  CWnd::OnSetFocus(pOldWnd);
  m_bFocusShown = TRUE;
  Invalidate(FALSE);
}

void SECColorWell::OnKillFocus(CWnd* pNewWnd) {
  CWnd::OnKillFocus(pNewWnd);
  m_bFocusShown = FALSE;
  Invalidate(FALSE);
}

UINT SECColorWell::OnGetDlgCode() {
  return m_bHasOther ? DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB : DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void SECColorWell::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (nChar == VK_TAB) {
    if (::GetKeyState(VK_SHIFT) < 0) {
      if (CWnd* parent = GetParent())
        if (HWND previous = ::GetNextDlgTabItem(parent->m_hWnd, m_hWnd, TRUE)) ::SetFocus(previous);
    } else if (m_pOther && m_pOther->m_hWnd) {
      m_pOther->SetFocus();
    }
    return;
  }
  int col = m_nSelCol, row = m_nSelRow;
  if (MoveByKey(nChar, col, row)) {
    SelectCell(col, row, SEC_SELECT_KEY);
    return;
  }
  CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void SECColorWell::OnLButtonDown(UINT nFlags, CPoint point) {
  if (::GetFocus() != m_hWnd) SetFocus();
  int col, row;
  if (HitTest(point, col, row)) SelectCell(col, row, SEC_SELECT_CHOOSE);
  (void)nFlags;
}

void SECColorWell::OnMouseMove(UINT nFlags, CPoint point) {
  int col, row;
  if (m_bTracking && HitTest(point, col, row) && (col != m_nSelCol || row != m_nSelRow))
    SelectCell(col, row, SEC_SELECT_HOVER);
  CWnd::OnMouseMove(nFlags, point);
}

void SECColorWell::OnSysColorChange() {
  UpdateWellColors();
  m_bgBrush.DeleteObject();
  m_bgBrush.CreateSolidBrush(GetWellColors().face);
  Invalidate();
}

HBRUSH SECColorWell::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (nCtlColor == CTLCOLOR_BTN) {
    pDC->SetBkColor(GetWellColors().face);
    return static_cast<HBRUSH>(m_bgBrush.m_hObject);
  }
  return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
}

void SECColorWell::OnOtherCommand() { OnOtherButton(); }

void SECColorWell::OnOtherButton() {
  CColorDialog dialog(GetColor(), m_dwDialogFlags, this);
  if (m_pCustomColors) dialog.m_cc.lpCustColors = m_pCustomColors;
  if (dialog.DoModal() != IDOK) return;
  SetColor(dialog.GetColor());
  NotifyParent();
}
