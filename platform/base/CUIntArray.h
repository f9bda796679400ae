// CUIntArray: An array of unsigned ints (not archived: the classic class is not serialisable).
#pragma once

#include "platform/base/CArray.h"

class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
 public:
  CUIntArray() = default;
};
