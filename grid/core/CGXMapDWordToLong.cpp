#include "grid/core/CGXMapDWordToLong.h"

#include <utility>
#include <vector>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXCollMapDWordToLong, CObject, 0)
IMPLEMENT_SERIAL(CGXMapDWordToLong, CGXCollMapDWordToLong, 0)

void CGXCollMapDWordToLong::Serialize(CArchive& ar) { SerializeDWordToLongMap(*this, ar); }

CGXMapDWordToLong& CGXMapDWordToLong::operator=(const CGXMapDWordToLong& other) {
  if (this == &other) return *this;
  // The copy iterates (and so archives) in the source's order: the same table size, and the entries put in
  // from the last to the first, since each bucket lists its newest entry first.
  std::vector<std::pair<DWORD, LONG>> entries;
  entries.reserve(static_cast<std::size_t>(other.GetCount()));
  for (POSITION pos = other.GetStartPosition(); pos;) {
    DWORD key = 0;
    LONG value = 0;
    other.GetNextAssoc(pos, key, value);
    entries.emplace_back(key, value);
  }
  RemoveAll();
  InitHashTable(other.GetHashTableSize());
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) SetAt(it->first, it->second);
  return *this;
}

// Builds the renumbered entries aside, empties the map and puts them back. newKey answers false for an
// entry that is dropped.
template <class Fn>
void CGXMapDWordToLong::Renumber(Fn newKey) {
  std::vector<std::pair<DWORD, LONG>> entries;
  entries.reserve(static_cast<std::size_t>(GetCount()));
  POSITION pos = GetStartPosition();
  while (pos) {
    DWORD key = 0;
    LONG value = 0;
    GetNextAssoc(pos, key, value);
    if (newKey(key)) entries.emplace_back(key, value);
  }
  RemoveAll();
  for (const auto& [key, value] : entries) SetAt(key, value);
}

void CGXMapDWordToLong::InsertKeys(DWORD nFrom, DWORD nCount) {
  Renumber([&](DWORD& key) {
    if (key >= nFrom) key += nCount;
    return true;
  });
}

void CGXMapDWordToLong::RemoveKeys(DWORD nFrom, DWORD nTo) {
  if (nTo < nFrom) return;
  const DWORD n = nTo - nFrom + 1;
  Renumber([&](DWORD& key) {
    if (key >= nFrom && key <= nTo) return false;
    if (key > nTo) key -= n;
    return true;
  });
}

void CGXMapDWordToLong::MoveKeys(DWORD nFrom, DWORD nTo, DWORD nDest) {
  if (nTo < nFrom) return;
  const DWORD n = nTo - nFrom + 1;
  // d is the first key after the place the block lands on, in the numbering before the move.
  const DWORD d = nDest > nFrom ? nDest + n : nDest;
  Renumber([&](DWORD& key) {
    if (key >= nFrom && key <= nTo) {
      key = d > nFrom ? key + (d - nFrom) - n : key - (nFrom - d);
    } else if (d > nTo && key > nTo && key < d) {
      key -= n;  // the span between the block and a lower destination moves up
    } else if (d < nFrom && key >= d && key < nFrom) {
      key += n;  // the span between a higher destination and the block moves down
    }
    return true;
  });
}
