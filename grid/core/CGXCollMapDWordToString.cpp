#include "grid/core/CGXCollMapDWordToString.h"

#include <utility>
#include <vector>

#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXCollMapDWordToString, CObject, 0)

void CGXCollMapDWordToString::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(m_map.GetCount()));
    POSITION pos = m_map.GetStartPosition();
    while (pos) {
      DWORD key = 0;
      CString value;
      m_map.GetNextAssoc(pos, key, value);
      ar << key << value;
    }
    return;
  }
  const DWORD_PTR count = ar.ReadCount();
  // Five bytes at least per entry (a key and an empty text).
  if (count > ar.GetBytesLeft() / 5) gx::ThrowBadIndex();
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD key = 0;
    CString value;
    ar >> key >> value;
    m_map.SetAt(key, value);
  }
}

namespace {

class CGXSerializeTarn5CompatibleImp : public CGXAbstractSerializeTarn5CompatibleImp {
 public:
  void ReadUserAttributes(CGXStyle* style, CArchive& ar) override {
    std::unique_ptr<CGXCollMapDWordToString> old = GX_READ_OWNED(CGXCollMapDWordToString, ar);
    if (!old) return;
    auto map = std::make_unique<CGXUserAttributeMap>();
    POSITION pos = old->GetStartPosition();
    while (pos) {
      DWORD key = 0;
      CString text;
      old->GetNextAssoc(pos, key, text);
      if (key > 0xFFFF) gx::ThrowBadIndex();  // attribute ids are 16 bits
      map->SetAttributeClone(static_cast<WORD>(key), CGXUserAttribute(text));
    }
    map->SortById();
    style->AdoptUserAttributes(std::move(map));
  }
};

}  // namespace

void InstallSerializeTarn5CompatibleImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pSerializeCompatImp) return;
  auto* imp = new CGXSerializeTarn5CompatibleImp;
  g.m_pSerializeCompatImp = imp;
  g.AddToAutoDeleteList(imp);
}
