// CPtrList: A list of untyped pointers that it does not own.
#pragma once

#include "platform/base/CList.h"

class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)
 public:
  explicit CPtrList(INT_PTR blockSize = 10) : CList<void*, void*>(blockSize) {}
};
