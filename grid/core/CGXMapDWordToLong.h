// Sparse per-row and per-column values (row heights, column widths) keyed by row or column number.
//
// CGXCollMapDWordToLong is the serialisable map; CGXMapDWordToLong adds assignment and the renumbering
// of keys after rows or columns are inserted, removed or moved.
#pragma once

#include "grid/core/CGXHashMap.h"
#include "grid/core/gxtypes.h"
#include "platform/base/CObject.h"

namespace gx {
struct RowColHash {
  DWORD operator()(DWORD key) const { return key >> 4; }
};
}  // namespace gx

class CGXCollMapDWordToLong : public CObject {
  DECLARE_SERIAL(CGXCollMapDWordToLong)

 public:
  explicit CGXCollMapDWordToLong(int blockSize = 10) : m_map(17, blockSize) {}
  ~CGXCollMapDWordToLong() override = default;

  // The count (WORD, or 0xFFFF and a DWORD from 0xFFFF entries on), then key and value per entry; a map
  // read and written again is unchanged. Loading adds to what the map holds.
  void Serialize(CArchive& ar) override;

  INT_PTR GetCount() const { return m_map.GetCount(); }
  BOOL IsEmpty() const { return m_map.IsEmpty(); }
  BOOL Lookup(DWORD key, LONG& value) const { return m_map.Lookup(key, value); }
  LONG& operator[](DWORD key) { return m_map[key]; }
  void SetAt(DWORD key, LONG value) { m_map.SetAt(key, value); }
  BOOL RemoveKey(DWORD key) { return m_map.RemoveKey(key); }
  void RemoveAll() { m_map.RemoveAll(); }
  POSITION GetStartPosition() const { return m_map.GetStartPosition(); }
  void GetNextAssoc(POSITION& pos, DWORD& key, LONG& value) const { m_map.GetNextAssoc(pos, key, value); }
  void InitHashTable(UINT buckets) { m_map.InitHashTable(buckets); }
  UINT GetHashTableSize() const { return m_map.GetHashTableSize(); }

 protected:
  gx::HashMap<DWORD, LONG, gx::RowColHash> m_map;
};

class CGXMapDWordToLong : public CGXCollMapDWordToLong {
  DECLARE_SERIAL(CGXMapDWordToLong)

 public:
  explicit CGXMapDWordToLong(int blockSize = 10) : CGXCollMapDWordToLong(blockSize) {}
  CGXMapDWordToLong(const CGXMapDWordToLong& other) : CGXCollMapDWordToLong() { *this = other; }

  // Removes all, then copies every entry of the other map (the bucket count stays this map's own).
  CGXMapDWordToLong& operator=(const CGXMapDWordToLong& other);

  // Every key >= nFrom grows by nCount.
  void InsertKeys(DWORD nFrom, DWORD nCount);
  // Keys nFrom..nTo are dropped; keys above nTo fall by nTo - nFrom + 1.
  void RemoveKeys(DWORD nFrom, DWORD nTo);
  // Renumbers keys after the block nFrom..nTo moved so that it starts at nDest.
  void MoveKeys(DWORD nFrom, DWORD nTo, DWORD nDest);

 private:
  template <class Fn>
  void Renumber(Fn newKey);
};
