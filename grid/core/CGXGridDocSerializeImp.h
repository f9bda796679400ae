// The archive form of a grid layout: the parameter object (schema 11) and the objects it owns, written
// and read by one process-wide object that their Serialize operations forward to.
//
// Call flow of reading a layout (LoadObjectFromResource / ReadObjectFromFile):
//   ReadOwnedObject(CGXGridParam) -> SerializeParam
//     -> styles map  -> SerializeStylesMap -> per base style: CGXStyle::SerializeWithStylesMap
//     -> cell data   -> SerializeData -> SerializeStyleRows -> SerializeStyleArray -> CGXStyle objects
//     -> properties  -> SerializeProperties -> user property styles, header/footer CGXData
//     -> print device, range lists, row/column maps, byte arrays, span pools
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CArchive;
class CGXData;
class CGXGridParam;
class CGXProperties;
class CGXStylePtrArray;
class CGXStylePtrArrayPtrArray;
class CGXStylesMap;
class CGXCollMapDWordToLong;

class CGXAbstractGridDocSerializeImp : public CGXImpBase {
 public:
  virtual void SerializeStylesMap(CGXStylesMap& map, CArchive& ar) = 0;
  virtual void SerializeData(CGXData& data, CArchive& ar) = 0;
  virtual void SerializeStyleRows(CGXStylePtrArrayPtrArray& rows, CArchive& ar) = 0;
  virtual void SerializeStyleArray(CGXStylePtrArray& row, CArchive& ar) = 0;
  virtual void SerializeProperties(CGXProperties& properties, CArchive& ar) = 0;
  virtual void SerializeParam(CGXGridParam& param, CArchive& ar) = 0;
};

class CGXGridDocSerializeImp : public CGXAbstractGridDocSerializeImp {
 public:
  static constexpr WORD kParamSchema = 11;
  static constexpr WORD kStylesMapSchema = 2;
  static constexpr WORD kPropertiesSchema = 4;

  void SerializeStylesMap(CGXStylesMap& map, CArchive& ar) override;
  void SerializeData(CGXData& data, CArchive& ar) override;
  void SerializeStyleRows(CGXStylePtrArrayPtrArray& rows, CArchive& ar) override;
  void SerializeStyleArray(CGXStylePtrArray& row, CArchive& ar) override;
  void SerializeProperties(CGXProperties& properties, CArchive& ar) override;
  void SerializeParam(CGXGridParam& param, CArchive& ar) override;
};

// Installs the document serialisation once per process, with the style serialisation it needs.
void InstallDocSerializeImp();

// The row-height and column-width maps: a count, then key and value DWORDs per entry. The count is a WORD,
// or 0xFFFF and a DWORD for 0xFFFF entries and more, so that no count is ever cut to 16 bits.
void SerializeDWordToLongMap(CGXCollMapDWordToLong& map, CArchive& ar);
