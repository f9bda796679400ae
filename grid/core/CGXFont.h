// The font of a cell style: only the attributes the style includes, packed into two words so that
// styles merge attribute by attribute.
//
// First word: bit 1..3 italic, underline, strike-out included; bits 4-7 weight code (LOGFONT weight /
// 100, 15 = not included); bits 8-17 size in quarter points (0 = not included); bits 18-20 the italic,
// underline and strike-out values; bits 21-29 orientation in whole degrees (511 = not included).
// Second word: bits 0-9 the face id of CGXFontRegistry (1023 = not included).
#pragma once

#include <string>

#include "platform/base/CObject.h"
#include "platform/gdi/gdiapi.h"

class CGXFont : public CObject {
  DECLARE_SERIAL(CGXFont)

 public:
  static constexpr UINT kNoWeight = 15;
  static constexpr UINT kNoOrientation = 511;
  static constexpr UINT kNoFace = 1023;
  static constexpr UINT kMaxQuarterPoints = 1023;

  CGXFont() = default;
  // A copy of a font that holds a reference on the shared font data takes one more.
  CGXFont(const CGXFont& other);
  CGXFont& operator=(const CGXFont& other);
  explicit CGXFont(const LOGFONT& lf) { SetLogFont(lf); }
  ~CGXFont() override { ReleaseSharedData(); }
  // Hands the font to the installed style serialisation; nothing without it.
  void Serialize(CArchive& ar) override;
  // Parses the profile text form (see FormatProfileText).
  explicit CGXFont(const char* text) { ParseProfileText(text); }

  CGXFont& Clear();
  // The font of the standard style: Arial, 8.25 points (11 pixels at 96 DPI), weight 400, not italic,
  // not underlined, not struck out, orientation 0.
  CGXFont& SetDefaultFont();

  CGXFont& SetWeight(LONG weight);
  CGXFont& SetBold(BOOL bold) { return SetWeight(bold ? 700 : 400); }
  CGXFont& SetItalic(BOOL b) { return SetFlag(kItalic, b); }
  CGXFont& SetUnderline(BOOL b) { return SetFlag(kUnderline, b); }
  CGXFont& SetStrikeOut(BOOL b) { return SetFlag(kStrikeOut, b); }
  CGXFont& SetIncludeItalic(BOOL b) { return SetInclude(kItalic, b); }
  CGXFont& SetIncludeUnderline(BOOL b) { return SetInclude(kUnderline, b); }
  CGXFont& SetIncludeStrikeOut(BOOL b) { return SetInclude(kStrikeOut, b); }
  CGXFont& SetIncludeWeight(BOOL b);
  CGXFont& SetIncludeSize(BOOL b);
  CGXFont& SetIncludeOrientation(BOOL b);
  CGXFont& SetIncludeFaceName(BOOL b);
  // |points| x 4, truncated, at most 1023 quarter points (255.75 points).
  CGXFont& SetPointSize(double points);
  // Tenths of a degree of any sign, normalised into 0..359 whole degrees.
  CGXFont& SetOrientation(LONG tenths);
  CGXFont& SetFaceNameId(UINT id);
  CGXFont& SetFaceName(const char* name);

  LONG GetWeight() const { return static_cast<LONG>(WeightCode()) * 100; }
  BOOL GetBold() const { return GetWeight() >= 700; }
  BOOL GetItalic() const { return (m_word0 & kItalicValue) != 0; }
  BOOL GetUnderline() const { return (m_word0 & kUnderlineValue) != 0; }
  BOOL GetStrikeOut() const { return (m_word0 & kStrikeOutValue) != 0; }
  double GetSize() const { return QuarterPoints() * 0.25; }
  UINT GetQuarterPoints() const { return QuarterPoints(); }
  LONG GetOrientation() const { return static_cast<LONG>(Degrees()) * 10; }
  UINT GetFaceNameId() const { return m_word1 & 0x3FF; }
  std::string GetFaceName() const;

