// CObList: A list of object pointers that it does not own; archived as WriteCount and the objects.
#pragma once

#include "platform/base/CList.h"

class CObList : public CList<CObject*, CObject*> {
  DECLARE_SERIAL(CObList)
 public:
  explicit CObList(INT_PTR blockSize = 10) : CList<CObject*, CObject*>(blockSize) {}
};
