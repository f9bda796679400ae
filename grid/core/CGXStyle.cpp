#include "grid/core/CGXStyle.h"

#include <algorithm>
#include <vector>

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXUserAttribute.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXStyle, CObject, 0)

std::span<const char* const> GetStyleKeywords() {
  static constexpr const char* kKeywords[] = {
      "HorizontalAlignment", "VerticalAlignment", "ReadOnly", "ControlId", "Interior", "TextColor", "WrapText",
      "AllowEnter", "Font", "Borders", "Top", "Left", "Bottom", "Right", "Value", "MaxLength",
      "VerticalScrollbar", "ChoicesList", "Enabled", "TriState", "Draw3dFrame", "AutoSize", "BaseStyle",
      "FloatCell", "FloodCell", "MergeCell", "Format", "Places"};
  static_assert(std::size(kKeywords) == 28);
  return kKeywords;
}

CGXStyle::CGXStyle(const CGXStyle& other) : CObject() { *this = other; }

CGXStyle::~CGXStyle() { Free(); }

void CGXStyle::Free() {
  m_include = 0;
  m_pBorders.reset();
  m_pFont.reset();
  m_pRare.reset();
  m_value.Empty();
  m_valueType = GX_VT_TEXT;
}

CGXStyle::Rare& CGXStyle::RareParts() {
  if (!m_pRare) m_pRare = std::make_unique<Rare>();
  return *m_pRare;
}

const CString& CGXStyle::GetChoiceList() const {
  static const CString none;
  return m_pRare && m_pRare->choices ? m_pRare->choices->Text() : none;
}

CGXStyle* CGXStyle::Clone() const { return new CGXStyle(*this); }

void CGXStyle::Serialize(CArchive& ar) { SerializeWithStylesMap(ar, nullptr); }

void CGXStyle::SerializeWithStylesMap(CArchive& ar, const CGXStylesMap* stylesMap) {
  if (CGXAbstractStyleSerializeImp* imp = CGXGridGlobals::Get().m_pStyleSerializeImp)
    imp->SerializeStyle(this, ar, stylesMap);
}

BOOL CGXStyle::IsSubSet(const CGXStyle& other) const {
  CGXAbstractStyleCompareSubsetImp* imp = CGXGridGlobals::Get().m_pStyleCompareSubsetImp;
  return imp ? imp->IsSubSet(*this, other) : FALSE;
}

CGXStyle& CGXStyle::SetIncludeMask(DWORD mask) {
  m_include = mask & GX_IN_ALL;
  return *this;
}

CGXStyle& CGXStyle::operator=(const CGXStyle& other) {
  if (this == &other) return *this;
  Free();
  if (other.m_include == 0) return *this;
  m_include = other.m_include;
  m_interior = other.m_interior;
  m_maxLength = other.m_maxLength;
  m_controlId = other.m_controlId;
  m_textColor = other.m_textColor;
  m_readOnly = other.m_readOnly;
  m_vscroll = other.m_vscroll;
  m_wrapText = other.m_wrapText;
  m_allowEnter = other.m_allowEnter;
  m_enabled = other.m_enabled;
  m_triState = other.m_triState;
  m_autoSize = other.m_autoSize;
  m_floodCell = other.m_floodCell;
  m_floatCell = other.m_floatCell;
  m_draw3dFrame = other.m_draw3dFrame;
  m_mergeCell = other.m_mergeCell;
  m_halign = other.m_halign;
  m_valign = other.m_valign;
  if (other.IsIncluded(GX_IN_VALUE)) {
    m_value = other.m_value;
    m_valueType = other.m_valueType;
  }
  if (other.IsIncluded(GX_IN_FORMAT)) m_format = other.m_format;
  if (other.IsIncluded(GX_IN_PLACES)) m_places = other.m_places;
  if (other.IsIncluded(GX_IN_BASESTYLE)) m_baseStyle = other.m_baseStyle;
  if (const Rare* rare = other.m_pRare.get()) {
    m_pRare = std::make_unique<Rare>();
    m_pRare->itemData = rare->itemData;
    if (other.IsIncluded(GX_IN_CHOICELIST)) m_pRare->choices = rare->choices;
    if (rare->userAttributes) m_pRare->userAttributes = std::make_unique<CGXUserAttributeMap>(*rare->userAttributes);
  }
  if (other.m_pBorders) m_pBorders = std::make_unique<std::array<CGXBorderPen, 4>>(*other.m_pBorders);
  if (other.m_pFont) m_pFont = std::make_unique<CGXFont>(*other.m_pFont);
  return *this;
}

