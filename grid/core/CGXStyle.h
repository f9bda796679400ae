// Everything that can be said about a cell, a row, a column, the table or a named base style: its value,
// the cell control that shows it, its formatting and any number of user attributes.
//
// A style says only what it includes: each attribute has an include flag (GetIncludeMask, bit order
// below), and an attribute that is not included is inherited from the next style in the chain.
//
// Borders are indexed top 0, left 1, bottom 2, right 3 (the order of the archives and profile keys).
#pragma once

#include <array>
#include <memory>
#include <span>

#include "grid/core/CGXBorderPen.h"
#include "grid/core/CGXChoiceListText.h"
#include "grid/core/CGXFont.h"
#include "grid/core/CGXInteriorBrush.h"
#include "grid/core/CGXUserAttributeMap.h"
#include "grid/core/gxtypes.h"

class CGXStylesMap;

// Include flags in the public (archived) order.
enum GXStyleBit : DWORD {
  GX_IN_HORZALIGN = 1u << 0,
  GX_IN_VERTALIGN = 1u << 1,
  GX_IN_READONLY = 1u << 2,
  GX_IN_CONTROLID = 1u << 3,
  GX_IN_INTERIOR = 1u << 4,
  GX_IN_TEXTCOLOR = 1u << 5,
  GX_IN_WRAPTEXT = 1u << 6,
  GX_IN_ALLOWENTER = 1u << 7,
  GX_IN_BORDERS = 1u << 8,
  GX_IN_FONT = 1u << 9,
  GX_IN_VALUE = 1u << 10,
  GX_IN_CHOICELIST = 1u << 11,
  GX_IN_VSCROLL = 1u << 12,
  GX_IN_MAXLENGTH = 1u << 13,
  GX_IN_BASESTYLE = 1u << 14,
  GX_IN_ENABLED = 1u << 15,
  GX_IN_TRISTATE = 1u << 16,
  GX_IN_DRAW3DFRAME = 1u << 17,
  GX_IN_USERATTR = 1u << 18,
  GX_IN_AUTOSIZE = 1u << 19,
  GX_IN_ITEMDATA = 1u << 20,
  GX_IN_FLOATCELL = 1u << 21,
  GX_IN_FLOODCELL = 1u << 22,
  GX_IN_MERGECELL = 1u << 23,
  GX_IN_FORMAT = 1u << 24,
  GX_IN_PLACES = 1u << 25,
  GX_IN_ALL = (1u << 26) - 1,
};

enum GXBorderIndex : int { GX_BORDER_TOP = 0, GX_BORDER_LEFT = 1, GX_BORDER_BOTTOM = 2, GX_BORDER_RIGHT = 3, GX_BORDER_ALL = -1 };

// Value types of a style's value.
enum GXValueType : BYTE { GX_VT_TEXT = 0, GX_VT_NUMBER = 1, GX_VT_FORMULA = 2, GX_VT_ERROR = 3 };

// The profile keys of a style's attributes, in the order of the keyword table ("Top" to "Right" name the
// four borders under "Borders").
std::span<const char* const> GetStyleKeywords();

class CGXStyle : public CObject {
  DECLARE_SERIAL(CGXStyle)

 public:
  CGXStyle() = default;
  // Copies only what the source includes.
  CGXStyle(const CGXStyle& other);
  ~CGXStyle() override;

  // The archive form of the installed style serialisation, without a styles map (the archive's context
  // pointer may still name one).
  void Serialize(CArchive& ar) override;
  virtual CGXStyle* Clone() const;
  virtual CGXStyle& SetValue(LPCTSTR text);
  virtual CGXStyle& operator=(const CGXStyle& other);
  // The standard style: left and top aligned, editable, edit control, window-coloured interior, window
  // text colour, wrapping, enabled, the default font, flood and float cells, "Places" 13.
  virtual CGXStyle& SetDefault();
  // TRUE when this style holds everything that other includes (the installed comparison; FALSE without it).
  virtual BOOL IsSubSet(const CGXStyle& other) const;
  virtual void SerializeWithStylesMap(CArchive& ar, const CGXStylesMap* stylesMap);
  // Follows the base-style chain in the map, filling in what this style lacks. A chain that comes back to
  // a style already visited stops there.
  virtual CGXStyle& LoadBaseStyle(const CGXStylesMap& stylesMap);
  virtual CGXStyle& MergeStyle(const CGXStyle& other, int mode);
  // Drops every attribute: no flags, no item data, empty texts.
  virtual void Free();
  // The style in the application profile, through the installed profile implementation (nothing, FALSE,
  // without it). The styles map names base styles and user attributes.
  virtual void WriteProfile(LPCTSTR section, const CGXStylesMap* stylesMap) const;
  virtual BOOL ReadProfile(LPCTSTR section, const CGXStylesMap* stylesMap);

