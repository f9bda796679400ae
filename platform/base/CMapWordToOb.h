// CMapWordToOb: 16-bit words to object pointers that it does not own; archived as WriteCount, then WORD key and object per entry.
#pragma once

#include "platform/base/CMap.h"

class CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*> {
  DECLARE_SERIAL(CMapWordToOb)
 public:
  explicit CMapWordToOb(INT_PTR blockSize = 10) : CMap<WORD, WORD, CObject*, CObject*>(blockSize) {}
};
