#include "grid/core/CGXStyleSerializeImp.h"

#include <cmath>

#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"

void InstallStyleSerializeImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pStyleSerializeImp) return;
  auto* imp = new CGXStyleSerializeImp;
  g.m_pStyleSerializeImp = imp;
  g.AddToAutoDeleteList(imp);
}

CArchive& SerializeInteriorBrush(CArchive& ar, CGXInteriorBrush& brush) {
  if (CGXAbstractStyleSerializeImp* imp = CGXGridGlobals::Get().m_pStyleSerializeImp) imp->SerializeBrush(&brush, ar);
  return ar;
}

// ---- Fonts

namespace {

enum FontMask : DWORD {
  kItalicIn = 1u << 0, kUnderlineIn = 1u << 1, kStrikeIn = 1u << 2,
  kItalicVal = 1u << 3, kUnderlineVal = 1u << 4, kStrikeVal = 1u << 5,
  kWeightIn = 1u << 6, kSizeIn = 1u << 7, kOrientIn = 1u << 8, kFaceIn = 1u << 9,
};

// The archive holds tenths of a point; a quarter-point size is restored by rounding, so that every size a
// font can hold reads back unchanged.
UINT QuarterPointsFromTenths(DWORD tenths) {
  const double q = std::floor(tenths * 0.4 + 0.5);
  return q > CGXFont::kMaxQuarterPoints ? CGXFont::kMaxQuarterPoints : static_cast<UINT>(q);
}

CString ReadBoundedString(CArchive& ar, std::size_t keep) {
  CString s;
  ar >> s;
  if (static_cast<std::size_t>(s.GetLength()) > keep) s = s.Left(static_cast<int>(keep));
  return s;
}

void ReadLogFontForm(CGXFont& font, CArchive& ar) {
  LONG height = 0, weight = 0;
  BYTE italic = 0, underline = 0, pitch = 0;
  ar >> height >> weight >> italic >> underline >> pitch;
  const CString face = ReadBoundedString(ar, 31);
  font.Clear();
  // As a LOGFONT of the platform's 96 pixels per inch: points = |height| x 288 / 96 quarter points.
  const long long h = height < 0 ? -static_cast<long long>(height) : height;
  if (h) font.SetPointSize(static_cast<double>(std::min<long long>(h * 3, CGXFont::kMaxQuarterPoints)) * 0.25);
  font.SetWeight(weight);
  font.SetItalic(italic != 0);
  font.SetUnderline(underline != 0);
  font.SetStrikeOut(FALSE);
  font.SetFaceNameId(CGXFontRegistry::Instance().AddFaceName(face.View(), pitch, 0));
  DWORD flags = 0;
  ar >> flags;
  if (!(flags & 0x01)) font.SetIncludeWeight(FALSE);
  if (!(flags & 0x02)) font.SetIncludeItalic(FALSE);
  if (!(flags & 0x04)) font.SetIncludeUnderline(FALSE);
  if (!(flags & 0x08)) font.SetIncludeStrikeOut(FALSE);
  if (!(flags & 0x10)) font.SetIncludeSize(FALSE);
  if (!(flags & 0x20)) font.SetIncludeFaceName(FALSE);
  LONG orientation = 0;
  if (flags & 0x40) ar >> orientation;
  font.SetOrientation(orientation);
}

}  // namespace