  DWORD GetIncludeMask() const { return m_include; }
  CGXStyle& SetIncludeMask(DWORD mask);
  BOOL IsIncluded(DWORD bit) const { return (m_include & bit) != 0; }
  BOOL IsEmpty() const { return m_include == 0; }

  // Value.
  CGXStyle& SetValue(const CString& text) { return SetValue(text.GetString()); }
  CGXStyle& SetValue(DWORD number);
  CGXStyle& SetIncludeValue(BOOL b);
  const CString& GetValue() const { return m_value; }
  BOOL GetIncludeValue() const { return IsIncluded(GX_IN_VALUE); }
  BYTE GetValueType() const { return m_valueType; }
  CGXStyle& SetValueType(BYTE type) { m_valueType = type & 7; return *this; }

  CGXStyle& SetChoiceList(LPCTSTR text);
  CGXStyle& SetChoiceList(const CString& text) { return SetChoiceList(text.GetString()); }
  const CString& GetChoiceList() const;
  // The choice list's text object, which the styles composed from one list share (null without a list): the
  // same object is the same list, and it keeps the list's index.
  const std::shared_ptr<const CGXChoiceListText>& GetSharedChoiceList() const {
    static const std::shared_ptr<const CGXChoiceListText> none;
    return m_pRare ? m_pRare->choices : none;
  }

  // 0 left, 1 centre, 2 right (anything else left); the getter answers the DrawText flag.
  CGXStyle& SetHorizontalAlignment(UINT n);
  UINT GetHorizontalAlignment() const;
  // DT_VCENTER (4) or DT_BOTTOM (8), anything else top; the getter answers the DrawText flag.
  CGXStyle& SetVerticalAlignment(UINT flag);
  UINT GetVerticalAlignment() const;

  CGXStyle& SetReadOnly(BOOL b) { m_readOnly = b != 0; return Include(GX_IN_READONLY); }
  BOOL GetReadOnly() const { return m_readOnly; }
  CGXStyle& SetControl(WORD id) { m_controlId = id; return Include(GX_IN_CONTROLID); }
  WORD GetControl() const { return m_controlId; }
  CGXStyle& SetWrapText(BOOL b) { m_wrapText = b != 0; return Include(GX_IN_WRAPTEXT); }
  BOOL GetWrapText() const { return m_wrapText; }
  CGXStyle& SetAllowEnter(BOOL b) { m_allowEnter = b != 0; return Include(GX_IN_ALLOWENTER); }
  BOOL GetAllowEnter() const { return m_allowEnter; }
  CGXStyle& SetVerticalScrollbar(BOOL b) { m_vscroll = b != 0; return Include(GX_IN_VSCROLL); }
  BOOL GetVerticalScrollbar() const { return m_vscroll; }
  CGXStyle& SetMaxLength(WORD n) { m_maxLength = n; return Include(GX_IN_MAXLENGTH); }
  WORD GetMaxLength() const { return m_maxLength; }
  CGXStyle& SetEnabled(BOOL b) { m_enabled = b != 0; return Include(GX_IN_ENABLED); }
  BOOL GetEnabled() const { return m_enabled; }
  CGXStyle& SetTriState(BOOL b) { m_triState = b != 0; return Include(GX_IN_TRISTATE); }
  BOOL GetTriState() const { return m_triState; }
  CGXStyle& SetDraw3dFrame(UINT n) { m_draw3dFrame = static_cast<BYTE>(n & 3); return Include(GX_IN_DRAW3DFRAME); }
  UINT GetDraw3dFrame() const { return m_draw3dFrame; }
  CGXStyle& SetAutoSize(BOOL b) { m_autoSize = b != 0; return Include(GX_IN_AUTOSIZE); }
  BOOL GetAutoSize() const { return m_autoSize; }
  CGXStyle& SetFloatCell(BOOL b) { m_floatCell = b != 0; return Include(GX_IN_FLOATCELL); }
  BOOL GetFloatCell() const { return m_floatCell; }
  CGXStyle& SetFloodCell(BOOL b) { m_floodCell = b != 0; return Include(GX_IN_FLOODCELL); }
  BOOL GetFloodCell() const { return m_floodCell; }
  CGXStyle& SetMergeCell(UINT n) { m_mergeCell = static_cast<BYTE>(n & 7); return Include(GX_IN_MERGECELL); }
  UINT GetMergeCell() const { return m_mergeCell; }
  CGXStyle& SetFormat(UINT n) { m_format = static_cast<BYTE>(n & 31); return Include(GX_IN_FORMAT); }
  UINT GetFormat() const { return m_format; }
  CGXStyle& SetPlaces(UINT n) { m_places = static_cast<BYTE>(n & 15); return Include(GX_IN_PLACES); }
  UINT GetPlaces() const { return m_places; }
  CGXStyle& SetItemDataPtr(DWORD_PTR data) { RareParts().itemData = data; return Include(GX_IN_ITEMDATA); }
  DWORD_PTR GetItemDataPtr() const { return m_pRare ? m_pRare->itemData : 0; }
  CGXStyle& SetBaseStyle(WORD id) { m_baseStyle = id; return Include(GX_IN_BASESTYLE); }
  WORD GetBaseStyle() const { return m_baseStyle; }

