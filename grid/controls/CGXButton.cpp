#include "grid/controls/CGXButton.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/VisualStyles.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/base/VirtualClock.h"
#include "platform/gdi/CDC.h"

namespace {

constexpr UINT kSpace = 32;
constexpr UINT kRaised = 5, kSunken = 10;  // EDGE_RAISED, EDGE_SUNKEN

void FillFaceAndEdge(CDC* dc, const CRect& rect, COLORREF face, BOOL pushed) {
  FillColorRectRc(dc, rect, face);
  DrawEdgeRect(dc, rect, pushed ? kSunken : kRaised, FALSE);
}

}  // namespace

// ---- Behaviour -------------------------------------------------------------------------------------------

void CGXButton::SetPressed(BOOL pressed) {
  pressed = pressed != FALSE;
  if (m_bPressed == pressed) return;
  m_bPressed = pressed;
  if (m_bRedrawOnChange) Invalidate();
}

void CGXButton::Fire() {
  if (m_pControl) m_pControl->OnChildClicked(this);
}

BOOL CGXButton::OnLButtonDown(UINT, CPoint) {
  m_bTracking = TRUE;
  SetPressed(TRUE);
  // An editing owner shows the pushed look at once (its window would otherwise hide the delay).
  if (m_pControl && m_pControl->GetEditingState()) m_pControl->Grid()->UpdateWindow();
  return TRUE;
}

BOOL CGXButton::OnMouseMove(UINT, CPoint pt) {
  if (m_bTracking) SetPressed(HitTest(pt));
  return TRUE;
}

BOOL CGXButton::OnLButtonUp(UINT, CPoint pt) {
  const BOOL fires = m_bPressed && m_rect.PtInRect(pt);
  m_bTracking = FALSE;
  SetPressed(FALSE);
  // Last: the notification may run any code of the grid's owner.
  if (fires) Fire();
  return TRUE;
}

BOOL CGXButton::OnKeyDown(UINT ch, UINT, UINT) {
  if (ch != kSpace) return FALSE;
  SetPressed(TRUE);
  return TRUE;
}

BOOL CGXButton::OnKeyUp(UINT ch, UINT, UINT) {
  if (ch != kSpace || !m_bPressed) return FALSE;
  SetPressed(FALSE);
  Fire();
  return TRUE;
}

void CGXButton::ReleaseState() {
  if (!m_bPressed && !m_bTracking) return;
  m_bTracking = FALSE;
  m_bPressed = FALSE;
  Invalidate();
}

// ---- Drawing ---------------------------------------------------------------------------------------------

void CGXButton::DrawCaption(CDC* dc, BOOL active) {
  if (m_sText.IsEmpty()) return;
  CRect r(m_rect.left + 1, m_rect.top + 1, m_rect.right - 2, m_rect.bottom - 2);
  if (IsPushed(active)) r.OffsetRect(1, 1);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  GetDrawingAndFormatting().DrawButtonCaption(dc, r, m_sText, IsFocused(active));
  dc->SetBkMode(oldMode);
}

void CGXButton::DrawClassic(CDC* dc, BOOL active, COLORREF face) {
  FillFaceAndEdge(dc, m_rect, face, IsPushed(active));
  DrawCaption(dc, active);
}

void CGXButton::Draw(CDC* dc, BOOL active) {
  if (!dc) return;
  CThemeScope theme(dc->m_hDC, u"BUTTON");
  if (!theme.Themed()) return DrawClassic(dc, active, CGXSysColorTable::GetColor(COLOR_BTNFACE));
  SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, 1, IsPushed(active) ? 3 : 1, &m_rect, nullptr);
  DrawCaption(dc, active);
}

void CGXButton::DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style) {
  if (!dc) return;
  const BOOL disabled = style.IsIncluded(GX_IN_ENABLED) && !style.GetEnabled();
  const COLORREF oldText = disabled ? dc->SetTextColor(CGXSysColorTable::GetColor(COLOR_GRAYTEXT)) : 0;
  if (style.HasUserAttribute(GX_IDS_UA_PUSHBUTTON_FACE)) {
    const CString face = style.GetUserAttributeText(GX_IDS_UA_PUSHBUTTON_FACE);
    DrawClassic(dc, active, static_cast<COLORREF>(std::strtoul(face, nullptr, 10)));
  } else {
    Draw(dc, active);
  }
  if (disabled) dc->SetTextColor(oldText);
}