void CGXStyleSerializeImp::SerializeFont(CGXFont* font, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << kFontSchema;
    DWORD mask = 0;
    if (font->GetIncludeItalic()) mask |= kItalicIn | (font->GetItalic() ? DWORD{kItalicVal} : DWORD{0});
    if (font->GetIncludeUnderline()) mask |= kUnderlineIn | (font->GetUnderline() ? DWORD{kUnderlineVal} : DWORD{0});
    if (font->GetIncludeStrikeOut()) mask |= kStrikeIn | (font->GetStrikeOut() ? DWORD{kStrikeVal} : DWORD{0});
    const GXFontFaceEntry* face = font->GetIncludeFaceName()
                                      ? CGXFontRegistry::Instance().GetFaceEntry(font->GetFaceNameId())
                                      : nullptr;
    if (font->GetIncludeWeight()) mask |= kWeightIn;
    if (font->GetIncludeSize()) mask |= kSizeIn;
    if (font->GetIncludeOrientation()) mask |= kOrientIn;
    if (face) mask |= kFaceIn;
    ar << mask;
    if (mask & kWeightIn) ar << static_cast<WORD>(font->GetWeight());
    if (mask & kSizeIn) ar << static_cast<WORD>(font->GetQuarterPoints() * 10 / 4);
    if (mask & kOrientIn) ar << static_cast<WORD>(font->GetOrientation());
    if (face) {
      ar << CString(face->name.c_str());
      ar << face->pitchAndFamily << face->charSet;
    }
    return;
  }
  const WORD schema = gx::ReadSchema(ar, kFontSchema);
  if (schema == 1) {
    ReadLogFontForm(*font, ar);
    return;
  }
  DWORD mask = 0;
  ar >> mask;
  font->Clear();
  if (mask & kItalicIn) font->SetItalic((mask & kItalicVal) != 0);
  if (mask & kUnderlineIn) font->SetUnderline((mask & kUnderlineVal) != 0);
  if (mask & kStrikeIn) font->SetStrikeOut((mask & kStrikeVal) != 0);
  if (mask & kWeightIn) {
    WORD w = 0;
    ar >> w;
    font->SetWeight(w);
  }
  if (mask & kSizeIn) {
    WORD tenths = 0;
    ar >> tenths;
    font->SetPointSize(QuarterPointsFromTenths(tenths) * 0.25);
  }
  if (mask & kOrientIn) {
    WORD o = 0;
    ar >> o;
    font->SetOrientation(o);
  }
  if (mask & kFaceIn) {
    const CString name = ReadBoundedString(ar, GXFontFaceEntry::kMaxName);
    BYTE pitch = 0, charSet = 0;
    ar >> pitch >> charSet;
    font->SetFaceNameId(CGXFontRegistry::Instance().AddFaceName(name.View(), pitch, charSet));
  }
}

// ---- Brushes and pens

void CGXStyleSerializeImp::SerializeBrush(CGXInteriorBrush* brush, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<DWORD>(brush->GetStyle()) << gx::ArchiveColor(brush->GetFore())
       << static_cast<DWORD>(brush->GetHatch()) << static_cast<DWORD>(brush->GetPattern())
       << gx::ArchiveColor(brush->GetBack());
    return;
  }
  DWORD style = 0, fore = 0, hatch = 0, pattern = 0, back = 0;
  ar >> style >> fore >> hatch >> pattern >> back;
  CGXInteriorBrush b;
  b.SetFore(gx::ColorFromArchive(fore)).SetBack(gx::ColorFromArchive(back));
  style &= 3;
  pattern &= 0x7F;
  if (style == CGXInteriorBrush::pattern) {
    if (pattern >= CGXInteriorBrush::kPatterns)
      b.SetStyle(CGXInteriorBrush::null);  // no such pattern: draws nothing
    else
      b.SetPattern(pattern);
  } else {
    b.SetStyle(style).SetHatch(hatch & 7);
  }
  *brush = b;
}

void CGXStyleSerializeImp::SerializePen(CGXBorderPen* pen, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<DWORD>(pen->GetStyle()) << static_cast<WORD>(pen->GetWidth())
       << static_cast<WORD>(pen->IsSet() ? 1 : 0) << gx::ArchiveColor(pen->GetPackedColor());
    return;
  }
  DWORD style = 0, color = 0;
  WORD width = 0, set = 0;
  ar >> style >> width >> set >> color;
  pen->SetStyle(set ? (style & 7) : CGXBorderPen::kNotSet).SetWidth(width).SetPackedColor(gx::ColorFromArchive(color));
}

// ---- Styles

namespace {

BOOL Bit0(CArchive& ar) {
  BYTE b = 0;
  ar >> b;
  return b & 1;
}

const CGXStylesMap* ContextStylesMap(CArchive& ar, const CGXStylesMap* given) {
  if (given) return given;
  // The parameter object puts its styles map in the archive's context pointer while its objects are read.
  auto* o = reinterpret_cast<CObject*>(ar.m_pDocument);
  return o && o->IsKindOf(RUNTIME_CLASS(CGXStylesMap)) ? static_cast<const CGXStylesMap*>(o) : nullptr;
}

}  // namespace