  // Colours are packed colours (see gxcolor.h).
  CGXStyle& SetTextColor(COLORREF color) { m_textColor = gx::PackColor(color); return Include(GX_IN_TEXTCOLOR); }
  CGXStyle& SetTextPackedColor(const gx::PackedColor& c) { m_textColor = c; return Include(GX_IN_TEXTCOLOR); }
  const gx::PackedColor& GetTextPackedColor() const { return m_textColor; }
  COLORREF GetTextColorWithIndex() const { return gx::TaggedColor(m_textColor); }
  COLORREF GetTextColor() const { return gx::ResolvedColor(m_textColor); }
  CGXStyle& SetInteriorColor(COLORREF color);
  CGXStyle& SetInteriorPattern(UINT pattern);
  CGXStyle& SetInterior(const CGXInteriorBrush& brush) { m_interior = brush; return Include(GX_IN_INTERIOR); }
  const CGXInteriorBrush& GetInterior() const { return m_interior; }

  // index 0..3 or -1 for all four.
  CGXStyle& SetBorder(int index, const CGXBorderPen& pen);
  // Four pens, or null to drop the borders.
  CGXStyle& SetBorders(const CGXBorderPen* four);
  CGXStyle& SetIncludeBorder(int index, BOOL set);
  BOOL HasBorder(int index) const;
  CGXBorderPen GetBorder(int index) const;

  // Mode 3 changes only a font already included and sets no flag.
  CGXStyle& SetFont(const CGXFont& font, int mode = gxOverride);
  CGXFont GetFont() const { return m_pFont ? *m_pFont : CGXFont(); }
  const CGXFont* GetFontPtr() const { return m_pFont.get(); }

  CGXStyle& SetUserAttribute(WORD id, CGXAbstractUserAttribute* attribute);
  CGXStyle& SetUserAttribute(WORD id, const CString& text);
  CGXStyle& SetUserAttribute(WORD id, LPCTSTR text) { return SetUserAttribute(id, CString(text)); }
  // A copy of another map; null or an empty map drops the style's own.
  CGXStyle& SetUserAttributes(const CGXUserAttributeMap* map);
  BOOL HasUserAttribute(WORD id) const;
  // The attribute, or a shared empty attribute when the style has none with the id.
  const CGXAbstractUserAttribute& GetUserAttribute(WORD id) const;
  CString GetUserAttributeText(WORD id) const;
  const CGXUserAttributeMap* GetUserAttributeMap() const {
    return m_pRare ? m_pRare->userAttributes.get() : nullptr;
  }
  // For the archive reader, which fills the style directly.
  void AdoptFont(std::unique_ptr<CGXFont> font);
  void AdoptUserAttributes(std::unique_ptr<CGXUserAttributeMap> map);

 private:
  CGXStyle& Include(DWORD bit) { m_include |= bit; return *this; }
  void CopyAttributes(const CGXStyle& other, DWORD mask);
  std::array<CGXBorderPen, 4>& Borders();

  // What few cells carry: a choice list, item data and user attributes. Kept apart and made only when
  // set, so that a cell holding a value and a few flags stays small. A choice list is never changed in
  // place: the styles composed from one share its text (a long list costs nothing to copy), and its
  // readers may tell the same list by the same text object.
  struct Rare {
    std::shared_ptr<const CGXChoiceListText> choices;
    DWORD_PTR itemData = 0;
    std::unique_ptr<CGXUserAttributeMap> userAttributes;
  };
  Rare& RareParts();

  DWORD m_include = 0;
  CGXInteriorBrush m_interior;
  gx::PackedColor m_textColor;
  WORD m_maxLength = 0;
  WORD m_controlId = 0;
  WORD m_baseStyle = 0;  // 16 bits, so that any styles-map id can be named
  bool m_readOnly = false, m_vscroll = false, m_wrapText = false, m_allowEnter = false, m_enabled = false,
       m_triState = false, m_autoSize = false, m_floodCell = false, m_floatCell = false;
  BYTE m_draw3dFrame = 0;
  BYTE m_mergeCell = 0;
  BYTE m_halign = 0;  // 0 left, 1 centre, 2 right
  BYTE m_valign = 0;  // 0 top, 1 centre, 2 bottom
  BYTE m_valueType = GX_VT_TEXT;
  BYTE m_format = 0;
  BYTE m_places = 0;
  std::unique_ptr<std::array<CGXBorderPen, 4>> m_pBorders;
  std::unique_ptr<CGXFont> m_pFont;
  CString m_value;
  std::unique_ptr<Rare> m_pRare;
};
