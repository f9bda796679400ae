// Feeds arbitrary bytes to the archive reader: objects with class tags, schemas and back references,
// strings in both forms, counts and the collections' Serialize. Every failure must be an archive (or
// memory) exception; no crash, leak, hang or huge allocation.
//
// Only CFuzzNode objects may be created (every ReadObject asks for that class), and nodes never own one
// another, so the target can free exactly what was created, whatever references the input makes.
#include <cstddef>
#include <cstdint>
#include <set>

#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"
#include "platform/base/Collections.h"

namespace fuzz {

std::set<CObject*>& Live() {
  static std::set<CObject*> live;
  return live;
}

class CFuzzNode : public CObject {
  DECLARE_SERIAL(CFuzzNode)
 public:
  CFuzzNode() { Live().insert(this); }
  ~CFuzzNode() override { Live().erase(this); }
  void Serialize(CArchive& ar) override {
    const UINT schema = ar.GetObjectSchema();
    WORD flags = 0;
    ar >> flags;
    if (flags & 1) ar >> name;
    if (flags & 2) first = ar.ReadObject(RUNTIME_CLASS(CFuzzNode));
    if (flags & 4) second = ar.ReadObject(RUNTIME_CLASS(CFuzzNode));
    if (flags & 8) strings.Serialize(ar);
    if (flags & 16) dwords.Serialize(ar);
    if (flags & 32) map.Serialize(ar);
    if ((flags & 64) && schema >= 2) words.Serialize(ar);
    if (flags & 128) list.Serialize(ar);
    if (flags & 256) bytes.Serialize(ar);
  }
  CString name;
  CObject* first = nullptr;
  CObject* second = nullptr;
  CStringArray strings;
  CDWordArray dwords;
  CWordArray words;
  CByteArray bytes;
  CMapStringToString map;
  CStringList list;
};
IMPLEMENT_SERIAL(CFuzzNode, CObject, VERSIONABLE_SCHEMA | 2)

}  // namespace fuzz

using fuzz::CFuzzNode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
  {
    CArchive ar(&file, CArchive::load);
    try {
      for (int step = 0; step < 64; ++step) {
        BYTE op = 0;
        ar >> op;
        switch (op % 8) {
          case 0:
            ar.ReadObject(RUNTIME_CLASS(CFuzzNode));
            break;
          case 1: {
            CString s;
            ar >> s;
            break;
          }
          case 2:
            ar.ReadCount();
            break;
          case 3: {
            double d;
            DWORD w;
            ar >> d >> w;
            break;
          }
          case 4: {
            UINT schema = 0;
            ar.ReadClass(nullptr, &schema);  // finds classes, creates nothing
            break;
          }
          case 5: {
            CStringArray a;
            a.Serialize(ar);
            break;
          }
          case 6: {
            CMapStringToString m;
            m.Serialize(ar);
            break;
          }
          default: {
            CString line;
            ar.ReadString(line);
            break;
          }
        }
      }
    } catch (CException* e) {
      e->Delete();
    }
    ar.Abort();
  }
  while (!fuzz::Live().empty()) delete *fuzz::Live().begin();
  return 0;
}