CGXStyle& CGXStyle::SetValue(LPCTSTR text) {
  m_value = text ? text : "";
  m_valueType = GX_VT_TEXT;
  return Include(GX_IN_VALUE);
}

CGXStyle& CGXStyle::SetValue(DWORD number) {
  m_value.Format("%lu", static_cast<unsigned long>(number));
  m_valueType = GX_VT_NUMBER;
  return Include(GX_IN_VALUE);
}

CGXStyle& CGXStyle::SetIncludeValue(BOOL b) {
  if (b) return Include(GX_IN_VALUE);
  m_include &= ~GX_IN_VALUE;
  m_value.Empty();
  return *this;
}

CGXStyle& CGXStyle::SetChoiceList(LPCTSTR text) {
  RareParts().choices = std::make_shared<const CGXChoiceListText>(text);
  return Include(GX_IN_CHOICELIST);
}

CGXStyle& CGXStyle::SetHorizontalAlignment(UINT n) {
  m_halign = static_cast<BYTE>(n <= 2 ? n : 0);
  return Include(GX_IN_HORZALIGN);
}

UINT CGXStyle::GetHorizontalAlignment() const {
  return m_halign == 1 ? GX_DT_CENTER : m_halign == 2 ? GX_DT_RIGHT : GX_DT_LEFT;
}

CGXStyle& CGXStyle::SetVerticalAlignment(UINT flag) {
  m_valign = flag == GX_DT_VCENTER ? 1 : flag == GX_DT_BOTTOM ? 2 : 0;
  return Include(GX_IN_VERTALIGN);
}

UINT CGXStyle::GetVerticalAlignment() const {
  return m_valign == 1 ? GX_DT_VCENTER : m_valign == 2 ? GX_DT_BOTTOM : GX_DT_TOP;
}

CGXStyle& CGXStyle::SetInteriorColor(COLORREF color) {
  m_interior.SetColor(color);
  return Include(GX_IN_INTERIOR);
}

CGXStyle& CGXStyle::SetInteriorPattern(UINT pattern) {
  m_interior.SetPattern(pattern);
  return Include(GX_IN_INTERIOR);
}

std::array<CGXBorderPen, 4>& CGXStyle::Borders() {
  if (!m_pBorders) m_pBorders = std::make_unique<std::array<CGXBorderPen, 4>>();
  return *m_pBorders;
}

CGXStyle& CGXStyle::SetBorder(int index, const CGXBorderPen& pen) {
  if (index < GX_BORDER_ALL || index > GX_BORDER_RIGHT) return *this;
  auto& b = Borders();
  if (index == GX_BORDER_ALL)
    b.fill(pen);
  else
    b[static_cast<std::size_t>(index)] = pen;
  return Include(GX_IN_BORDERS);
}

CGXStyle& CGXStyle::SetBorders(const CGXBorderPen* four) {
  if (!four) {
    m_pBorders.reset();
    m_include &= ~GX_IN_BORDERS;
    return *this;
  }
  auto& b = Borders();
  std::copy(four, four + 4, b.begin());
  return Include(GX_IN_BORDERS);
}

