// CObArray: An array of object pointers that it does not own; archived as WriteCount and the objects.
#pragma once

#include "platform/base/CArray.h"

class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_SERIAL(CObArray)
 public:
  CObArray() = default;
};