void CGXHotSpotButton::Draw(CDC* dc, BOOL active) {
  if (!dc || !active) return;
  const BOOL pushed = IsPushed(active);
  CThemeScope theme(dc->m_hDC, u"BUTTON");
  if (theme.Themed())
    SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, 1, pushed ? 3 : 1, &m_rect, nullptr);
  else
    FillFaceAndEdge(dc, m_rect, CGXSysColorTable::GetColor(COLOR_BTNFACE), pushed);
  if (m_rect.Height() < 12) return;
  const int x = m_rect.left + (pushed ? 1 : 0), y = m_rect.top + (pushed ? 1 : 0);
  const COLORREF black = RGB(0, 0, 0);
  FillColorRect(dc, x + 3, y + 3, 6, 2, black);
  FillColorRect(dc, x + 6, y + 4, 3, 3, black);
  FillColorRect(dc, x + 4, y + 7, 7, 1, black);
  FillColorRect(dc, x + 5, y + 8, 5, 1, black);
  FillColorRect(dc, x + 6, y + 9, 3, 1, black);
  FillColorRect(dc, x + 7, y + 10, 1, 1, black);
}

// ---- Spin arrows -----------------------------------------------------------------------------------------

BOOL CGXArrowButton::OnLButtonDown(UINT flags, CPoint pt) {
  CGXButton::OnLButtonDown(flags, pt);
  m_dwLastRepeat = GetTickCount();
  m_nInterval = 500;
  Fire();
  return TRUE;
}

BOOL CGXArrowButton::OnMouseMove(UINT flags, CPoint pt) {
  CGXButton::OnMouseMove(flags, pt);
  if (!m_bPressed || !HitTest(pt)) return TRUE;
  // Unsigned differences: the tick count may wrap between two reports.
  const DWORD now = GetTickCount();
  if (now - m_dwLastRepeat < m_nInterval) return TRUE;
  if (m_nInterval > 150)
    m_nInterval = 150;
  else if (m_nInterval > 50)
    m_nInterval -= 5;
  m_dwLastRepeat = now;
  Fire();
  return TRUE;
}

BOOL CGXArrowButton::OnLButtonUp(UINT, CPoint) {
  // The click came with the press.
  m_bTracking = FALSE;
  SetPressed(FALSE);
  return TRUE;
}

void CGXArrowButton::DrawArrow(CDC* dc, BOOL active, Direction direction) {
  if (!dc || !active) return;
  const BOOL pushed = IsPushed(active);
  CThemeScope theme(dc->m_hDC, u"SPIN");
  if (theme.Themed()) {
    SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, direction == Direction::up ? 1 : 2, pushed ? 3 : 1, &m_rect,
                            nullptr);
    return;
  }
  FillFaceAndEdge(dc, m_rect, CGXSysColorTable::GetColor(COLOR_BTNFACE), pushed);
  const int h = m_rect.Height();
  if (h < 5) return;
  const bool large = h >= 8;
  const bool up = direction == Direction::up;
  const int w = m_rect.Width() - (large ? 7 : 5);
  int x = m_rect.left + std::max(w / 2, 0);
  const int free = up ? (large ? h - 5 : h - 3) : (large ? h - 4 : h - 2);
  int y = m_rect.top + std::max(free / 2, 0);
  if (pushed) ++x, ++y;
  // One-pixel rows (offset from x, width): the triangle points up or down.
  struct Row {
    int dx, width;
  };
  static constexpr Row kUp[4] = {{3, 1}, {2, 3}, {1, 5}, {0, 7}};
  static constexpr Row kDown[4] = {{0, 7}, {1, 5}, {2, 3}, {3, 1}};
  const Row* rows = up ? kUp : kDown;
  const int count = large ? 4 : 3;
  for (int i = 0; i < count && y < m_rect.bottom; ++i, ++y)
    FillColorRect(dc, x + rows[i].dx, y, rows[i].width, 1, RGB(0, 0, 0));
}
