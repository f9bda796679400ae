// CMapWordToPtr: 16-bit words to untyped pointers.
#pragma once

#include "platform/base/CMap.h"

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
  DECLARE_DYNAMIC(CMapWordToPtr)
 public:
  explicit CMapWordToPtr(INT_PTR blockSize = 10) : CMap<WORD, WORD, void*, void*>(blockSize) {}
};
