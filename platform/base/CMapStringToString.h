// CMapStringToString: Strings to strings (case-sensitive keys); archived as WriteCount, then key and value per entry in iteration order.
#pragma once

#include "platform/base/CMap.h"

class CMapStringToString : public CMap<CString, LPCSTR, CString, LPCSTR> {
  DECLARE_SERIAL(CMapStringToString)
 public:
  explicit CMapStringToString(INT_PTR blockSize = 10) : CMap<CString, LPCSTR, CString, LPCSTR>(blockSize) {}
};
