// CPtrArray: An array of untyped pointers that it does not own.
#pragma once

#include "platform/base/CArray.h"

class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
 public:
  CPtrArray() = default;
};