CGXStyle& CGXStyle::SetIncludeBorder(int index, BOOL set) {
  if (index < GX_BORDER_ALL || index > GX_BORDER_RIGHT) return *this;
  auto& b = Borders();
  if (index == GX_BORDER_ALL)
    for (auto& pen : b) pen.SetInclude(set);
  else
    b[static_cast<std::size_t>(index)].SetInclude(set);
  const bool any = std::any_of(b.begin(), b.end(), [](const CGXBorderPen& p) { return p.IsSet(); });
  if (any)
    m_include |= GX_IN_BORDERS;
  else
    m_include &= ~GX_IN_BORDERS;
  return *this;
}

BOOL CGXStyle::HasBorder(int index) const {
  if (!IsIncluded(GX_IN_BORDERS) || !m_pBorders || index < 0 || index > 3) return FALSE;
  return (*m_pBorders)[static_cast<std::size_t>(index)].IsSet();
}

CGXBorderPen CGXStyle::GetBorder(int index) const {
  if (!m_pBorders || index < 0 || index > 3) return CGXBorderPen();
  return (*m_pBorders)[static_cast<std::size_t>(index)];
}

CGXStyle& CGXStyle::SetFont(const CGXFont& font, int mode) {
  if (mode == gxExclude) {
    if (m_pFont && IsIncluded(GX_IN_FONT)) m_pFont->ChangeFont(font, gxExclude);
    return *this;
  }
  if (!m_pFont || mode == gxCopy)
    m_pFont = std::make_unique<CGXFont>(font);
  else
    m_pFont->ChangeFont(font, mode);
  return Include(GX_IN_FONT);
}

void CGXStyle::AdoptFont(std::unique_ptr<CGXFont> font) { m_pFont = std::move(font); }
void CGXStyle::AdoptUserAttributes(std::unique_ptr<CGXUserAttributeMap> map) {
  if (map || m_pRare) RareParts().userAttributes = std::move(map);
}

CGXStyle& CGXStyle::SetUserAttribute(WORD id, CGXAbstractUserAttribute* attribute) {
  auto& attributes = RareParts().userAttributes;
  if (!attributes) attributes = std::make_unique<CGXUserAttributeMap>();
  attributes->SetAttribute(id, attribute);
  return Include(GX_IN_USERATTR);
}

CGXStyle& CGXStyle::SetUserAttribute(WORD id, const CString& text) {
  return SetUserAttribute(id, new CGXUserAttribute(text));
}

CGXStyle& CGXStyle::SetUserAttributes(const CGXUserAttributeMap* map) {
  if (!map || map->IsEmpty()) {
    if (m_pRare) m_pRare->userAttributes.reset();
    m_include &= ~GX_IN_USERATTR;
    return *this;
  }
  if (map != GetUserAttributeMap()) RareParts().userAttributes = std::make_unique<CGXUserAttributeMap>(*map);
  return Include(GX_IN_USERATTR);
}

BOOL CGXStyle::HasUserAttribute(WORD id) const {
  const CGXUserAttributeMap* map = GetUserAttributeMap();
  return map && map->FindAttribute(id) >= 0;
}

const CGXAbstractUserAttribute& CGXStyle::GetUserAttribute(WORD id) const {
  static const CGXAbstractUserAttribute emptyAttribute;
  const CGXUserAttributeMap* map = GetUserAttributeMap();
  const CGXAbstractUserAttribute* a = map ? map->GetAttribute(id) : nullptr;
  return a ? *a : emptyAttribute;
}

CString CGXStyle::GetUserAttributeText(WORD id) const { return GetUserAttribute(id).GetValue(); }

