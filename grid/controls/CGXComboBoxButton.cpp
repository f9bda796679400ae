#include "grid/controls/CGXComboBoxButton.h"

#include "foundation/VisualStyles.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

namespace {

constexpr UINT kRaised = 5, kSunken = 10;
constexpr UINT kEdgeFlags = 15;  // BF_RECT

// Saves the DC's clip region and restores it when the scope ends.
class ClipScope {
 public:
  explicit ClipScope(CDC* dc) : dc_(dc), saved_(dc->SaveDC()) {}
  ~ClipScope() { dc_->RestoreDC(saved_); }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;

 private:
  CDC* dc_;
  int saved_;
};

}  // namespace

BOOL CGXComboBoxButton::OwnerShowsButtonAlways() const {
  const auto* owner = dynamic_cast<const CGXDropDownOwner*>(m_pControl);
  return owner && owner->ShowsButtonInEveryCell();
}

void CGXComboBoxButton::DrawDropDown(CDC* dc, BOOL active, Look look, const UINT (&arrows)[2]) {
  if (!dc) return;
  if (!active && !OwnerShowsButtonAlways()) return;
  const BOOL pushed = IsPushed(active);
  CThemeScope theme(dc->m_hDC, u"COMBOBOX");
  if (theme.Themed()) {
    const int state = pushed ? 3 : look == Look::greyed ? 4 : 1;
    SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, 1, state, &m_rect, nullptr);
    SafeDrawThemeEdge(theme.Theme(), dc->m_hDC, 1, state, &m_rect, pushed ? kSunken : kRaised, kEdgeFlags, nullptr);
    return;
  }
  FillColorRectRc(dc, m_rect, CGXSysColorTable::GetColor(COLOR_BTNFACE));
  DrawEdgeRect(dc, m_rect, pushed ? kSunken : kRaised, FALSE);
  CBitmap* arrow = CGXSysColorTable::GetBitmap(arrows[look == Look::greyed ? 1 : 0]);
  if (!arrow) return;
  BITMAP info{};
  arrow->GetBitmap(&info);
  CRect area(m_rect.left, m_rect.top + 2, m_rect.right, m_rect.bottom - 2);
  int x = area.left + (area.Width() - info.bmWidth) / 2;
  int y = area.top + (area.Height() - info.bmHeight) / 2;
  if (pushed) ++x, ++y;
  CDC memory;
  if (!memory.CreateCompatibleDC(dc)) return;
  CBitmap* old = memory.SelectObject(arrow);
  {
    ClipScope clip(dc);
    dc->IntersectClipRect(m_rect.left + 1, m_rect.top + 1, m_rect.right - 1, m_rect.bottom - 1);
    dc->BitBlt(x, y, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
  }
  memory.SelectObject(old);
}

void CGXComboBoxButton::Draw(CDC* dc, BOOL active) {
  static constexpr UINT arrows[2] = {kArrowBitmap, kGreyArrowBitmap};
  DrawDropDown(dc, active, OwnerShowsButtonAlways() ? Look::greyed : Look::normal, arrows);
}

void CGXComboBoxButton::DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style) {
  static constexpr UINT arrows[2] = {kArrowBitmap, kGreyArrowBitmap};
  const BOOL setsEnabled = style.IsIncluded(GX_IN_ENABLED) && style.GetEnabled();
  DrawDropDown(dc, active, OwnerShowsButtonAlways() && !setsEnabled ? Look::greyed : Look::normal, arrows);
}

void CGXComboBoxWndButton::Draw(CDC* dc, BOOL active) { DrawWithStyle(dc, active, CGXStyle()); }

void CGXComboBoxWndButton::DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style) {
  static constexpr UINT arrows[2] = {kArrowBitmap, kGreyArrowBitmap};
  if (active && m_pControl && m_pControl->GetEditingState()) return;
  const BOOL cleared = style.IsIncluded(GX_IN_ENABLED) && !style.GetEnabled();
  DrawDropDown(dc, active, cleared ? Look::greyed : Look::normal, arrows);
}
