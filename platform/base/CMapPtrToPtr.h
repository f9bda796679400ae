// CMapPtrToPtr: Pointers to pointers.
#pragma once

#include "platform/base/CMap.h"

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
  DECLARE_DYNAMIC(CMapPtrToPtr)
 public:
  explicit CMapPtrToPtr(INT_PTR blockSize = 10) : CMap<void*, void*, void*, void*>(blockSize) {}
};