  BOOL GetIncludeWeight() const { return WeightCode() != kNoWeight; }
  BOOL GetIncludeSize() const { return QuarterPoints() != 0; }
  BOOL GetIncludeOrientation() const { return Degrees() != kNoOrientation; }
  BOOL GetIncludeFaceName() const { return GetFaceNameId() != kNoFace; }
  BOOL GetIncludeItalic() const { return (m_word0 & kItalic) != 0; }
  BOOL GetIncludeUnderline() const { return (m_word0 & kUnderline) != 0; }
  BOOL GetIncludeStrikeOut() const { return (m_word0 & kStrikeOut) != 0; }
  BOOL IsEmpty() const { return *this == CGXFont(); }

  // Merges another font with the style modes: 0 override, 1 apply new, 2 copy, 3 exclude.
  CGXFont& ChangeFont(const CGXFont& other, int mode);
  // TRUE when every attribute that other includes is included here with the same value.
  BOOL ContainsFont(const CGXFont& other) const;

  // Through the installed profile implementation; nothing (FALSE) without it.
  void WriteProfile(LPCTSTR section, LPCTSTR entry) const;
  BOOL ReadProfile(LPCTSTR section, LPCTSTR entry);

  // "face,size,weight,italic,underline,strikeout,orientation", a field empty when not included.
  std::string FormatProfileText() const;
  void ParseProfileText(const char* text);

  // GDI side. The LOGFONT of a font is kept once per distinct font in a process-wide record that every
  // equal font shares (reference counted); setting any attribute releases the reference.
  struct FontData {
    LONG refs = 0;
    LOGFONT lf{};
    DWORD flags = 0;  // bit 0: lf filled
  };
  const FontData* GetFontData() const;
  const LOGFONT& GetLogFont() const { return GetFontData()->lf; }
  // The LOGFONT with its height scaled by zoom percent.
  void GetLogFontZoomed(LOGFONT& out, int zoom) const;
  void FillLogFont(LOGFONT& lf) const;
  // Every attribute from a LOGFONT (size, weight, orientation, the three flags and the face; a character
  // set other than ANSI or default registers the "face (script)" description).
  CGXFont& SetLogFont(const LOGFONT& lf);
  void ReleaseSharedData() const;
  // Fonts that hold a reference on shared data (for tests of the sharing).
  static std::size_t GetSharedDataCount();

  DWORD GetWord0() const { return m_word0; }
  DWORD GetWord1() const { return m_word1; }

  friend bool operator==(const CGXFont& a, const CGXFont& b) { return a.m_word0 == b.m_word0 && a.m_word1 == b.m_word1; }

 private:
  static constexpr DWORD kItalic = 1u << 1, kUnderline = 1u << 2, kStrikeOut = 1u << 3;
  static constexpr DWORD kItalicValue = 1u << 18, kUnderlineValue = 1u << 19, kStrikeOutValue = 1u << 20;
  static constexpr DWORD kWeightMask = 0xFu << 4, kSizeMask = 0x3FFu << 8, kDegreeMask = 0x1FFu << 21;

  UINT WeightCode() const { return (m_word0 >> 4) & 0xF; }
  UINT QuarterPoints() const { return (m_word0 >> 8) & 0x3FF; }
  UINT Degrees() const { return (m_word0 >> 21) & 0x1FF; }
  CGXFont& SetFlag(DWORD includeBit, BOOL value);
  CGXFont& SetInclude(DWORD includeBit, BOOL include);
  void SetField(DWORD mask, int shift, UINT value) {
    ReleaseSharedData();
    m_word0 = (m_word0 & ~mask) | ((value << shift) & mask);
  }

  // Value bits for each include bit: italic, underline, strike-out.
  static DWORD ValueBit(DWORD includeBit) { return includeBit << 17; }

  DWORD m_word0 = (kNoWeight << 4) | (kNoOrientation << 21);
  DWORD m_word1 = kNoFace;
  mutable bool m_bShared = false;  // holds a reference on the record of its key
};