// Copies the attributes of `mask` (one flag each) from other and includes them. Borders, font and user
// attributes are merged by MergeStyle itself.
void CGXStyle::CopyAttributes(const CGXStyle& o, DWORD mask) {
  if (mask & GX_IN_HORZALIGN) m_halign = o.m_halign;
  if (mask & GX_IN_VERTALIGN) m_valign = o.m_valign;
  if (mask & GX_IN_READONLY) m_readOnly = o.m_readOnly;
  if (mask & GX_IN_CONTROLID) m_controlId = o.m_controlId;
  if (mask & GX_IN_INTERIOR) m_interior = o.m_interior;
  if (mask & GX_IN_TEXTCOLOR) m_textColor = o.m_textColor;
  if (mask & GX_IN_WRAPTEXT) m_wrapText = o.m_wrapText;
  if (mask & GX_IN_ALLOWENTER) m_allowEnter = o.m_allowEnter;
  if (mask & GX_IN_VALUE) {
    m_value = o.m_value;
    m_valueType = o.m_valueType;
  }
  // Without a rare part a style answers an empty choice list and item data 0: copying those makes none.
  if ((mask & GX_IN_CHOICELIST) && (m_pRare || !o.GetChoiceList().IsEmpty()))
    RareParts().choices = o.m_pRare ? o.m_pRare->choices : nullptr;
  if (mask & GX_IN_VSCROLL) m_vscroll = o.m_vscroll;
  if (mask & GX_IN_MAXLENGTH) m_maxLength = o.m_maxLength;
  if (mask & GX_IN_BASESTYLE) m_baseStyle = o.m_baseStyle;
  if (mask & GX_IN_ENABLED) m_enabled = o.m_enabled;
  if (mask & GX_IN_TRISTATE) m_triState = o.m_triState;
  if (mask & GX_IN_DRAW3DFRAME) m_draw3dFrame = o.m_draw3dFrame;
  if (mask & GX_IN_AUTOSIZE) m_autoSize = o.m_autoSize;
  if ((mask & GX_IN_ITEMDATA) && (m_pRare || o.GetItemDataPtr())) RareParts().itemData = o.GetItemDataPtr();
  if (mask & GX_IN_FLOATCELL) m_floatCell = o.m_floatCell;
  if (mask & GX_IN_FLOODCELL) m_floodCell = o.m_floodCell;
  if (mask & GX_IN_MERGECELL) m_mergeCell = o.m_mergeCell;
  if (mask & GX_IN_FORMAT) m_format = o.m_format;
  if (mask & GX_IN_PLACES) m_places = o.m_places;
  m_include |= mask;
}

