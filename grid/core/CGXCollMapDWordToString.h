// A serialisable hash map from DWORD keys to texts: the user attributes of styles archived before
// attributes were objects of their own.
#pragma once

#include "grid/core/CGXMapDWordToLong.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXCollMapDWordToString : public CObject {
  DECLARE_SERIAL(CGXCollMapDWordToString)

 public:
  explicit CGXCollMapDWordToString(int blockSize = 10) : m_map(17, blockSize) {}

  // The count (WORD, or 0xFFFF and a DWORD), then key and text per entry in iteration order. Reading adds
  // the pairs without emptying the map first.
  void Serialize(CArchive& ar) override;

  void InitHashTable(UINT size) { m_map.InitHashTable(size); }
  CString& operator[](DWORD key) { return m_map[key]; }
  void SetAt(DWORD key, const CString& value) { m_map.SetAt(key, value); }
  BOOL Lookup(DWORD key, CString& value) const { return m_map.Lookup(key, value); }
  POSITION GetStartPosition() const { return m_map.GetStartPosition(); }
  void GetNextAssoc(POSITION& pos, DWORD& key, CString& value) const { m_map.GetNextAssoc(pos, key, value); }
  INT_PTR GetCount() const { return m_map.GetCount(); }
  void RemoveAll() { m_map.RemoveAll(); }

 private:
  gx::HashMap<DWORD, CString, gx::RowColHash> m_map;
};
