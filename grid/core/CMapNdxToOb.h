// Objects keyed by cell (row and column): the grid engine's per-cell caches.
#pragma once

#include "grid/core/CGXHashMap.h"
#include "grid/core/gxtypes.h"
#include "platform/base/CObject.h"

namespace gx {
struct CellKey {
  ROWCOL row = 0;
  ROWCOL col = 0;
  friend bool operator==(const CellKey&, const CellKey&) = default;
};
struct CellHash {
  DWORD operator()(const CellKey& k) const { return ((k.row & 0xFFFF) >> 4) | ((k.col & 0xFFFF) << 12); }
};
}  // namespace gx

// The map does not own the objects it points to.
class CMapNdxToOb : public CObject {
  DECLARE_SERIAL(CMapNdxToOb)

 public:
  explicit CMapNdxToOb(int blockSize = 10) : m_map(17, blockSize) {}

  // WORD count (0xFFFF and a DWORD from 0xFFFF entries on), then row, column and the object per entry.
  // Objects read belong to the caller, who empties the map with them.
  void Serialize(CArchive& ar) override;

  INT_PTR GetCount() const { return m_map.GetCount(); }
  BOOL IsEmpty() const { return m_map.IsEmpty(); }
  BOOL Lookup(ROWCOL row, ROWCOL col, CObject*& value) const { return m_map.Lookup({row, col}, value); }
  CObject*& operator()(ROWCOL row, ROWCOL col) { return m_map[{row, col}]; }
  void SetAt(ROWCOL row, ROWCOL col, CObject* value) { m_map.SetAt({row, col}, value); }
  BOOL RemoveKey(ROWCOL row, ROWCOL col) { return m_map.RemoveKey({row, col}); }
  void RemoveAll() { m_map.RemoveAll(); }
  POSITION GetStartPosition() const { return m_map.GetStartPosition(); }
  void GetNextAssoc(POSITION& pos, ROWCOL& row, ROWCOL& col, CObject*& value) const {
    gx::CellKey k;
    m_map.GetNextAssoc(pos, k, value);
    row = k.row;
    col = k.col;
  }
  void InitHashTable(UINT buckets) { m_map.InitHashTable(buckets); }

 private:
  gx::HashMap<gx::CellKey, CObject*, gx::CellHash> m_map;
};

class CGXMapCellToOb : public CMapNdxToOb {
  DECLARE_SERIAL(CGXMapCellToOb)

 public:
  using CMapNdxToOb::CMapNdxToOb;
};

// An 8-byte key (two words) to a pointer; emptied of its last entry, it frees its node blocks.
class CGXMapByte8ToPtr {
 public:
  struct Key {
    DWORD w0 = 0;
    DWORD w1 = 0;
    friend bool operator==(const Key&, const Key&) = default;
  };
  struct Hash {
    DWORD operator()(const Key& k) const { return k.w0; }
  };

  explicit CGXMapByte8ToPtr(UINT buckets = 17) : m_map(buckets) {}
  BOOL Lookup(const Key& key, void*& value) const { return m_map.Lookup(key, value); }
  void*& operator[](const Key& key) { return m_map[key]; }
  void SetAt(const Key& key, void* value) { m_map.SetAt(key, value); }
  BOOL RemoveKey(const Key& key) { return m_map.RemoveKey(key, true); }
  void RemoveAll() { m_map.RemoveAll(); }
  INT_PTR GetCount() const { return m_map.GetCount(); }
  std::size_t GetBlockCount() const { return m_map.GetBlockCount(); }

 private:
  gx::HashMap<Key, void*, Hash> m_map;
};