CGXStyle& CGXStyle::MergeStyle(const CGXStyle& other, int mode) {
  if (this == &other) {
    if (mode == gxExclude) Free();
    return *this;
  }
  if (mode == gxCopy) return *this = other;
  if (other.m_include == 0) return *this;
  if (mode == gxExclude) {
    // Excluding from an empty style leaves it empty.
    if (m_include == 0) return *this;
    const DWORD both = m_include & other.m_include;
    DWORD clear = other.m_include & ~(GX_IN_BORDERS | GX_IN_FONT | GX_IN_USERATTR);
    if (clear & GX_IN_VALUE) m_value.Empty();
    m_include &= ~clear;
    if ((both & GX_IN_BORDERS) && m_pBorders && other.m_pBorders) {
      for (std::size_t i = 0; i < 4; ++i)
        if ((*other.m_pBorders)[i].IsSet()) (*m_pBorders)[i].SetInclude(FALSE);
      SetIncludeBorder(GX_BORDER_TOP, HasBorder(GX_BORDER_TOP));  // recomputes the flag
    } else if (other.IsIncluded(GX_IN_BORDERS) && !other.m_pBorders) {
      m_include &= ~GX_IN_BORDERS;
    }
    if ((both & GX_IN_FONT) && m_pFont && other.m_pFont) {
      m_pFont->ChangeFont(*other.m_pFont, gxExclude);
      if (m_pFont->IsEmpty()) m_include &= ~GX_IN_FONT;
    }
    if (GetUserAttributeMap() && other.GetUserAttributeMap()) {
      CGXUserAttributeMap& mine = *m_pRare->userAttributes;
      mine.MergeAttributes(*other.GetUserAttributeMap(), gxExclude);
      if (mine.IsEmpty()) m_include &= ~GX_IN_USERATTR;
    }
    return *this;
  }
  if (mode != gxOverride && mode != gxApplyNew) return *this;
  if (m_include == 0) return *this = other;

  const DWORD special = GX_IN_BORDERS | GX_IN_FONT | GX_IN_USERATTR;
  DWORD take = other.m_include & ~special;
  if (mode == gxApplyNew) take &= ~m_include;
  CopyAttributes(other, take);

  if (other.IsIncluded(GX_IN_BORDERS) && other.m_pBorders) {
    auto& b = Borders();
    for (std::size_t i = 0; i < 4; ++i) {
      const CGXBorderPen& pen = (*other.m_pBorders)[i];
      if (!pen.IsSet()) continue;
      if (mode == gxApplyNew && HasBorder(static_cast<int>(i))) continue;
      b[i] = pen;
      m_include |= GX_IN_BORDERS;
    }
  }
  if (other.IsIncluded(GX_IN_FONT) && other.m_pFont) {
    if (!m_pFont || !IsIncluded(GX_IN_FONT))
      m_pFont = std::make_unique<CGXFont>(*other.m_pFont);
    else
      m_pFont->ChangeFont(*other.m_pFont, mode);
    m_include |= GX_IN_FONT;
  }
  if (const CGXUserAttributeMap* theirs = other.GetUserAttributeMap(); theirs && !theirs->IsEmpty()) {
    auto& attributes = RareParts().userAttributes;
    if (!attributes) attributes = std::make_unique<CGXUserAttributeMap>();
    attributes->MergeAttributes(*theirs, mode);
    m_include |= GX_IN_USERATTR;
  }
  return *this;
}

CGXStyle& CGXStyle::LoadBaseStyle(const CGXStylesMap& stylesMap) {
  std::vector<WORD> visited;
  const CGXStyle* current = this;
  while (current->IsIncluded(GX_IN_BASESTYLE)) {
    const WORD id = current->m_baseStyle;
    if (std::find(visited.begin(), visited.end(), id) != visited.end()) break;  // a cycle
    visited.push_back(id);
    CGXStyle* base = nullptr;
    if (!stylesMap.LookupStyle(id, base) || !base) break;
    MergeStyle(*base, gxApplyNew);
    current = base;
  }
  return *this;
}

CGXStyle& CGXStyle::SetDefault() {
  Free();
  SetHorizontalAlignment(0);
  SetVerticalAlignment(GX_DT_TOP);
  SetReadOnly(FALSE);
  SetControl(GX_IDS_CTRL_EDIT);
  SetInteriorColor(0xF9000000);  // COLOR_WINDOW
  SetVerticalScrollbar(FALSE);
  SetDraw3dFrame(0);
  SetMaxLength(0);
  SetTextColor(0xF6000000);  // COLOR_WINDOWTEXT
  SetWrapText(TRUE);
  SetAllowEnter(FALSE);
  SetEnabled(TRUE);
  SetTriState(FALSE);
  SetAutoSize(FALSE);
  SetFont(CGXFont().SetDefaultFont());
  SetValue("");
  SetChoiceList("");
  SetFloodCell(TRUE);
  SetFloatCell(TRUE);
  SetMergeCell(0);
  SetFormat(0);
  SetPlaces(13);
  SetItemDataPtr(0);
  return *this;
}

void CGXStyle::WriteProfile(LPCTSTR section, const CGXStylesMap* stylesMap) const {
  if (CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp) imp->WriteStyleProfile(*this, section, stylesMap);
}

BOOL CGXStyle::ReadProfile(LPCTSTR section, const CGXStylesMap* stylesMap) {
  CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp;
  return imp ? imp->ReadStyleProfile(*this, section, stylesMap) : FALSE;
}
