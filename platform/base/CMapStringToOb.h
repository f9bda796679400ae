// CMapStringToOb: Strings to object pointers that it does not own; archived as WriteCount, then key and object per entry.
#pragma once

#include "platform/base/CMap.h"

class CMapStringToOb : public CMap<CString, LPCSTR, CObject*, CObject*> {
  DECLARE_SERIAL(CMapStringToOb)
 public:
  explicit CMapStringToOb(INT_PTR blockSize = 10) : CMap<CString, LPCSTR, CObject*, CObject*>(blockSize) {}
};
