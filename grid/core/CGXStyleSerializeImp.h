// The archive form of cell styles and of the font, brush and pen they contain (style schema 6, font
// schema 2), and the reader of user attributes archived with style schema 4 or lower.
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CArchive;
class CGXBorderPen;
class CGXFont;
class CGXInteriorBrush;
class CGXStyle;
class CGXStylesMap;

class CGXAbstractStyleSerializeImp : public CGXImpBase {
 public:
  virtual void SerializeFont(CGXFont* font, CArchive& ar) = 0;
  virtual void SerializeBrush(CGXInteriorBrush* brush, CArchive& ar) = 0;
  virtual void SerializePen(CGXBorderPen* pen, CArchive& ar) = 0;
  // With no styles map given, the archive's context pointer is used when it names one.
  virtual void SerializeStyle(CGXStyle* style, CArchive& ar, const CGXStylesMap* stylesMap) = 0;
};

class CGXStyleSerializeImp : public CGXAbstractStyleSerializeImp {
 public:
  static constexpr WORD kStyleSchema = 6;
  static constexpr WORD kFontSchema = 2;

  void SerializeFont(CGXFont* font, CArchive& ar) override;
  void SerializeBrush(CGXInteriorBrush* brush, CArchive& ar) override;
  void SerializePen(CGXBorderPen* pen, CArchive& ar) override;
  void SerializeStyle(CGXStyle* style, CArchive& ar, const CGXStylesMap* stylesMap) override;
};

class CGXAbstractSerializeTarn5CompatibleImp : public CGXImpBase {
 public:
  virtual void ReadUserAttributes(CGXStyle* style, CArchive& ar) = 0;
};

// Installs the style serialisation once per process.
void InstallStyleSerializeImp();
// Installs the reader of user attributes of styles archived with schema 4 or lower.
void InstallSerializeTarn5CompatibleImp();

// The brush form of the style serialisation (five DWORDs); nothing without it installed.
CArchive& SerializeInteriorBrush(CArchive& ar, CGXInteriorBrush& brush);
