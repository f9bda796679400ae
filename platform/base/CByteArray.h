// CByteArray: An array of bytes; archived as WriteCount and the bytes.
#pragma once

#include "platform/base/CArray.h"

class CByteArray : public CArray<BYTE, BYTE> {
  DECLARE_SERIAL(CByteArray)
 public:
  CByteArray() = default;
};