void CGXStyleSerializeImp::SerializeStyle(CGXStyle* s, CArchive& ar, const CGXStylesMap* givenMap) {
  const CGXStylesMap* stylesMap = ContextStylesMap(ar, givenMap);
  if (ar.IsStoring()) {
    const DWORD mask = s->GetIncludeMask();
    ar << kStyleSchema << mask;
    if (mask & GX_IN_HORZALIGN) ar << static_cast<DWORD>(s->GetHorizontalAlignment());
    if (mask & GX_IN_VERTALIGN) ar << static_cast<DWORD>(s->GetVerticalAlignment());
    if (mask & GX_IN_READONLY) ar << static_cast<BYTE>(s->GetReadOnly());
    if (mask & GX_IN_CONTROLID) ar << static_cast<DWORD>(s->GetControl());
    if (mask & GX_IN_INTERIOR) {
      CGXInteriorBrush b = s->GetInterior();
      SerializeBrush(&b, ar);
    }
    if (mask & GX_IN_TEXTCOLOR) {
      // A system text colour is stored as its current value: it loads back as a fixed colour.
      const gx::PackedColor& c = s->GetTextPackedColor();
      ar << (c.kind == gx::kindSystem ? gx::ResolvedColor(c) : gx::ArchiveColor(c));
    }
    if (mask & GX_IN_WRAPTEXT) ar << static_cast<BYTE>(s->GetWrapText());
    if (mask & GX_IN_ALLOWENTER) ar << static_cast<BYTE>(s->GetAllowEnter());
    if (mask & GX_IN_FONT) ar.WriteObject(s->GetFontPtr());
    if (mask & GX_IN_VALUE) ar << s->GetValue();
    if (mask & GX_IN_CHOICELIST) ar << s->GetChoiceList();
    if (mask & GX_IN_VSCROLL) ar << static_cast<BYTE>(s->GetVerticalScrollbar());
    if (mask & GX_IN_MAXLENGTH) ar << s->GetMaxLength();
    if (mask & GX_IN_ENABLED) ar << static_cast<BYTE>(s->GetEnabled());
    if (mask & GX_IN_TRISTATE) ar << static_cast<BYTE>(s->GetTriState());
    if (mask & GX_IN_DRAW3DFRAME) ar << static_cast<BYTE>(s->GetDraw3dFrame());
    if (mask & GX_IN_AUTOSIZE) ar << static_cast<BYTE>(s->GetAutoSize());
    if (mask & GX_IN_BORDERS) {
      ar << WORD{1};
      for (int i = 0; i < 4; ++i) {
        if (!s->HasBorder(i)) {
          ar << WORD{0};
          continue;
        }
        ar << WORD{1} << CString(s->GetBorder(i).FormatProfileText().c_str());
      }
    } else {
      ar << WORD{0};
    }
    if (mask & GX_IN_BASESTYLE) {
      UINT resourceId = 0;
      LPCTSTR name = stylesMap ? stylesMap->GetStyleName(s->GetBaseStyle(), resourceId) : nullptr;
      ar << static_cast<DWORD>(resourceId);
      if (resourceId == 0) ar << CString(name ? name : "");
    }
    ar.WriteObject(s->GetUserAttributeMap());
    if (mask & GX_IN_FLOATCELL) ar << static_cast<BYTE>(s->GetFloatCell());
    if (mask & GX_IN_FLOODCELL) ar << static_cast<BYTE>(s->GetFloodCell());
    if (mask & GX_IN_MERGECELL) ar << static_cast<BYTE>(s->GetMergeCell());
    if (mask & GX_IN_ITEMDATA) ar << static_cast<DWORD>(s->GetItemDataPtr());
    if (mask & GX_IN_FORMAT) ar << static_cast<BYTE>(s->GetFormat());
    if (mask & GX_IN_PLACES) ar << static_cast<BYTE>(s->GetPlaces());
    if (mask & GX_IN_VALUE) ar << s->GetValueType();
    return;
  }

  const WORD schema = gx::ReadSchema(ar, kStyleSchema);
  DWORD mask = 0;
  ar >> mask;
  s->Free();
  mask &= GX_IN_ALL;
  DWORD d = 0;
  BYTE b = 0;
  if (mask & GX_IN_HORZALIGN) {
    ar >> d;
    s->SetHorizontalAlignment(d == 1 || d == 2 ? d : 0);
  }
  if (mask & GX_IN_VERTALIGN) {
    ar >> d;
    s->SetVerticalAlignment(d);
  }
  if (mask & GX_IN_READONLY) s->SetReadOnly(Bit0(ar));
  if (mask & GX_IN_CONTROLID) {
    ar >> d;
    s->SetControl(static_cast<WORD>(d));
  }
  if (mask & GX_IN_INTERIOR) {
    CGXInteriorBrush brush;
    SerializeBrush(&brush, ar);
    s->SetInterior(brush);
  }
  if (mask & GX_IN_TEXTCOLOR) {
    ar >> d;
    s->SetTextPackedColor(gx::ColorFromArchive(d));
  }
  if (mask & GX_IN_WRAPTEXT) s->SetWrapText(Bit0(ar));
  if (mask & GX_IN_ALLOWENTER) s->SetAllowEnter(Bit0(ar));
  if (mask & GX_IN_FONT) s->AdoptFont(GX_READ_OWNED(CGXFont, ar));
  if (mask & GX_IN_VALUE) {
    CString v;
    ar >> v;
    s->SetValue(v);
  }
  if (mask & GX_IN_CHOICELIST) {
    CString c;
    ar >> c;
    s->SetChoiceList(c);
  }
  if (mask & GX_IN_VSCROLL) s->SetVerticalScrollbar(Bit0(ar));
  if (mask & GX_IN_MAXLENGTH) {
    WORD w = 0;
    ar >> w;
    s->SetMaxLength(w);
  }
  if (mask & GX_IN_ENABLED) s->SetEnabled(Bit0(ar));
  if (mask & GX_IN_TRISTATE) s->SetTriState(Bit0(ar));
  if (mask & GX_IN_DRAW3DFRAME) {
    ar >> b;
    s->SetDraw3dFrame(b);
  }
  if (mask & GX_IN_AUTOSIZE) s->SetAutoSize(Bit0(ar));
  WORD borders = 0;
  ar >> borders;
  if (borders) {
    for (int i = 0; i < 4; ++i) {
      WORD has = 0;
      ar >> has;
      if (!has) continue;
      CString text;
      ar >> text;
      s->SetBorder(i, CGXBorderPen(text.GetString()));
    }
  }
  if (mask & GX_IN_BASESTYLE) {
    DWORD resourceId = 0;
    ar >> resourceId;
    WORD base = 0;
    if (resourceId != 0) {
      if (stylesMap) base = stylesMap->GetIdFromResourceId(resourceId);
    } else {
      CString name;
      ar >> name;
      if (stylesMap && !name.IsEmpty()) base = stylesMap->GetIdFromName(name);
    }
    s->SetBaseStyle(base);
  }
  if (schema >= 5) {
    s->AdoptUserAttributes(GX_READ_OWNED(CGXUserAttributeMap, ar));
  } else {
    CGXGridGlobals& g = CGXGridGlobals::Get();
    auto* compat = dynamic_cast<CGXAbstractSerializeTarn5CompatibleImp*>(g.m_pSerializeCompatImp);
    if (!compat) gx::ThrowBadSchema();
    compat->ReadUserAttributes(s, ar);
  }
  if (schema >= 2) {
    if (mask & GX_IN_FLOATCELL) s->SetFloatCell(Bit0(ar));
    if (mask & GX_IN_FLOODCELL) s->SetFloodCell(Bit0(ar));
    if (mask & GX_IN_MERGECELL) {
      ar >> b;
      s->SetMergeCell(b);
    }
  }
  if (schema >= 3 && (mask & GX_IN_ITEMDATA)) {
    ar >> d;
    s->SetItemDataPtr(d);
  }
  if (schema >= 6) {
    if (mask & GX_IN_FORMAT) {
      ar >> b;
      s->SetFormat(b);
    }
    if (mask & GX_IN_PLACES) {
      ar >> b;
      s->SetPlaces(b);
    }
  } else if (schema >= 4 && (mask & GX_IN_FORMAT)) {
    BYTE places = 0;
    ar >> b >> places;
    s->SetFormat(b);
    s->SetPlaces(places);
  }
  if (schema >= 4 && (mask & GX_IN_VALUE)) {
    ar >> b;
    s->SetValueType(b);
  }
  // The include flags are those of the archive, plus the borders that were read and, for schemas 4 and 5,
  // the places that come with the format.
  DWORD include = mask | (s->GetIncludeMask() & GX_IN_BORDERS);
  if (schema >= 4 && schema < 6 && (mask & GX_IN_FORMAT)) include |= GX_IN_PLACES;
  s->SetIncludeMask(include);
}
