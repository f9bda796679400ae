// CMapStringToPtr: Strings to untyped pointers (case-sensitive keys).
#pragma once

#include "platform/base/CMap.h"

class CMapStringToPtr : public CMap<CString, LPCSTR, void*, void*> {
  DECLARE_DYNAMIC(CMapStringToPtr)
 public:
  explicit CMapStringToPtr(INT_PTR blockSize = 10) : CMap<CString, LPCSTR, void*, void*>(blockSize) {}
};
