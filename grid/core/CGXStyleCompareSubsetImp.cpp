#include "grid/core/CGXStyleCompareSubsetImp.h"

#include "grid/core/CGXStyle.h"

void InstallStyleCompareSubsetImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pStyleCompareSubsetImp) return;
  auto* imp = new CGXStyleCompareSubsetImp;
  g.m_pStyleCompareSubsetImp = imp;
  g.AddToAutoDeleteList(imp);
}

BOOL CGXStyleCompareSubsetImp::IsSubSet(const CGXStyle& s, const CGXStyle& o) {
  const DWORD want = o.GetIncludeMask() & ~GX_IN_USERATTR;
  // Everything the other includes must be included here (user attributes are tested by content below).
  if ((s.GetIncludeMask() & want) != want) return FALSE;
  auto in = [&](DWORD bit) { return (want & bit) != 0; };
  if (in(GX_IN_HORZALIGN) && s.GetHorizontalAlignment() != o.GetHorizontalAlignment()) return FALSE;
  if (in(GX_IN_VERTALIGN) && s.GetVerticalAlignment() != o.GetVerticalAlignment()) return FALSE;
  if (in(GX_IN_READONLY) && s.GetReadOnly() != o.GetReadOnly()) return FALSE;
  if (in(GX_IN_FLOATCELL) && s.GetFloatCell() != o.GetFloatCell()) return FALSE;
  if (in(GX_IN_FLOODCELL) && s.GetFloodCell() != o.GetFloodCell()) return FALSE;
  if (in(GX_IN_MERGECELL) && s.GetMergeCell() != o.GetMergeCell()) return FALSE;
  if (in(GX_IN_DRAW3DFRAME) && s.GetDraw3dFrame() != o.GetDraw3dFrame()) return FALSE;
  if (in(GX_IN_MAXLENGTH) && s.GetMaxLength() != o.GetMaxLength()) return FALSE;
  if (in(GX_IN_VSCROLL) && s.GetVerticalScrollbar() != o.GetVerticalScrollbar()) return FALSE;
  // Colours compare in their packed form: a system colour equals only the same system colour.
  if (in(GX_IN_TEXTCOLOR) && !(s.GetTextPackedColor() == o.GetTextPackedColor())) return FALSE;
  if (in(GX_IN_WRAPTEXT) && s.GetWrapText() != o.GetWrapText()) return FALSE;
  if (in(GX_IN_AUTOSIZE) && s.GetAutoSize() != o.GetAutoSize()) return FALSE;
  if (in(GX_IN_ALLOWENTER) && s.GetAllowEnter() != o.GetAllowEnter()) return FALSE;
  if (in(GX_IN_ENABLED) && s.GetEnabled() != o.GetEnabled()) return FALSE;
  if (in(GX_IN_TRISTATE) && s.GetTriState() != o.GetTriState()) return FALSE;
  if (in(GX_IN_CONTROLID) && s.GetControl() != o.GetControl()) return FALSE;
  if (in(GX_IN_INTERIOR) && !(s.GetInterior() == o.GetInterior())) return FALSE;
  if (in(GX_IN_BORDERS)) {
    for (int i = 0; i < 4; ++i) {
      if (!o.HasBorder(i)) continue;
      if (!s.HasBorder(i) || !(s.GetBorder(i) == o.GetBorder(i))) return FALSE;
    }
  }
  if (in(GX_IN_FONT) && !s.GetFont().ContainsFont(o.GetFont())) return FALSE;
  if (in(GX_IN_VALUE) && s.GetValue() != o.GetValue()) return FALSE;
  if (in(GX_IN_FORMAT) && s.GetFormat() != o.GetFormat()) return FALSE;
  if (in(GX_IN_PLACES) && s.GetPlaces() != o.GetPlaces()) return FALSE;
  if (in(GX_IN_BASESTYLE) && s.GetBaseStyle() != o.GetBaseStyle()) return FALSE;
  if (in(GX_IN_CHOICELIST) && s.GetChoiceList() != o.GetChoiceList()) return FALSE;
  if (in(GX_IN_ITEMDATA) && s.GetItemDataPtr() != o.GetItemDataPtr()) return FALSE;
  // The other's attributes must be the first attributes of this style's collection, position by position.
  const CGXUserAttributeMap* om = o.GetUserAttributeMap();
  if (om && !om->IsEmpty()) {
    const CGXUserAttributeMap* sm = s.GetUserAttributeMap();
    if (!sm || sm->GetSize() < om->GetSize()) return FALSE;
    for (INT_PTR i = 0; i < om->GetSize(); ++i)
      if (!sm->GetAt(i)->IsEqual(*om->GetAt(i))) return FALSE;
  }
  return TRUE;
}
