// CDWordArray: An array of unsigned 32-bit values; archived as WriteCount and the values.
#pragma once

#include "platform/base/CArray.h"

class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_SERIAL(CDWordArray)
 public:
  CDWordArray() = default;
};
